#include "pagesetup/DocxDocument.h"

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

#include <QBuffer>
#include <algorithm>
#include <cmath>

#include "foundation/Numeric.h"
#include "foundation/SafeFile.h"
#include "foundation/TempFile.h"

namespace word {

namespace {

constexpr int kA4WidthTwips = 11906;
constexpr int kA4HeightTwips = 16838;
constexpr double kEmuPerPoint = 12700;
constexpr int kPictureDotsPerMeter = 3780;  // 96 dpi

const char* const kNamespaces =
    R"( xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main")"
    R"( xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")"
    R"( xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing")"
    R"( xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main")"
    R"( xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture")";
const char* const kXmlHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

// Whole numbers for the file: half to even, limited to what the attribute holds.
long long Whole(double value, long long lo, long long hi) {
    if (!std::isfinite(value)) return lo;
    return std::clamp(static_cast<long long>(std::nearbyint(value)), lo, hi);
}

QString Num(long long value) {
    return QString::number(value);
}

bool XmlAllowed(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

QString Escape(const QString& text) {
    QString out;
    out.reserve(text.size());
    const auto units = text.toUcs4();
    for (const char32_t c : units) {
        if (!XmlAllowed(c) || c < 0x20) continue;
        switch (c) {
            case '&':
                out += QLatin1String("&amp;");
                break;
            case '<':
                out += QLatin1String("&lt;");
                break;
            case '>':
                out += QLatin1String("&gt;");
                break;
            case '"':
                out += QLatin1String("&quot;");
                break;
            default:
                out += QString::fromUcs4(&c, 1);
        }
    }
    return out;
}

QString Attr(const QString& text) {
    return Escape(text);
}

}  // namespace

QString RunContent(const QString& text) {
    QString out;
    QString pending;
    const auto flushText = [&] {
        if (pending.isEmpty()) return;
        out += QLatin1String("<w:t xml:space=\"preserve\">") + Escape(pending) +
               QLatin1String("</w:t>");
        pending.clear();
    };
    for (const QChar ch : text) {
        if (ch == QChar('\t')) {
            flushText();
            out += QLatin1String("<w:tab/>");
        } else if (ch == QChar('\f')) {
            flushText();
            out += QLatin1String("<w:br w:type=\"page\"/>");
        } else if (ch.unicode() >= 0x20) {
            pending += ch;
        }
    }
    flushText();
    return out;
}

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
    m_paragraphContent.clear();
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
    const QString content = RunContent(m_runText);
    m_runText.clear();
    if (content.isEmpty()) return;
    m_paragraphContent +=
        QLatin1String("<w:r>") + runProperties(m_runFormat) + content + QLatin1String("</w:r>");
}

void DocxDocument::closeParagraph(bool endsSection) {
    flushRun();
    m_body += (QLatin1String("<w:p>") + paragraphProperties(endsSection) + m_paragraphContent +
               QLatin1String("</w:p>"))
                  .toUtf8();
    m_paragraphContent.clear();
}

QString DocxDocument::runProperties(const RunFormat& format) const {
    QString p;
    if (format.bold) p += QLatin1String("<w:b/>");
    if (format.raise != 0)
        p += QStringLiteral("<w:position w:val=\"%1\"/>")
                 .arg(Whole(format.raise * 2.0, -3168, 3168));
    if (format.size) {
        const QString half = Num(Whole(*format.size * 2, 1, 3276));
        p += QStringLiteral("<w:sz w:val=\"%1\"/><w:szCs w:val=\"%1\"/>").arg(half);
    }
    if (format.underline) p += QLatin1String("<w:u w:val=\"single\"/>");
    return p.isEmpty() ? p : QLatin1String("<w:rPr>") + p + QLatin1String("</w:rPr>");
}

