#include "formats/PrintFile.h"

PrintCommand PrintCommandOf(char a, char b) {
    struct Entry {
        char a, b;
        PrintCommand command;
    };
    using C = PrintCommand;
    static constexpr Entry kCodes[] = {
        {'P', 'F', C::Page},        {'R', '1', C::Heading1},    {'R', '2', C::Heading2},
        {'M', '0', C::Body0},       {'M', '1', C::Body1},       {'E', '0', C::Normal},
        {'E', 'Y', C::Normal},      {'E', 'X', C::Double},      {'E', '2', C::Double},
        {'S', '0', C::ScriptEnd},   {'S', 'U', C::Superscript}, {'S', 'L', C::Subscript},
        {'T', '0', C::PitchNormal}, {'T', 'K', C::PitchWide},   {'T', 'S', C::PitchNarrow},
        {'!', '0', C::BoldOff},     {'!', '1', C::BoldOn},      {'L', '0', C::UnderlineOff},
        {'L', 'U', C::UnderlineOn}, {'L', 'O', C::UnderlineOn}, {'F', '0', C::Ignored},
        {'F', 'H', C::Ignored},     {'F', 'Q', C::Ignored},     {'F', 'E', C::Ignored},
        {'F', 'P', C::Ignored},     {'F', 'G', C::Figure},      {'B', 'M', C::Bitmap},
    };
    for (const Entry& e : kCodes) {
        if (e.a == a && e.b == b) return e.command;
    }
    return C::None;
}
