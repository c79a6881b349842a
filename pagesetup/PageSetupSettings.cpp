#include "pagesetup/PageSetupSettings.h"

#include <cerrno>
#include <charconv>
#include <string_view>

#include "formats/PreviewIniKeys.h"
#include "foundation/Cp932.h"
#include "foundation/IniFile.h"
#include "foundation/PrivateProfile.h"

namespace pagesetup {

namespace {

using namespace preview::ini_keys;

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
    r.flag(section, Flg, hf.flg);
    r.number(section, MarginMm, hf.MarginMm);
    for (std::size_t i = 0; i < 3; ++i) r.flag(section, PartFlagKeys[i], hf.PartFlags[i]);
    for (std::size_t i = 0; i < 3; ++i) r.text(section, PartTextKeys[i], hf.PartTexts[i]);
}

void readFont(const Reader& r, const char* section, HeaderFooterFont& font) {
    r.text(section, FontName, font.FontName);
    r.text(section, FontSize, font.FontSize);
    r.flag(section, FontBold, font.FontBold);
    r.flag(section, FontItalic, font.FontItalic);
    r.flag(section, FontUnderLine, font.FontUnderLine);
}

void writeHeaderFooter(Writer& w, const char* section, const HeaderFooterSetup& hf) {
    w.flag(section, Flg, hf.flg);
    w.number(section, MarginMm, hf.MarginMm);
    for (std::size_t i = 0; i < 3; ++i) w.flag(section, PartFlagKeys[i], hf.PartFlags[i]);
    for (std::size_t i = 0; i < 3; ++i) w.text(section, PartTextKeys[i], hf.PartTexts[i]);
}

void writeFont(Writer& w, const char* section, const HeaderFooterFont& font) {
    w.text(section, FontName, font.FontName);
    w.text(section, FontSize, font.FontSize);
    w.flag(section, FontBold, font.FontBold);
    w.flag(section, FontItalic, font.FontItalic);
    w.flag(section, FontUnderLine, font.FontUnderLine);
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
    r.text(Page, PaperSize, s.PaperSize);
    s.Landscape = CPrivateProfile().GetValueString(iniPath, Page, Orientation) == "Y";
    for (std::size_t i = 0; i < 4; ++i) r.number(Page, MarginKeys[i], s.MarginsMm[i]);
    r.number(Page, PageInit, s.PageInit);
    readHeaderFooter(r, Header, s.Header);
    readHeaderFooter(r, Footer, s.Footer);
    r.text(StdFont, Name, s.BodyFontName);
    r.text(StdFont, Size0, s.BodySize0);
    r.text(StdFont, Size1, s.BodySize1);
    readFont(r, Header, s.Header.Font);
    readFont(r, Footer, s.Footer.Font);
    return s;
}

safefile::Outcome WritePageSetupSettings(const std::string& iniPath, const PageSetupSettings& s) {
    const safefile::ReadResult file = safefile::readRegularFile(iniPath, ini::kMaxIniFileBytes);
    const bool missing = file.status == safefile::Status::Failed && file.err == ENOENT;
    if (!file.ok() && !missing) return file;

    Writer w(file.bytes);
    if (IsListedPaperSize(s.PaperSize)) {
        w.text(Page, PaperSize, s.PaperSize);
    } else {
        w.remove(Page, PaperSize);
    }
    w.text(Page, Orientation, s.Landscape ? "Y" : "T");
    for (std::size_t i = 0; i < 4; ++i) w.number(Page, MarginKeys[i], s.MarginsMm[i]);
    w.number(Page, PageInit, s.PageInit);
    writeHeaderFooter(w, Header, s.Header);
    writeHeaderFooter(w, Footer, s.Footer);
    w.text(StdFont, Name, s.BodyFontName);
    w.text(StdFont, Size0, s.BodySize0);
    w.text(StdFont, Size1, s.BodySize1);
    writeFont(w, Header, s.Header.Font);
    writeFont(w, Footer, s.Footer.Font);
    // A value the file cannot hold (a line end or NUL) would be lost: write nothing.
    if (w.refused()) return {safefile::Status::Failed, EINVAL};
    return ini::replaceIniFile(iniPath, w.bytes());
}

}  // namespace pagesetup