QString DocxDocument::paragraphProperties(bool endsSection) const {
    QString p;
    if (m_paragraph.styled) p += QLatin1String("<w:pStyle w:val=\"a\"/>");
    if (!m_paragraph.autoSpaceLatin) p += QLatin1String("<w:autoSpaceDE w:val=\"0\"/>");
    if (!m_paragraph.autoSpaceDigits) p += QLatin1String("<w:autoSpaceDN w:val=\"0\"/>");
    if (m_paragraph.rule == LineSpacingRule::Exactly) {
        p += QStringLiteral("<w:spacing w:line=\"%1\" w:lineRule=\"exact\"/>")
                 .arg(Whole(m_paragraph.spacing * 20, 1, 31680));
    } else if (m_paragraph.rule == LineSpacingRule::Single) {
        p += QLatin1String("<w:spacing w:line=\"240\" w:lineRule=\"auto\"/>");
    }
    if (endsSection) p += sectionProperties();
    return p.isEmpty() ? p : QLatin1String("<w:pPr>") + p + QLatin1String("</w:pPr>");
}

QString DocxDocument::sectionProperties() const {
    const bool landscape = m_section.orientation == 1;
    const int w = landscape ? kA4HeightTwips : kA4WidthTwips;
    const int h = landscape ? kA4WidthTwips : kA4HeightTwips;
    QString s = QStringLiteral("<w:sectPr><w:pgSz w:w=\"%1\" w:h=\"%2\"%3/>")
                    .arg(w)
                    .arg(h)
                    .arg(landscape ? QStringLiteral(" w:orient=\"landscape\"") : QString());
    // Margins stay on the paper: at least 0 and together below its size.
    const auto twips = [](double points, int limit) { return Whole(points * 20, 0, limit); };
    const long long top = twips(m_section.topMargin, h - 1);
    const long long bottom = twips(m_section.bottomMargin, h - 1 - top);
    const long long left = twips(m_section.leftMargin, w - 1);
    const long long right = twips(m_section.rightMargin, w - 1 - left);
    s += QStringLiteral(
             "<w:pgMar w:top=\"%1\" w:right=\"%2\" w:bottom=\"%3\" w:left=\"%4\" w:header=\"0\" "
             "w:footer=\"0\" w:gutter=\"0\"/></w:sectPr>")
             .arg(top)
             .arg(right)
             .arg(bottom)
             .arg(left);
    return s;
}

