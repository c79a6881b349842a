#pragma once
// The page-setup dialog's share of Preview.ini: what it reads when it opens and writes on OK.
//
// Sections and keys: Page (PaperSize, Orientation, Top(mm), Bottom(mm), Left(mm), Right(mm),
// PageInit), Header and Footer (flg, Margin(mm), flgL, flgC, flgR, strL, strC, strR, FontName,
// FontSize, FontBold, FontItalic, FontUnderLine) and StdFont (Name, Size0, Size1). Texts are
// UTF-8 here and CP932 in the file. Millimetres and the first page number are whole numbers.
//
// Reading never fails: a missing file, section or key, or an unreadable file, gives the
// defaults below; a number key that is present sets its value (its leading integer, 0 for
// junk), a text key that is present and not empty sets its text (at most 127 CP932 bytes).
// A flag counts as on only when the stored number is exactly 1, as the preview reads it.
//
// Writing builds the whole new file in memory from the current one and replaces it in one
// atomic step, so a failure leaves the old file as it was and every key or none is written.

#include <array>
#include <cstdint>
#include <string>

#include "foundation/SafeFile.h"

namespace pagesetup {

// The placeholder of a header or footer part that holds no text.
inline constexpr const char* kUndefinedPart = "（未定義）";
inline constexpr const char* kDefaultFontName = "ＭＳ 明朝";

// Font of the header or of the footer.
struct HeaderFooterFont {
    std::string FontName = kDefaultFontName;
    std::string FontSize = "10.0";  // kept as typed
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderLine = false;
    friend bool operator==(const HeaderFooterFont&, const HeaderFooterFont&) = default;
};

// Header or footer; the part arrays are left, centre, right.
struct HeaderFooterSetup {
    bool flg = false;
    std::int32_t MarginMm = 15;  // from the paper's top (header) or bottom (footer) edge
    std::array<bool, 3> PartFlags{false, false, false};
    std::array<std::string, 3> PartTexts{kUndefinedPart, kUndefinedPart, kUndefinedPart};
    HeaderFooterFont Font;
    friend bool operator==(const HeaderFooterSetup&, const HeaderFooterSetup&) = default;
};

struct PageSetupSettings {
    std::string PaperSize = "A4";  // as stored; only A3, A4, A5, B4 and B5 are written back
    bool Landscape = false;
    std::array<std::int32_t, 4> MarginsMm{25, 25, 25, 25};  // top, bottom, left, right
    std::int32_t PageInit = 1;
    HeaderFooterSetup Header;
    HeaderFooterSetup Footer;
    std::string BodyFontName = kDefaultFontName;
    std::string BodySize0 = "10.0";
    std::string BodySize1 = "8.0";
    friend bool operator==(const PageSetupSettings&, const PageSetupSettings&) = default;
};

// True for the paper texts that OK writes back: "A3", "A4", "A5", "B4", "B5" (case counts).
bool IsListedPaperSize(const std::string& paperSize);

// Reads the settings from the INI file at `iniPath` (UTF-8 path).
PageSetupSettings ReadPageSetupSettings(const std::string& iniPath);

// Writes every key, in the dialog's order, removing PaperSize when it is not a listed size.
// The other sections and keys of the file stay byte for byte. A missing file is created; a
// file that exists but cannot be read is not replaced (Failed with its errno).
safefile::Outcome WritePageSetupSettings(const std::string& iniPath,
                                         const PageSetupSettings& settings);

}  // namespace pagesetup
