#include "pagesetup/DocxDocument.h"

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

#include <QBuffer>
#include <QXmlStreamWriter>
#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <memory>

#include "foundation/Numeric.h"
#include "foundation/SafeFile.h"
#include "foundation/TempFile.h"

namespace word {

namespace {

constexpr int kA4WidthTwips = 11906;
constexpr int kA4HeightTwips = 16838;
constexpr double kEmuPerPoint = 12700;
constexpr long long kLargestEmu = 27273042316LL;
constexpr int kPictureDotsPerMeter = 3780;  // 96 dpi

const QString kMainNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kRelationshipsNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");
const QString kRelationshipType =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");

// Whole numbers for the file: half to even, limited to what the attribute holds.
long long Whole(double value, long long lo, long long hi) {
    if (!std::isfinite(value)) return lo;
    return std::clamp(static_cast<long long>(std::nearbyint(value)), lo, hi);
}

// The text without the characters XML cannot hold: controls (but TAB and form feed in a run's
// text, which the run turns into elements), U+FFFE and U+FFFF; a lone surrogate becomes U+FFFD.
QString XmlText(const QString& text, bool runText = false) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else if ((c.unicode() >= 0x20 && c.unicode() < 0xFFFE) ||
                   (runText && (c == u'\t' || c == u'\f'))) {
            out += c;
        }
    }
    return out;
}

// One part of the package: a writer over its bytes, the XML declaration written.
class Part {
  public:
    Part() : m_xml(&m_bytes) { m_xml.writeStartDocument(QStringLiteral("1.0"), true); }
    QXmlStreamWriter& xml() { return m_xml; }
    QByteArray finish() {
        m_xml.writeEndDocument();
        return m_bytes;
    }

  private:
    QByteArray m_bytes;
    QXmlStreamWriter m_xml;
};

// An element with attributes and nothing inside.
void Empty(QXmlStreamWriter& xml, const QString& name,
           std::initializer_list<std::pair<const char*, QString>> attributes = {}) {
    xml.writeEmptyElement(name);
    for (const auto& [attribute, value] : attributes)
        xml.writeAttribute(QLatin1String(attribute), value);
}

QString Num(long long value) {
    return QString::number(value);
}

// <w:val="..."/> elements, the most common kind.
void Val(QXmlStreamWriter& xml, const QString& name, const QString& value) {
    Empty(xml, name, {{"w:val", value}});
}

void WriteRunProperties(QXmlStreamWriter& xml, const std::optional<double>& size, bool bold,
                        bool underline, int raise) {
    if (!bold && raise == 0 && !size && !underline) return;
    xml.writeStartElement(QStringLiteral("w:rPr"));
    if (bold) Empty(xml, QStringLiteral("w:b"));
    if (raise != 0) Val(xml, QStringLiteral("w:position"), Num(Whole(raise * 2.0, -3168, 3168)));
    if (size) {
        const QString half = Num(Whole(*size * 2, 1, 3276));
        Val(xml, QStringLiteral("w:sz"), half);
        Val(xml, QStringLiteral("w:szCs"), half);
    }
    if (underline) Val(xml, QStringLiteral("w:u"), QStringLiteral("single"));
    xml.writeEndElement();
}

