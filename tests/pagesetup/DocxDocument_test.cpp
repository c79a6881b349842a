#include "pagesetup/DocxDocument.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <QRegularExpression>
#include <filesystem>
#include <map>

#include "RecordingWordDocument.h"
#include "tests/foundation/ScratchFolder.h"

using namespace word;

namespace {

std::map<std::string, QByteArray> Unzip(const QByteArray& bytes) {
    std::map<std::string, QByteArray> parts;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(bytes.constData(), bytes.size(), 0, &error);
    zip_t* archive = src ? zip_open_from_source(src, ZIP_RDONLY, &error) : nullptr;
    if (archive == nullptr) return parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(archive, i, 0, &st);
        QByteArray data(static_cast<qsizetype>(st.size), '\0');
        zip_file_t* f = zip_fopen_index(archive, i, 0);
        zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        parts[st.name] = data;
    }
    zip_discard(archive);
    return parts;
}

QString Body(const DocxDocument& doc) {
    const QString xml = QString::fromUtf8(doc.documentXml());
    const auto from = xml.indexOf("<w:body>") + 8;
    return xml.mid(from, xml.indexOf("</w:body>") - from);
}

QImage Picture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

}  // namespace

TEST(DocxDocument, TypesTextInRunsWithTheirFormatAndParagraphSpacing) {
    DocxDocument doc(nullptr);
    doc.setAutoSpace(false, false);
    doc.setLineSpacingRule(LineSpacingRule::Exactly);
    doc.setLineSpacing(9);
    doc.setFontSize(9);
    doc.typeText("a & <b>");
    doc.setBold(true);
    doc.setUnderline(true);
    doc.setRaise(4);
    doc.setFontSize(4.5);
    doc.typeText("x\ty\x01\fz");
    doc.newParagraph();
    doc.setLineSpacingRule(LineSpacingRule::Single);
    doc.typeText(QString::fromUtf8("全角"));
    EXPECT_EQ(Body(doc).toStdString(),
              "<w:p><w:pPr><w:autoSpaceDE w:val=\"0\"/><w:autoSpaceDN w:val=\"0\"/>"
              "<w:spacing w:line=\"180\" w:lineRule=\"exact\"/></w:pPr>"
              "<w:r><w:rPr><w:sz w:val=\"18\"/><w:szCs w:val=\"18\"/></w:rPr>"
              "<w:t xml:space=\"preserve\">a &amp; &lt;b&gt;</w:t></w:r>"
              "<w:r><w:rPr><w:b/><w:position w:val=\"8\"/><w:sz w:val=\"9\"/>"
              "<w:szCs w:val=\"9\"/><w:u w:val=\"single\"/></w:rPr>"
              "<w:t xml:space=\"preserve\">x</w:t><w:tab/><w:t xml:space=\"preserve\">y</w:t>"
              "<w:br w:type=\"page\"/><w:t xml:space=\"preserve\">z</w:t></w:r></w:p>"
              // The new paragraph keeps the paragraph and character format.
              "<w:p><w:pPr><w:autoSpaceDE w:val=\"0\"/><w:autoSpaceDN w:val=\"0\"/>"
              "<w:spacing w:line=\"240\" w:lineRule=\"auto\"/></w:pPr>"
              "<w:r><w:rPr><w:b/><w:position w:val=\"8\"/><w:sz w:val=\"9\"/>"
              "<w:szCs w:val=\"9\"/><w:u w:val=\"single\"/></w:rPr>"
              "<w:t xml:space=\"preserve\">全角</w:t></w:r></w:p>"
              "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" "
              "w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\" w:header=\"0\" w:footer=\"0\" "
              "w:gutter=\"0\"/></w:sectPr>");
}

