// Writes a shipped data file in the form the programs read: CP932 with CR LF line ends.
//   encode_data_file <source UTF-8 file> <target file>
// Fails (exit 1, target untouched) when the source holds a character CP932 cannot hold, a
// CR, or invalid UTF-8, so a typing slip in a data file stops the build.

#include <cstdio>
#include <string>

#include "foundation/Cp932.h"
#include "foundation/SafeFile.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: encode_data_file <source> <target>\n");
        return 2;
    }
    const safefile::ReadResult source = safefile::readRegularFile(argv[1], 16u << 20);
    if (!source.ok()) {
        std::fprintf(stderr, "encode_data_file: cannot read %s\n", argv[1]);
        return 1;
    }
    if (source.bytes.find('\r') != std::string::npos || !cp932::canEncode(source.bytes)) {
        std::fprintf(stderr, "encode_data_file: %s holds a CR or a character CP932 cannot hold\n",
                     argv[1]);
        return 1;
    }
    const std::string sjis = cp932::fromUtf8(source.bytes);
    std::string out;
    out.reserve(sjis.size() + sjis.size() / 16);
    for (char c : sjis) {
        if (c == '\n') out += '\r';
        out += c;
    }
    if (!safefile::replaceFile(argv[2], out).ok()) {
        std::fprintf(stderr, "encode_data_file: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