// Run content: text in <w:t xml:space="preserve">, a TAB as <w:tab/>, a form feed as a page
// break.
void WriteRunText(QXmlStreamWriter& xml, const QString& text) {
    qsizetype from = 0;
    const auto flushText = [&](qsizetype to) {
        if (to > from) {
            xml.writeStartElement(QStringLiteral("w:t"));
            xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            xml.writeCharacters(text.mid(from, to - from));
            xml.writeEndElement();
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\t' && text[i] != u'\f') continue;
        flushText(i);
        if (text[i] == u'\t')
            Empty(xml, QStringLiteral("w:tab"));
        else
            Empty(xml, QStringLiteral("w:br"), {{"w:type", QStringLiteral("page")}});
        from = i + 1;
    }
    flushText(text.size());
}

void WriteSectionProperties(QXmlStreamWriter& xml, const PageSetup& section) {
    const bool landscape = section.orientation == 1;
    const int w = landscape ? kA4HeightTwips : kA4WidthTwips;
    const int h = landscape ? kA4WidthTwips : kA4HeightTwips;
    xml.writeStartElement(QStringLiteral("w:sectPr"));
    xml.writeEmptyElement(QStringLiteral("w:pgSz"));
    xml.writeAttribute(QStringLiteral("w:w"), Num(w));
    xml.writeAttribute(QStringLiteral("w:h"), Num(h));
    if (landscape) xml.writeAttribute(QStringLiteral("w:orient"), QStringLiteral("landscape"));
    // Margins stay on the paper: at least 0 and together below its size.
    const auto twips = [](double points, int limit) { return Whole(points * 20, 0, limit); };
    const long long top = twips(section.topMargin, h - 1);
    const long long bottom = twips(section.bottomMargin, h - 1 - top);
    const long long left = twips(section.leftMargin, w - 1);
    const long long right = twips(section.rightMargin, w - 1 - left);
    const QString zero = QStringLiteral("0");
    Empty(xml, QStringLiteral("w:pgMar"),
          {{"w:top", Num(top)},
           {"w:right", Num(right)},
           {"w:bottom", Num(bottom)},
           {"w:left", Num(left)},
           {"w:header", zero},
           {"w:footer", zero},
           {"w:gutter", zero}});
    xml.writeEndElement();
}

}  // namespace

DocxDocument::DocxDocument(const WordDesktop* desktop) : m_desktop(desktop) {
    newDocument();
}

void DocxDocument::newDocument() {
    m_viewType = 0;
    m_styleFont.reset();
    m_section = PageSetup{};
    m_section.topMargin = m_section.bottomMargin = 72;
    m_section.leftMargin = m_section.rightMargin = 72;
    m_paragraph = ParagraphFormat{};
    m_format = RunFormat{};
    m_runFormat = RunFormat{};
    m_runText.clear();
    m_runs.clear();
    m_body.clear();
    m_media.clear();
    m_mediaIds.clear();
    m_drawingCount = 0;
}

void DocxDocument::setViewType(int viewType) {
    m_viewType = viewType;
}

void DocxDocument::setPageSetup(const PageSetup& setup) {
    m_section = setup;
}

void DocxDocument::insertSectionBreak() {
    closeParagraph(true);
}

void DocxDocument::insertPageBreak() {
    typeText(QStringLiteral("\f"));
}

bool DocxDocument::setStyleFont(const QString& styleName, const StyleFont& font) {
    if (styleName != kNormalStyleName) return false;
    m_styleFont = font;
    return true;
}

bool DocxDocument::applyStyle(const QString& styleName) {
    if (styleName != kNormalStyleName) return false;
    m_paragraph.styled = true;
    return true;
}

void DocxDocument::setAutoSpace(bool latin, bool digits) {
    m_paragraph.autoSpaceLatin = latin;
    m_paragraph.autoSpaceDigits = digits;
}

void DocxDocument::setLineSpacingRule(LineSpacingRule rule) {
    m_paragraph.rule = rule;
    if (rule == LineSpacingRule::Single) m_paragraph.spacing = 12;
}

void DocxDocument::setLineSpacing(double points) {
    if (std::isfinite(points) && points > 0) m_paragraph.spacing = points;
}

void DocxDocument::setFontSize(double points) {
    if (std::isfinite(points) && points > 0) m_format.size = points;
}

void DocxDocument::setBold(bool on) {
    m_format.bold = on;
}

void DocxDocument::setUnderline(bool on) {
    m_format.underline = on;
}

void DocxDocument::setRaise(int points) {
    m_format.raise = points;
}

void DocxDocument::typeText(const QString& text) {
    if (text.isEmpty()) return;
    if (!(m_runFormat == m_format)) flushRun();
    m_runFormat = m_format;
    m_runText += text;
}

void DocxDocument::newParagraph() {
    closeParagraph(false);
}

void DocxDocument::flushRun() {
    QString text = XmlText(m_runText, true);
    m_runText.clear();
    if (text.isEmpty()) return;
    m_runs.push_back({m_runFormat, std::move(text), std::nullopt});
}