QString DocxDocument::addPicture(const QImage& picture) {
    if (picture.isNull()) return {};
    // The same picture placed again refers to its one copy in the package.
    if (const auto known = m_mediaIds.constFind(picture.cacheKey()); known != m_mediaIds.constEnd())
        return known.value();
    QImage image = picture;
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

QString DocxDocument::drawing(const QString& relId, QSizeF size,
                              std::optional<double> floatingLeft) {
    const int id = ++m_drawingCount;
    const long long cx = Whole(size.width() * kEmuPerPoint, 1, 27273042316LL);
    const long long cy = Whole(size.height() * kEmuPerPoint, 1, 27273042316LL);
    const QString extent = QStringLiteral(
                               "<wp:extent cx=\"%1\" cy=\"%2\"/>"
                               "<wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/>")
                               .arg(cx)
                               .arg(cy);
    const QString name = QStringLiteral("Picture %1").arg(id);
    const QString graphic =
        QStringLiteral(
            "<wp:docPr id=\"%1\" name=\"%2\"/><wp:cNvGraphicFramePr><a:graphicFrameLocks "
            "noChangeAspect=\"1\"/></wp:cNvGraphicFramePr><a:graphic><a:graphicData "
            "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic>"
            "<pic:nvPicPr><pic:cNvPr id=\"%1\" name=\"%2\"/><pic:cNvPicPr/></pic:nvPicPr>"
            "<pic:blipFill><a:blip r:embed=\"%3\"/><a:stretch><a:fillRect/></a:stretch>"
            "</pic:blipFill><pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%4\" "
            "cy=\"%5\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr>"
            "</pic:pic></a:graphicData></a:graphic>")
            .arg(id)
            .arg(name, relId)
            .arg(cx)
            .arg(cy);
    if (!floatingLeft) {
        return QLatin1String(
                   "<w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" "
                   "distR=\"0\">") +
               extent + graphic + QLatin1String("</wp:inline></w:drawing>");
    }
    const long long left = Whole(*floatingLeft * kEmuPerPoint, -27273042316LL, 27273042316LL);
    return QStringLiteral(
               "<w:drawing><wp:anchor distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\" "
               "simplePos=\"0\" relativeHeight=\"%1\" behindDoc=\"1\" locked=\"0\" "
               "layoutInCell=\"1\" allowOverlap=\"1\"><wp:simplePos x=\"0\" y=\"0\"/>"
               "<wp:positionH relativeFrom=\"column\"><wp:posOffset>%2</wp:posOffset>"
               "</wp:positionH><wp:positionV relativeFrom=\"paragraph\"><wp:posOffset>0"
               "</wp:posOffset></wp:positionV>")
               .arg(id)
               .arg(left) +
           extent + QLatin1String("<wp:wrapNone/>") + graphic +
           QLatin1String("</wp:anchor></w:drawing>");
}

bool DocxDocument::insertInlinePicture(const QImage& picture, QSizeF size) {
    if (!(size.width() > 0 && size.height() > 0)) return false;
    const QString relId = addPicture(picture);
    if (relId.isEmpty()) return false;
    flushRun();
    m_paragraphContent += QLatin1String("<w:r>") + runProperties(m_format) +
                          drawing(relId, size, std::nullopt) + QLatin1String("</w:r>");
    return true;
}

bool DocxDocument::insertFloatingPicture(const QImage& picture, QSizeF size, double left) {
    if (!(size.width() > 0 && size.height() > 0) || !std::isfinite(left)) return false;
    const QString relId = addPicture(picture);
    if (relId.isEmpty()) return false;
    flushRun();
    m_paragraphContent += QLatin1String("<w:r>") + runProperties(m_format) +
                          drawing(relId, size, left) + QLatin1String("</w:r>");
    return true;
}

QByteArray DocxDocument::documentXml() const {
    // The open paragraph and the last section close here, so the document can be written at
    // any time and typing may go on afterwards.
    DocxDocument open = *this;
    open.m_body.clear();
    open.closeParagraph(false);
    const QByteArray tail = open.m_body + open.sectionProperties().toUtf8();
    QByteArray xml;
    xml.reserve(m_body.size() + tail.size() + 1024);
    xml += kXmlHeader;
    xml += "<w:document";
    xml += kNamespaces;
    xml += "><w:body>";
    xml += m_body;
    xml += tail;
    xml += "</w:body></w:document>";
    return xml;
}

QByteArray DocxDocument::stylesXml() const {
    QString font;
    if (m_styleFont) {
        const StyleFont& f = *m_styleFont;
        const QString half = Num(Whole(f.size * 2, 1, 3276));
        font = QStringLiteral(
                   "<w:rFonts w:ascii=\"%1\" w:eastAsia=\"%2\" w:hAnsi=\"%3\" w:cs=\"%3\"/>"
                   "<w:color w:val=\"auto\"/><w:spacing w:val=\"0\"/><w:w w:val=\"100\"/>"
                   "<w:kern w:val=\"2\"/><w:position w:val=\"0\"/><w:sz w:val=\"%4\"/>"
                   "<w:szCs w:val=\"%4\"/>")
                   .arg(Attr(f.asciiName), Attr(f.farEastName), Attr(f.otherName), half);
    }
    return (QString::fromLatin1(kXmlHeader) +
            QLatin1String(
                "<w:styles "
                "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                "<w:docDefaults><w:rPrDefault><w:rPr><w:kern w:val=\"2\"/></w:rPr>"
                "</w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:after=\"0\" w:line=\"240\" "
                "w:lineRule=\"auto\"/></w:pPr></w:pPrDefault></w:docDefaults>"
                // The built-in Normal style, which a Japanese word processor names 標準.
                "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"a\">"
                "<w:name w:val=\"Normal\"/><w:qFormat/><w:pPr><w:widowControl w:val=\"0\"/>"
                "</w:pPr><w:rPr>") +
            font +
            QLatin1String(
                "</w:rPr></w:style><w:style w:type=\"character\" w:default=\"1\" "
                "w:styleId=\"a0\"><w:name w:val=\"Default Paragraph Font\"/><w:uiPriority "
                "w:val=\"1\"/><w:semiHidden/><w:unhideWhenUsed/></w:style></w:styles>"))
        .toUtf8();
}

namespace {

// The package parts in the order they are zipped.
struct Part {
    std::string name;
    QByteArray bytes;
};

QByteArray Zip(const std::vector<Part>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (buffer == nullptr) return {};
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        zip_source_free(buffer);
        zip_error_fini(&error);
        return {};
    }
    zip_source_keep(buffer);
    bool ok = true;
    for (const Part& part : parts) {
        zip_source_t* data = zip_source_buffer(archive, part.bytes.constData(),
                                               static_cast<zip_uint64_t>(part.bytes.size()), 0);
        if (data == nullptr) {
            ok = false;
            break;
        }
        if (zip_file_add(archive, part.name.c_str(), data, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(data);
            ok = false;
            break;
        }
    }
    if (!ok) {
        zip_discard(archive);
        zip_source_free(buffer);
        return {};
    }
    if (zip_close(archive) < 0) {
        zip_discard(archive);
        zip_source_free(buffer);
        return {};
    }
    QByteArray out;
    if (zip_source_open(buffer) == 0) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_source_stat(buffer, &st) == 0 && (st.valid & ZIP_STAT_SIZE) != 0) {
            out.resize(static_cast<qsizetype>(st.size));
            if (zip_source_read(buffer, out.data(), st.size) != static_cast<zip_int64_t>(st.size))
                out.clear();
        }
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    zip_error_fini(&error);
    return out;
}

}  // namespace

