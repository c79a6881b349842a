#include "pagesetup/PageSetupSettings.h"

#include <cerrno>
#include <charconv>
#include <string_view>

#include "foundation/Cp932.h"
#include "foundation/IniFile.h"
#include "foundation/PrivateProfile.h"

namespace pagesetup {

namespace {

// Section and key names, shared by reading and writing.
constexpr const char* kPage = "Page";
constexpr const char* kHeader = "Header";
constexpr const char* kFooter = "Footer";
constexpr const char* kStdFont = "StdFont";
constexpr const char* kPaperSize = "PaperSize";
constexpr const char* kOrientation = "Orientation";
constexpr std::array<const char*, 4> kMarginKeys{"Top(mm)", "Bottom(mm)", "Left(mm)", "Right(mm)"};
constexpr const char* kPageInit = "PageInit";
constexpr const char* kFlg = "flg";
constexpr const char* kHfMargin = "Margin(mm)";
constexpr std::array<const char*, 3> kPartFlagKeys{"flgL", "flgC", "flgR"};
constexpr std::array<const char*, 3> kPartTextKeys{"strL", "strC", "strR"};
constexpr const char* kFontName = "FontName";
constexpr const char* kFontSize = "FontSize";
constexpr const char* kFontBold = "FontBold";
constexpr const char* kFontItalic = "FontItalic";
constexpr const char* kFontUnderLine = "FontUnderLine";
constexpr const char* kName = "Name";
constexpr const char* kSize0 = "Size0";
constexpr const char* kSize1 = "Size1";

// Reads keys as the profile functions do; a key counts as present when its text is not empty.
class Reader {
  public:
    explicit Reader(const std::string& path) : m_path(path) {}

    void text(const char* section, const char* key, std::string& target) const {
        std::string value = CPrivateProfile().GetValueString(m_path, section, key);
        if (!value.empty()) target = std::move(value);
    }
    void number(const char* section, const char* key, std::int32_t& target) const {
        if (CPrivateProfile().GetValueString(m_path, section, key).empty()) return;
        target = CPrivateProfile().GetValueLong(m_path, section, key);
    }
    void flag(const char* section, const char* key, bool& target) const {
        target = CPrivateProfile().GetValueLong(m_path, section, key) == 1;
    }

  private:
    const std::string& m_path;
};

// Collects the writes into one INI document; the first refused write is remembered.
class Writer {
  public:
    explicit Writer(std::string bytes) : m_doc(std::move(bytes)) {}

    void text(const char* section, const char* key, std::string_view value) {
        if (!m_doc.setValue(cp932::fromUtf8(section), cp932::fromUtf8(key), cp932::fromUtf8(value)))
            m_refused = true;
    }
    void number(const char* section, const char* key, std::int32_t value) {
        char buffer[16];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
        text(section, key, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
    }
    void flag(const char* section, const char* key, bool on) { text(section, key, on ? "1" : "0"); }
    void remove(const char* section, const char* key) {
        m_doc.removeKey(cp932::fromUtf8(section), cp932::fromUtf8(key));
    }

    bool refused() const { return m_refused; }
    const std::string& bytes() const { return m_doc.bytes(); }

  private:
    ini::IniDocument m_doc;
    bool m_refused = false;
};

void readHeaderFooter(const Reader& r, const char* section, HeaderFooterSetup& hf) {
    r.flag(section, kFlg, hf.flg);
    r.number(section, kHfMargin, hf.MarginMm);
    for (std::size_t i = 0; i < 3; ++i) r.flag(section, kPartFlagKeys[i], hf.PartFlags[i]);
    for (std::size_t i = 0; i < 3; ++i) r.text(section, kPartTextKeys[i], hf.PartTexts[i]);
}

void readFont(const Reader& r, const char* section, HeaderFooterFont& font) {
    r.text(section, kFontName, font.FontName);
    r.text(section, kFontSize, font.FontSize);
    r.flag(section, kFontBold, font.FontBold);
    r.flag(section, kFontItalic, font.FontItalic);
    r.flag(section, kFontUnderLine, font.FontUnderLine);
}

void writeHeaderFooter(Writer& w, const char* section, const HeaderFooterSetup& hf) {
    w.flag(section, kFlg, hf.flg);
    w.number(section, kHfMargin, hf.MarginMm);
    for (std::size_t i = 0; i < 3; ++i) w.flag(section, kPartFlagKeys[i], hf.PartFlags[i]);
    for (std::size_t i = 0; i < 3; ++i) w.text(section, kPartTextKeys[i], hf.PartTexts[i]);
}

void writeFont(Writer& w, const char* section, const HeaderFooterFont& font) {
    w.text(section, kFontName, font.FontName);
    w.text(section, kFontSize, font.FontSize);
    w.flag(section, kFontBold, font.FontBold);
    w.flag(section, kFontItalic, font.FontItalic);
    w.flag(section, kFontUnderLine, font.FontUnderLine);
}

}  // namespace

bool IsListedPaperSize(const std::string& paperSize) {
    for (const char* listed : {"A3", "A4", "A5", "B4", "B5"})
        if (paperSize == listed) return true;
    return false;
}

PageSetupSettings ReadPageSetupSettings(const std::string& iniPath) {
    PageSetupSettings s;
    const Reader r(iniPath);
    r.text(kPage, kPaperSize, s.PaperSize);
    s.Landscape = CPrivateProfile().GetValueString(iniPath, kPage, kOrientation) == "Y";
    for (std::size_t i = 0; i < 4; ++i) r.number(kPage, kMarginKeys[i], s.MarginsMm[i]);
    r.number(kPage, kPageInit, s.PageInit);
    readHeaderFooter(r, kHeader, s.Header);
    readHeaderFooter(r, kFooter, s.Footer);
    r.text(kStdFont, kName, s.BodyFontName);
    r.text(kStdFont, kSize0, s.BodySize0);
    r.text(kStdFont, kSize1, s.BodySize1);
    readFont(r, kHeader, s.Header.Font);
    readFont(r, kFooter, s.Footer.Font);
    return s;
}

safefile::Outcome WritePageSetupSettings(const std::string& iniPath, const PageSetupSettings& s) {
    const safefile::ReadResult file = safefile::readRegularFile(iniPath, ini::kMaxIniFileBytes);
    const bool missing = file.status == safefile::Status::Failed && file.err == ENOENT;
    if (!file.ok() && !missing) return file;

    Writer w(file.bytes);
    if (IsListedPaperSize(s.PaperSize)) {
        w.text(kPage, kPaperSize, s.PaperSize);
    } else {
        w.remove(kPage, kPaperSize);
    }
    w.text(kPage, kOrientation, s.Landscape ? "Y" : "T");
    for (std::size_t i = 0; i < 4; ++i) w.number(kPage, kMarginKeys[i], s.MarginsMm[i]);
    w.number(kPage, kPageInit, s.PageInit);
    writeHeaderFooter(w, kHeader, s.Header);
    writeHeaderFooter(w, kFooter, s.Footer);
    w.text(kStdFont, kName, s.BodyFontName);
    w.text(kStdFont, kSize0, s.BodySize0);
    w.text(kStdFont, kSize1, s.BodySize1);
    writeFont(w, kHeader, s.Header.Font);
    writeFont(w, kFooter, s.Footer.Font);
    // A value the file cannot hold (a line end or NUL) would be lost: write nothing.
    if (w.refused()) return {safefile::Status::Failed, EINVAL};
    return safefile::replaceFile(iniPath, w.bytes());
}

}  // namespace pagesetup