void DocxDocument::closeParagraph(bool endsSection) {
    flushRun();
    QBuffer body(&m_body);
    body.open(QIODevice::Append);
    QXmlStreamWriter xml(&body);
    WriteParagraph(xml, m_paragraph, endsSection ? std::optional(m_section) : std::nullopt, m_runs,
                   {}, {});
    m_runs.clear();
}

QString DocxDocument::addPicture(const QImage& picture) {
    if (picture.isNull()) return {};
    // The same picture placed again refers to its one copy in the package.
    if (const auto known = m_mediaIds.constFind(picture.cacheKey()); known != m_mediaIds.constEnd())
        return known.value();
    // More than 8 bits a channel is more than the document shows: stored with 8, half the
    // bytes to encode and keep.
    QImage image = picture.depth() <= 32
                       ? picture
                       : picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                           : QImage::Format_RGB32);
    image.setDotsPerMeterX(kPictureDotsPerMeter);
    image.setDotsPerMeterY(kPictureDotsPerMeter);
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return {};
    m_media.push_back(png);
    const QString id = QStringLiteral("rIdImage%1").arg(m_media.size());
    m_mediaIds.insert(picture.cacheKey(), id);
    return id;
}

bool DocxDocument::insertPicture(const QImage& picture, QSizeF size,
                                 std::optional<double> floatingLeft) {
    const QString relId = addPicture(picture);
    if (relId.isEmpty()) return false;
    flushRun();
    m_runs.push_back({m_format, {}, Drawing{relId, size, ++m_drawingCount, floatingLeft}});
    return true;
}

bool DocxDocument::insertInlinePicture(const QImage& picture, QSizeF size) {
    if (!(size.width() > 0 && size.height() > 0)) return false;
    return insertPicture(picture, size, std::nullopt);
}

bool DocxDocument::insertFloatingPicture(const QImage& picture, QSizeF size, double left) {
    if (!(size.width() > 0 && size.height() > 0) || !std::isfinite(left)) return false;
    return insertPicture(picture, size, left);
}