TEST(DocxDocument, SectionsCarryTheirOwnPageSetup) {
    DocxDocument doc(nullptr);
    doc.setPageSetup({0, MillimetersToPoints(25), 0, MillimetersToPoints(20), 0});
    doc.typeText("portrait");
    doc.insertSectionBreak();
    doc.setPageSetup({1, MillimetersToPoints(10), 0, MillimetersToPoints(15), 0});
    doc.typeText("landscape");
    doc.insertPageBreak();
    EXPECT_EQ(Body(doc).toStdString(),
              "<w:p><w:pPr><w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar "
              "w:top=\"1417\" w:right=\"0\" w:bottom=\"0\" w:left=\"1134\" w:header=\"0\" "
              "w:footer=\"0\" w:gutter=\"0\"/></w:sectPr></w:pPr>"
              "<w:r><w:t xml:space=\"preserve\">portrait</w:t></w:r></w:p>"
              "<w:p><w:r><w:t xml:space=\"preserve\">landscape</w:t><w:br w:type=\"page\"/>"
              "</w:r></w:p><w:sectPr><w:pgSz w:w=\"16838\" w:h=\"11906\" "
              "w:orient=\"landscape\"/><w:pgMar w:top=\"567\" w:right=\"0\" w:bottom=\"0\" "
              "w:left=\"850\" w:header=\"0\" w:footer=\"0\" w:gutter=\"0\"/></w:sectPr>");
}

TEST(DocxDocument, MarginsStayOnThePaper) {
    DocxDocument doc(nullptr);
    doc.setPageSetup({0, -20, 1e9, 1e9, 5});
    EXPECT_TRUE(
        Body(doc).contains("<w:pgMar w:top=\"0\" w:right=\"0\" w:bottom=\"16837\" "
                           "w:left=\"11905\""));
}

TEST(DocxDocument, StyleFontIsTheDefaultParagraphStyle) {
    DocxDocument doc(nullptr);
    EXPECT_FALSE(doc.setStyleFont("見出し 1", {}));
    EXPECT_FALSE(doc.applyStyle("見出し 1"));
    ASSERT_TRUE(doc.setStyleFont(kNormalStyleName, {QString::fromUtf8("ＭＳ 明朝"),
                                                    QString::fromUtf8("ＭＳ 明朝"), "Century", 9}));
    ASSERT_TRUE(doc.applyStyle(kNormalStyleName));
    const QString styles = QString::fromUtf8(doc.stylesXml());
    EXPECT_TRUE(
        styles.contains("<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"a\"><w:name "
                        "w:val=\"Normal\"/>"));
    EXPECT_TRUE(styles.contains(QString::fromUtf8(
        "<w:rFonts w:ascii=\"ＭＳ 明朝\" w:eastAsia=\"ＭＳ 明朝\" w:hAnsi=\"Century\" "
        "w:cs=\"Century\"/>")));
    EXPECT_TRUE(
        styles.contains("<w:kern w:val=\"2\"/><w:position w:val=\"0\"/>"
                        "<w:sz w:val=\"18\"/><w:szCs w:val=\"18\"/>"));
    EXPECT_TRUE(Body(doc).startsWith("<w:p><w:pPr><w:pStyle w:val=\"a\"/></w:pPr></w:p>"));
}

