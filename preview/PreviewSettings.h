#pragma once
// Preview.ini: its sections and keys, the factory values, and the page settings the preview
// window reads from it before each document is built.
//
// Reading rules: integer keys read the leading integer (missing or junk gives 0); every other
// key is text (at most 127 bytes, missing gives ""), and sizes and millimetres are the
// leading number of that text. A flag is on only when its number is exactly 1. Millimetres
// become twips by MmToTwips.

#include <QString>
#include <array>
#include <string>
#include <string_view>

#include "formats/PreviewIniKeys.h"

namespace preview {

// One key of the factory file, in the order it is written.
struct FactoryKey {
    const char* section;
    const char* key;
    const char* value;
};
// The 46 keys of the factory Preview.ini, Printer Device first, Footer FontUnderLine last.
extern const std::array<FactoryKey, 46> kFactoryKeys;

// mm / 25.4 x 1440 to the nearest twip (a half to the even neighbour); 0 for a value that is
// not finite or out of range.
int MmToTwips(double mm);

// "A3" 8, "A4" 9, "A5" 11, "B4" 12, "B5" 13, "User" 256 (case-sensitive); anything else 9.
int PaperCodeFromText(std::string_view text);
// "Y" landscape (1); anything else portrait (0).
int OrientationFromText(std::string_view text);

// Header (slot 0) or footer (slot 1).
struct HeaderFooterSettings {
    bool enabled = false;
    int margin = 0;  // twips
    bool showL = false, showC = false, showR = false;
    QString textL, textC, textR;
    QString fontName;
    double fontSize = 0;  // points
    bool bold = false, italic = false, underline = false;
};

struct PageSettings {
    QString savedDeviceName;
    QString bodyFontName;
    double bodySize0 = 0;  // points
    double bodySize1 = 0;
    int paperSizeCode = 9;
    int orientationCode = 0;
    int marginTop = 0, marginBottom = 0, marginLeft = 0, marginRight = 0;  // twips
    int pageInit = 0;
    std::array<HeaderFooterSettings, 2> headerFooter;
};

// Reads the page settings of Preview.ini (a missing file gives zero margins, A4, portrait,
// page numbering from 0 and no header or footer).
PageSettings ReadPageSettings(const std::string& iniPath);

}  // namespace preview
