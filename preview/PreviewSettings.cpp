#include "preview/PreviewSettings.h"

#include <cmath>

#include "foundation/Numeric.h"
#include "foundation/PrivateProfile.h"

namespace preview {

const std::array<FactoryKey, 46> kFactoryKeys = {{
    {"Printer", "Device", ""},
    {"StdFont", "Name", "ＭＳ 明朝"},
    {"StdFont", "Size0", "10.0"},
    {"StdFont", "Size1", "8.0"},
    {"StdFont", "Color", "0"},
    {"Font1", "Name", "ＭＳ 明朝"},
    {"Font1", "Size", "10"},
    {"Font1", "Color", "0"},
    {"Font1", "Bold", "0"},
    {"Font1", "Italic", "0"},
    {"Font1", "UnderLine", "0"},
    {"Page", "PaperSize", "A4"},
    {"Page", "Orientation", "T"},
    {"Page", "Top(mm)", "25"},
    {"Page", "Bottom(mm)", "25"},
    {"Page", "Left(mm)", "25"},
    {"Page", "Right(mm)", "25"},
    {"Page", "PageInit", "1"},
    {"Header", "flg", "1"},
    {"Header", "Margin(mm)", "15"},
    {"Header", "flgL", "1"},
    {"Header", "flgC", "0"},
    {"Header", "flgR", "1"},
    {"Header", "strL", "(日付)%d (時間)%t"},
    {"Header", "strC", ""},
    {"Header", "strR", "(ﾌｧｲﾙ名)%f"},
    {"Header", "FontName", "ＭＳ 明朝"},
    {"Header", "FontSize", "8.0"},
    {"Header", "FontColor", "0"},
    {"Header", "FontBold", "0"},
    {"Header", "FontItalic", "0"},
    {"Header", "FontUnderLine", "0"},
    {"Footer", "flg", "1"},
    {"Footer", "Margin(mm)", "15"},
    {"Footer", "flgL", "0"},
    {"Footer", "flgC", "1"},
    {"Footer", "flgR", "0"},
    {"Footer", "strL", ""},
    {"Footer", "strC", "- %p -"},
    {"Footer", "strR", ""},
    {"Footer", "FontName", "Courier New"},
    {"Footer", "FontSize", "8.0"},
    {"Footer", "FontColor", "0"},
    {"Footer", "FontBold", "0"},
    {"Footer", "FontItalic", "0"},
    {"Footer", "FontUnderLine", "0"},
}};

int MmToTwips(double mm) {
    return ToInt32HalfEven(mm / 25.4 * 1440.0).value_or(0);
}

int PaperCodeFromText(std::string_view text) {
    if (text == "A3") return 8;
    if (text == "A4") return 9;
    if (text == "A5") return 11;
    if (text == "B4") return 12;
    if (text == "B5") return 13;
    if (text == "User") return 256;
    return 9;
}

int OrientationFromText(std::string_view text) {
    return text == "Y" ? 1 : 0;
}

namespace {

class Reader {
  public:
    explicit Reader(const std::string& path) : m_path(path) {}
    std::string text(const char* section, const char* key) const {
        return CPrivateProfile().GetValueString(m_path, section, key);
    }
    QString qtext(const char* section, const char* key) const {
        return QString::fromStdString(text(section, key));
    }
    double number(const char* section, const char* key) const {
        const double value = Val(text(section, key));
        return std::isfinite(value) ? value : 0.0;
    }
    int integer(const char* section, const char* key) const {
        return CPrivateProfile().GetValueLong(m_path, section, key);
    }
    bool flag(const char* section, const char* key) const { return integer(section, key) == 1; }

  private:
    const std::string& m_path;
};

HeaderFooterSettings readHeaderFooter(const Reader& in, const char* section) {
    using namespace ini_keys;
    HeaderFooterSettings hf;
    hf.enabled = in.flag(section, Flg);
    hf.margin = MmToTwips(in.number(section, MarginMm));
    hf.showL = in.flag(section, PartFlagKeys[0]);
    hf.showC = in.flag(section, PartFlagKeys[1]);
    hf.showR = in.flag(section, PartFlagKeys[2]);
    hf.textL = in.qtext(section, PartTextKeys[0]);
    hf.textC = in.qtext(section, PartTextKeys[1]);
    hf.textR = in.qtext(section, PartTextKeys[2]);
    hf.fontName = in.qtext(section, FontName);
    hf.fontSize = in.number(section, FontSize);
    hf.bold = in.flag(section, FontBold);
    hf.italic = in.flag(section, FontItalic);
    hf.underline = in.flag(section, FontUnderLine);
    return hf;
}

}  // namespace

PageSettings ReadPageSettings(const std::string& iniPath) {
    using namespace ini_keys;
    const Reader in(iniPath);
    PageSettings s;
    s.savedDeviceName = in.qtext(Printer, Device);
    s.bodyFontName = in.qtext(StdFont, Name);
    s.bodySize0 = in.number(StdFont, Size0);
    s.bodySize1 = in.number(StdFont, Size1);
    s.paperSizeCode = PaperCodeFromText(in.text(Page, PaperSize));
    s.orientationCode = OrientationFromText(in.text(Page, Orientation));
    s.marginTop = MmToTwips(in.number(Page, TopMm));
    s.marginBottom = MmToTwips(in.number(Page, BottomMm));
    s.marginLeft = MmToTwips(in.number(Page, LeftMm));
    s.marginRight = MmToTwips(in.number(Page, RightMm));
    s.pageInit = in.integer(Page, PageInit);
    s.headerFooter[0] = readHeaderFooter(in, Header);
    s.headerFooter[1] = readHeaderFooter(in, Footer);
    return s;
}

}  // namespace preview