TEST(DocxDocument, PicturesArePngAt96DpiWithUniqueIds) {
    DocxDocument doc(nullptr);
    doc.typeText("  ");
    ASSERT_TRUE(doc.insertInlinePicture(Picture(96, 48), {72, 36}));
    doc.newParagraph();
    ASSERT_TRUE(doc.insertFloatingPicture(Picture(10, 20), {7.5, 15}, 4.5));
    EXPECT_FALSE(doc.insertInlinePicture(QImage(), {10, 10}));
    EXPECT_FALSE(doc.insertInlinePicture(Picture(1, 1), {0, 10}));
    const QString body = Body(doc);
    EXPECT_TRUE(
        body.contains("<wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
                      "<wp:extent cx=\"914400\" cy=\"457200\"/>"));
    EXPECT_TRUE(body.contains("<a:blip r:embed=\"rIdImage1\"/>"));
    EXPECT_TRUE(body.contains(
        "behindDoc=\"1\" locked=\"0\" layoutInCell=\"1\" allowOverlap=\"1\">"
        "<wp:simplePos x=\"0\" y=\"0\"/><wp:positionH relativeFrom=\"column\">"
        "<wp:posOffset>57150</wp:posOffset></wp:positionH><wp:positionV "
        "relativeFrom=\"paragraph\"><wp:posOffset>0</wp:posOffset></wp:positionV>"
        "<wp:extent cx=\"95250\" cy=\"190500\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" "
        "b=\"0\"/><wp:wrapNone/><wp:docPr id=\"2\" name=\"Picture 2\"/>"));
    EXPECT_EQ(body.count("<wp:docPr id=\"1\""), 1);
    EXPECT_EQ(body.count("<wp:docPr id=\"2\""), 1);

    const auto parts = Unzip(doc.package());
    ASSERT_EQ(parts.count("word/media/image2.png"), 1u);
    QImage png;
    ASSERT_TRUE(png.loadFromData(parts.at("word/media/image2.png"), "PNG"));
    EXPECT_EQ(png.size(), QSize(10, 20));
    EXPECT_EQ(png.dotsPerMeterX(), 3780);
    EXPECT_TRUE(parts.at("word/_rels/document.xml.rels").contains("Target=\"media/image2.png\""));
}

TEST(DocxDocument, aPicturePlacedAgainIsStoredOnce) {
    DocxDocument doc(nullptr);
    const QImage picture = Picture(8, 8);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(doc.insertInlinePicture(picture, {6, 6}));
    EXPECT_EQ(Body(doc).count("r:embed=\"rIdImage1\""), 3);
    EXPECT_EQ(Unzip(doc.package()).count("word/media/image2.png"), 0u);
}

TEST(DocxDocument, PackageHoldsEveryPartAndTheView) {
    DocxDocument doc(nullptr);
    doc.setViewType(1);
    doc.typeText("abc");
    const auto parts = Unzip(doc.package());
    for (const char* name :
         {"[Content_Types].xml", "_rels/.rels", "word/document.xml", "word/styles.xml",
          "word/settings.xml", "word/_rels/document.xml.rels"})
        EXPECT_EQ(parts.count(name), 1u) << name;
    EXPECT_TRUE(parts.at("word/settings.xml").contains("<w:view w:val=\"normal\"/>"));
    EXPECT_EQ(parts.at("word/document.xml"), doc.documentXml());
}

TEST(DocxDocument, FinishWritesAPrivateTemporaryFileAndOpensIt) {
    ScratchFolder tmp;
    const QByteArray old = qgetenv("TMPDIR");
    qputenv("TMPDIR", QByteArray::fromStdString(tmp.path()));
    FakeWordDesktop desktop;
    DocxDocument doc(&desktop);
    doc.typeText("abc");
    EXPECT_TRUE(doc.finish());
    if (old.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", old);
    const QString path = doc.writtenPath();
    EXPECT_TRUE(QRegularExpression("/~QM[0-9A-F]{8}\\.docx$").match(path).hasMatch())
        << path.toStdString();
    EXPECT_TRUE(path.startsWith(QString::fromStdString(tmp.path())));
    EXPECT_EQ(desktop.opened, QStringList{path});
    struct stat st {};
    ASSERT_EQ(::stat(path.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(QByteArray::fromStdString(ScratchFolder::read(path.toStdString())), doc.package());
}

TEST(DocxDocument, FinishToAnOutputPathOpensNothingAndReportsAFailedWrite) {
    ScratchFolder tmp;
    FakeWordDesktop desktop;
    DocxDocument doc(&desktop);
    doc.setOutputPath(QString::fromStdString(tmp.file("out.docx")));
    EXPECT_TRUE(doc.finish());
    EXPECT_TRUE(desktop.opened.isEmpty());
    EXPECT_TRUE(std::filesystem::exists(tmp.file("out.docx")));
    doc.setOutputPath(QString::fromStdString(tmp.file("missing/out.docx")));
    EXPECT_FALSE(doc.finish());
}