namespace {

void WriteDrawing(QXmlStreamWriter& xml, const QString& relId, QSizeF size, int id,
                  std::optional<double> floatingLeft) {
    const QString cx = Num(Whole(size.width() * kEmuPerPoint, 1, kLargestEmu));
    const QString cy = Num(Whole(size.height() * kEmuPerPoint, 1, kLargestEmu));
    const QString zero = QStringLiteral("0");
    xml.writeStartElement(QStringLiteral("w:drawing"));
    if (floatingLeft) {
        xml.writeStartElement(QStringLiteral("wp:anchor"));
        for (const char* name : {"distT", "distB", "distL", "distR", "simplePos"})
            xml.writeAttribute(QLatin1String(name), zero);
        xml.writeAttribute(QStringLiteral("relativeHeight"), Num(id));
        xml.writeAttribute(QStringLiteral("behindDoc"), QStringLiteral("1"));
        xml.writeAttribute(QStringLiteral("locked"), zero);
        xml.writeAttribute(QStringLiteral("layoutInCell"), QStringLiteral("1"));
        xml.writeAttribute(QStringLiteral("allowOverlap"), QStringLiteral("1"));
        Empty(xml, QStringLiteral("wp:simplePos"), {{"x", zero}, {"y", zero}});
        const QString left = Num(Whole(*floatingLeft * kEmuPerPoint, -kLargestEmu, kLargestEmu));
        xml.writeStartElement(QStringLiteral("wp:positionH"));
        xml.writeAttribute(QStringLiteral("relativeFrom"), QStringLiteral("column"));
        xml.writeTextElement(QStringLiteral("wp:posOffset"), left);
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("wp:positionV"));
        xml.writeAttribute(QStringLiteral("relativeFrom"), QStringLiteral("paragraph"));
        xml.writeTextElement(QStringLiteral("wp:posOffset"), zero);
        xml.writeEndElement();
    } else {
        xml.writeStartElement(QStringLiteral("wp:inline"));
        for (const char* name : {"distT", "distB", "distL", "distR"})
            xml.writeAttribute(QLatin1String(name), zero);
    }
    Empty(xml, QStringLiteral("wp:extent"), {{"cx", cx}, {"cy", cy}});
    Empty(xml, QStringLiteral("wp:effectExtent"),
          {{"l", zero}, {"t", zero}, {"r", zero}, {"b", zero}});
    if (floatingLeft) Empty(xml, QStringLiteral("wp:wrapNone"));
    const QString name = QStringLiteral("Picture %1").arg(id);
    Empty(xml, QStringLiteral("wp:docPr"), {{"id", Num(id)}, {"name", name}});
    xml.writeStartElement(QStringLiteral("wp:cNvGraphicFramePr"));
    Empty(xml, QStringLiteral("a:graphicFrameLocks"), {{"noChangeAspect", QStringLiteral("1")}});
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("a:graphic"));
    xml.writeStartElement(QStringLiteral("a:graphicData"));
    xml.writeAttribute(QStringLiteral("uri"),
                       QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture"));
    xml.writeStartElement(QStringLiteral("pic:pic"));
    xml.writeStartElement(QStringLiteral("pic:nvPicPr"));
    Empty(xml, QStringLiteral("pic:cNvPr"), {{"id", Num(id)}, {"name", name}});
    Empty(xml, QStringLiteral("pic:cNvPicPr"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("pic:blipFill"));
    Empty(xml, QStringLiteral("a:blip"), {{"r:embed", relId}});
    xml.writeStartElement(QStringLiteral("a:stretch"));
    Empty(xml, QStringLiteral("a:fillRect"));
    xml.writeEndElement();
    xml.writeEndElement();  // pic:blipFill
    xml.writeStartElement(QStringLiteral("pic:spPr"));
    xml.writeStartElement(QStringLiteral("a:xfrm"));
    Empty(xml, QStringLiteral("a:off"), {{"x", zero}, {"y", zero}});
    Empty(xml, QStringLiteral("a:ext"), {{"cx", cx}, {"cy", cy}});
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("a:prstGeom"));
    xml.writeAttribute(QStringLiteral("prst"), QStringLiteral("rect"));
    Empty(xml, QStringLiteral("a:avLst"));
    xml.writeEndElement();
    xml.writeEndElement();  // pic:spPr
    xml.writeEndElement();  // pic:pic
    xml.writeEndElement();  // a:graphicData
    xml.writeEndElement();  // a:graphic
    xml.writeEndElement();  // wp:inline or wp:anchor
    xml.writeEndElement();  // w:drawing
}

}  // namespace

void DocxDocument::WriteParagraph(QXmlStreamWriter& xml, const ParagraphFormat& format,
                                  const std::optional<PageSetup>& endsSection,
                                  const std::vector<Run>& runs, const QString& openText,
                                  const RunFormat& openFormat) {
    xml.writeStartElement(QStringLiteral("w:p"));
    const bool properties = format.styled || !format.autoSpaceLatin || !format.autoSpaceDigits ||
                            format.rule || endsSection;
    if (properties) {
        xml.writeStartElement(QStringLiteral("w:pPr"));
        if (format.styled) Val(xml, QStringLiteral("w:pStyle"), QStringLiteral("a"));
        if (!format.autoSpaceLatin) Val(xml, QStringLiteral("w:autoSpaceDE"), QStringLiteral("0"));
        if (!format.autoSpaceDigits) Val(xml, QStringLiteral("w:autoSpaceDN"), QStringLiteral("0"));
        if (format.rule == LineSpacingRule::Exactly) {
            Empty(xml, QStringLiteral("w:spacing"),
                  {{"w:line", Num(Whole(format.spacing * 20, 1, 31680))},
                   {"w:lineRule", QStringLiteral("exact")}});
        } else if (format.rule == LineSpacingRule::Single) {
            Empty(xml, QStringLiteral("w:spacing"),
                  {{"w:line", QStringLiteral("240")}, {"w:lineRule", QStringLiteral("auto")}});
        }
        if (endsSection) WriteSectionProperties(xml, *endsSection);
        xml.writeEndElement();
    }
    const auto writeRun = [&xml](const RunFormat& f, const QString& text,
                                 const std::optional<Drawing>& drawing) {
        xml.writeStartElement(QStringLiteral("w:r"));
        WriteRunProperties(xml, f.size, f.bold, f.underline, f.raise);
        if (drawing)
            WriteDrawing(xml, drawing->relId, drawing->size, drawing->id, drawing->floatingLeft);
        else
            WriteRunText(xml, text);
        xml.writeEndElement();
    };
    for (const Run& run : runs) writeRun(run.format, run.text, run.drawing);
    if (!openText.isEmpty()) writeRun(openFormat, openText, std::nullopt);
    xml.writeEndElement();
}