QByteArray DocxDocument::package() const {
    QByteArray types(kXmlHeader);
    types +=
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Default Extension=\"png\" ContentType=\"image/png\"/>"
        "<Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
        "<Override PartName=\"/word/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/"
        ">"
        "<Override PartName=\"/word/settings.xml\" "
        "ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/></Types>";
    QByteArray rels(kXmlHeader);
    rels +=
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "officeDocument\" Target=\"word/document.xml\"/></Relationships>";
    QByteArray docRels(kXmlHeader);
    docRels +=
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rIdStyles\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
        "Target=\"styles.xml\"/><Relationship Id=\"rIdSettings\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings\" "
        "Target=\"settings.xml\"/>";
    for (std::size_t i = 1; i <= m_media.size(); ++i) {
        docRels += QStringLiteral(
                       "<Relationship Id=\"rIdImage%1\" "
                       "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                       "relationships/image\" Target=\"media/image%1.png\"/>")
                       .arg(i)
                       .toUtf8();
    }
    docRels += "</Relationships>";
    QByteArray settings(kXmlHeader);
    settings +=
        "<w:settings xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">";
    if (m_viewType == 1) settings += "<w:view w:val=\"normal\"/>";
    settings +=
        "<w:defaultTabStop w:val=\"840\"/><w:compat><w:compatSetting "
        "w:name=\"compatibilityMode\" w:uri=\"http://schemas.microsoft.com/office/word\" "
        "w:val=\"15\"/></w:compat></w:settings>";

    std::vector<Part> parts{
        {"[Content_Types].xml", types},       {"_rels/.rels", rels},
        {"word/document.xml", documentXml()}, {"word/styles.xml", stylesXml()},
        {"word/settings.xml", settings},      {"word/_rels/document.xml.rels", docRels}};
    for (std::size_t i = 0; i < m_media.size(); ++i)
        parts.push_back({"word/media/image" + std::to_string(i + 1) + ".png", m_media[i]});
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