QByteArray DocxDocument::documentHead() const {
    QByteArray head;
    QXmlStreamWriter xml(&head);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    xml.writeStartElement(QStringLiteral("w:document"));
    xml.writeAttribute(QStringLiteral("xmlns:w"), kMainNamespace);
    xml.writeAttribute(
        QStringLiteral("xmlns:r"),
        QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships"));
    xml.writeAttribute(
        QStringLiteral("xmlns:wp"),
        QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"));
    xml.writeAttribute(QStringLiteral("xmlns:a"),
                       QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main"));
    xml.writeAttribute(QStringLiteral("xmlns:pic"),
                       QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture"));
    xml.writeStartElement(QStringLiteral("w:body"));
    xml.writeCharacters(QString());  // closes the start tag
    return head;
}

QByteArray DocxDocument::documentTail() const {
    // The open paragraph and the last section close here, so the document can be written at
    // any time and typing may go on afterwards.
    QByteArray tail;
    QXmlStreamWriter xml(&tail);
    WriteParagraph(xml, m_paragraph, std::nullopt, m_runs, XmlText(m_runText, true), m_runFormat);
    WriteSectionProperties(xml, m_section);
    return tail + "</w:body></w:document>\n";
}

QByteArray DocxDocument::documentXml() const {
    return documentHead() + m_body + documentTail();
}

QByteArray DocxDocument::stylesXml() const {
    Part part;
    QXmlStreamWriter& xml = part.xml();
    xml.writeStartElement(QStringLiteral("w:styles"));
    xml.writeAttribute(QStringLiteral("xmlns:w"), kMainNamespace);
    xml.writeStartElement(QStringLiteral("w:docDefaults"));
    xml.writeStartElement(QStringLiteral("w:rPrDefault"));
    xml.writeStartElement(QStringLiteral("w:rPr"));
    Val(xml, QStringLiteral("w:kern"), QStringLiteral("2"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("w:pPrDefault"));
    xml.writeStartElement(QStringLiteral("w:pPr"));
    Empty(xml, QStringLiteral("w:spacing"),
          {{"w:after", QStringLiteral("0")},
           {"w:line", QStringLiteral("240")},
           {"w:lineRule", QStringLiteral("auto")}});
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();  // w:docDefaults

    // A default style of a type, its id and name.
    const auto startStyle = [&xml](const char* type, const char* id, const char* name) {
        xml.writeStartElement(QStringLiteral("w:style"));
        xml.writeAttribute(QStringLiteral("w:type"), QLatin1String(type));
        xml.writeAttribute(QStringLiteral("w:default"), QStringLiteral("1"));
        xml.writeAttribute(QStringLiteral("w:styleId"), QLatin1String(id));
        Val(xml, QStringLiteral("w:name"), QLatin1String(name));
    };
    // The built-in Normal style, which a Japanese word processor names 標準.
    startStyle("paragraph", "a", "Normal");
    Empty(xml, QStringLiteral("w:qFormat"));
    xml.writeStartElement(QStringLiteral("w:pPr"));
    Val(xml, QStringLiteral("w:widowControl"), QStringLiteral("0"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("w:rPr"));
    if (m_styleFont) {
        const StyleFont& f = *m_styleFont;
        const QString other = XmlText(f.otherName);
        Empty(xml, QStringLiteral("w:rFonts"),
              {{"w:ascii", XmlText(f.asciiName)},
               {"w:eastAsia", XmlText(f.farEastName)},
               {"w:hAnsi", other},
               {"w:cs", other}});
        Val(xml, QStringLiteral("w:color"), QStringLiteral("auto"));
        Val(xml, QStringLiteral("w:spacing"), QStringLiteral("0"));
        Val(xml, QStringLiteral("w:w"), QStringLiteral("100"));
        Val(xml, QStringLiteral("w:kern"), QStringLiteral("2"));
        Val(xml, QStringLiteral("w:position"), QStringLiteral("0"));
        const QString half = Num(Whole(f.size * 2, 1, 3276));
        Val(xml, QStringLiteral("w:sz"), half);
        Val(xml, QStringLiteral("w:szCs"), half);
    }
    xml.writeEndElement();  // w:rPr
    xml.writeEndElement();  // w:style

    startStyle("character", "a0", "Default Paragraph Font");
    Val(xml, QStringLiteral("w:uiPriority"), QStringLiteral("1"));
    Empty(xml, QStringLiteral("w:semiHidden"));
    Empty(xml, QStringLiteral("w:unhideWhenUsed"));
    xml.writeEndElement();
    xml.writeEndElement();  // w:styles
    return part.finish();
}

namespace {

struct ZipDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipSourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
struct ZipErrorFini {
    void operator()(zip_error_t* error) const { zip_error_fini(error); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipDiscard>;
using ZipSource = std::unique_ptr<zip_source_t, ZipSourceFree>;

// A part of the package, in the order they are zipped: its bytes in pieces, zipped as one.
struct PackagePart {
    std::string name;
    std::vector<QByteArray> pieces;
};

QByteArray Zip(const std::vector<PackagePart>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    const std::unique_ptr<zip_error_t, ZipErrorFini> errorOwner(&error);
    const ZipSource buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer) return {};
    ZipArchive archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    if (!archive) return {};
    // The archive holds a reference of its own from here; `buffer` keeps ours for reading.
    zip_source_keep(buffer.get());
    for (const PackagePart& part : parts) {
        std::vector<zip_buffer_fragment_t> fragments;
        for (const QByteArray& piece : part.pieces) {
            // libzip only reads them (the pointer is not const in its interface).
            fragments.push_back({reinterpret_cast<zip_uint8_t*>(const_cast<char*>(piece.data())),
                                 static_cast<zip_uint64_t>(piece.size())});
        }
        ZipSource data(
            zip_source_buffer_fragment(archive.get(), fragments.data(), fragments.size(), 0));
        if (!data) return {};
        if (zip_file_add(archive.get(), part.name.c_str(), data.get(), ZIP_FL_ENC_UTF_8) < 0)
            return {};
        data.release();  // the archive's now
    }
    if (zip_close(archive.get()) < 0) return {};
    archive.release();  // closed and freed by zip_close
    QByteArray out;
    if (zip_source_open(buffer.get()) == 0) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_source_stat(buffer.get(), &st) == 0 && (st.valid & ZIP_STAT_SIZE) != 0) {
            out.resize(static_cast<qsizetype>(st.size));
            if (zip_source_read(buffer.get(), out.data(), st.size) !=
                static_cast<zip_int64_t>(st.size))
                out.clear();
        }
        zip_source_close(buffer.get());
    }
    return out;
}

// A relationships part: (id, type under the officeDocument relationships, target).
QByteArray Relationships(const std::vector<std::array<QString, 3>>& relationships) {
    Part part;
    QXmlStreamWriter& xml = part.xml();
    xml.writeStartElement(QStringLiteral("Relationships"));
    xml.writeAttribute(QStringLiteral("xmlns"), kRelationshipsNamespace);
    for (const auto& [id, type, target] : relationships) {
        Empty(xml, QStringLiteral("Relationship"),
              {{"Id", id}, {"Type", kRelationshipType + type}, {"Target", target}});
    }
    xml.writeEndElement();
    return part.finish();
}

QByteArray ContentTypes() {
    Part part;
    QXmlStreamWriter& xml = part.xml();
    xml.writeStartElement(QStringLiteral("Types"));
    xml.writeAttribute(
        QStringLiteral("xmlns"),
        QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types"));
    const auto byExtension = [&xml](const char* extension, const char* type) {
        Empty(xml, QStringLiteral("Default"),
              {{"Extension", QLatin1String(extension)}, {"ContentType", QLatin1String(type)}});
    };
    byExtension("rels", "application/vnd.openxmlformats-package.relationships+xml");
    byExtension("xml", "application/xml");
    byExtension("png", "image/png");
    const auto byPart = [&xml](const char* name, const char* kind) {
        Empty(xml, QStringLiteral("Override"),
              {{"PartName", QLatin1String(name)},
               {"ContentType",
                QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.") +
                    QLatin1String(kind) + QStringLiteral("+xml")}});
    };
    byPart("/word/document.xml", "document.main");
    byPart("/word/styles.xml", "styles");
    byPart("/word/settings.xml", "settings");
    xml.writeEndElement();
    return part.finish();
}

QByteArray Settings(int viewType) {
    Part part;
    QXmlStreamWriter& xml = part.xml();
    xml.writeStartElement(QStringLiteral("w:settings"));
    xml.writeAttribute(QStringLiteral("xmlns:w"), kMainNamespace);
    if (viewType == 1) Val(xml, QStringLiteral("w:view"), QStringLiteral("normal"));
    Val(xml, QStringLiteral("w:defaultTabStop"), QStringLiteral("840"));
    xml.writeStartElement(QStringLiteral("w:compat"));
    Empty(xml, QStringLiteral("w:compatSetting"),
          {{"w:name", QStringLiteral("compatibilityMode")},
           {"w:uri", QStringLiteral("http://schemas.microsoft.com/office/word")},
           {"w:val", QStringLiteral("15")}});
    xml.writeEndElement();
    xml.writeEndElement();
    return part.finish();
}

}  // namespace

QByteArray DocxDocument::package() const {
    std::vector<std::array<QString, 3>> documentRelationships{
        {QStringLiteral("rIdStyles"), QStringLiteral("styles"), QStringLiteral("styles.xml")},
        {QStringLiteral("rIdSettings"), QStringLiteral("settings"),
         QStringLiteral("settings.xml")}};
    for (std::size_t i = 1; i <= m_media.size(); ++i) {
        documentRelationships.push_back({QStringLiteral("rIdImage%1").arg(i),
                                         QStringLiteral("image"),
                                         QStringLiteral("media/image%1.png").arg(i)});
    }
    std::vector<PackagePart> parts{
        {"[Content_Types].xml", {ContentTypes()}},
        {"_rels/.rels",
         {Relationships({{QStringLiteral("rId1"), QStringLiteral("officeDocument"),
                          QStringLiteral("word/document.xml")}})}},
        {"word/document.xml", {documentHead(), m_body, documentTail()}},
        {"word/styles.xml", {stylesXml()}},
        {"word/settings.xml", {Settings(m_viewType)}},
        {"word/_rels/document.xml.rels", {Relationships(documentRelationships)}}};
    for (std::size_t i = 0; i < m_media.size(); ++i)
        parts.push_back({"word/media/image" + std::to_string(i + 1) + ".png", {m_media[i]}});
    return Zip(parts);
}

bool DocxDocument::finish() {
    const QByteArray bytes = package();
    if (bytes.isEmpty()) return false;
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (!m_outputPath.isEmpty()) {
        if (!safefile::replaceFile(m_outputPath.toStdString(), view).ok()) return false;
        m_writtenPath = m_outputPath;
        return true;
    }
    const auto path = MakeTempFileName(".docx");
    if (!path) return false;
    // The file was just made empty, exclusively and private; it is filled in place.
    safefile::Descriptor fd(::open(path->c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW));
    if (!fd.valid() || !safefile::writeAll(fd.get(), view) || !fd.close()) {
        ::unlink(path->c_str());
        return false;
    }
    m_writtenPath = QString::fromStdString(*path);
    return m_desktop != nullptr && m_desktop->openDocument(m_writtenPath);
}

}  // namespace word
