// VDF: a round trip of a whole document, and hostile files refused without touching the
// document in the control.
#include "preview/VdfFormat.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "PageControlFixture.h"

namespace preview {
namespace {

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(VdfFormat, roundTripKeepsEveryPageItemTagFontAndPicture) {
    QTemporaryDir dir;
    PageControl original;
    buildSampleDocument(original);
    const QString path = dir.filePath(QStringLiteral("doc.vdf"));
    QString error;
    ASSERT_TRUE(original.saveDocument(path, &error)) << error.toStdString();

    PageControl loaded;
    ASSERT_TRUE(loaded.loadDocument(path, &error)) << error.toStdString();
    const PageDocument& a = original.document();
    const PageDocument& b = loaded.document();
    EXPECT_EQ(a.pages, b.pages);
    EXPECT_EQ(a.fonts, b.fonts);
    ASSERT_EQ(a.images.size(), b.images.size());
    EXPECT_EQ(a.images[0].convertToFormat(QImage::Format_RGB32),
              b.images[0].convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(loaded.pageCount(), 3);
    EXPECT_EQ(loaded.previewPage(), 1);
    // Drawn alike.
    EXPECT_EQ(original.renderPage(2, 36), loaded.renderPage(2, 36));
}

// A hostile variant of a valid document's bytes.
struct Corruption {
    const char* name;
    std::function<QByteArray(QByteArray)> apply;
};

PageDocument smallDocument() {
    PageDocument doc;
    doc.fonts.push_back(FontSpec{QStringLiteral("ＭＳ 明朝"), 10.0});
    Page page;
    page.text = u"ab";
    page.charX = {100, 200};
    TextRun run;
    run.count = 2;
    page.items.push_back(run);
    page.tags.push_back(PageTag{QStringLiteral("%TOC|1|x"), 1, 2});
    doc.pages.push_back(page);
    return doc;
}

QByteArray encodedWith(const std::function<void(PageDocument&)>& change) {
    PageDocument doc = smallDocument();
    change(doc);
    return encodeVdf(doc);
}

void putU32(QByteArray& bytes, int at, quint32 value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

const Corruption kCorruptions[] = {
    {"empty", [](QByteArray) { return QByteArray(); }},
    {"wrongMagic", [](QByteArray b) { return b.replace(0, 3, "XYZ"); }},
    {"futureVersion", [](QByteArray b) { return putU32(b, 8, 2), b; }},
    {"hugeFontCount", [](QByteArray b) { return putU32(b, 12, 0xFFFFFFFFu), b; }},
    {"hugePageCount", [](QByteArray b) { return putU32(b, 20, 20000), b; }},
    // Once the header is known to be wrong, its counts allocate nothing.
    {"wrongMagicWithHugeCounts",
     [](QByteArray b) {
         b.replace(0, 3, "XYZ");
         for (int at : {12, 16, 20}) putU32(b, at, 0xFFFFFFFFu);
         return b;
     }},
    {"trailingBytes", [](QByteArray b) { return b + "x"; }},
    {"missingEndMark", [](QByteArray b) { return b.left(b.size() - 4) + "XEND"; }},
    {"fontIndexUnknown",
     [](QByteArray) {
         return encodedWith(
             [](PageDocument& d) { std::get<TextRun>(d.pages[0].items[0]).font = 3; });
     }},
    {"runBeyondText",
     [](QByteArray) {
         return encodedWith(
             [](PageDocument& d) { std::get<TextRun>(d.pages[0].items[0]).count = 9; });
     }},
    {"unknownPaper",
     [](QByteArray) {
         return encodedWith([](PageDocument& d) { d.pages[0].format.paperCode = 10; });
     }},
    {"paperSizeNotItsCode",
     [](QByteArray) { return encodedWith([](PageDocument& d) { d.pages[0].format.width = 1; }); }},
    {"coordinateOutOfRange",
     [](QByteArray) {
         return encodedWith([](PageDocument& d) { d.pages[0].charX[1] = 1 << 30; });
     }},
    {"penStyleOutOfRange",
     [](QByteArray) {
         return encodedWith([](PageDocument& d) {
             Shape shape;
             shape.penStyle = 9;
             d.pages[0].items.push_back(shape);
         });
     }},
    {"pictureWithoutImage",
     [](QByteArray) {
         return encodedWith([](PageDocument& d) { d.pages[0].items.push_back(Picture{}); });
     }},
    {"fontSizeZero",
     [](QByteArray) { return encodedWith([](PageDocument& d) { d.fonts[0].size = 0; }); }},
    // Impossible header counts (a billion pictures) must size nothing.
    {"impossibleHeaderCounts",
     [](QByteArray) { return QByteArray::fromBase64("TUJYVkRGDQoBAAAAAgBNAABCWFZERg0KAQE="); }},
};

void PrintTo(const Corruption& c, std::ostream* os) {
    *os << c.name;
}

class HostileVdf : public ::testing::TestWithParam<Corruption> {};

TEST_P(HostileVdf, isRefusedAndTheCurrentDocumentStays) {
    QTemporaryDir dir;
    const QByteArray valid = encodeVdf(smallDocument());
    PageDocument probe;
    QString error;
    ASSERT_TRUE(decodeVdf(valid, probe, &error)) << error.toStdString();

    const QString path = dir.filePath(QStringLiteral("bad.vdf"));
    ASSERT_TRUE(writeBytes(path, GetParam().apply(valid)));
    PageControl control;
    buildSampleDocument(control);
    const PageDocument before = control.document();
    EXPECT_FALSE(control.loadDocument(path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(control.document().pages, before.pages);
    EXPECT_EQ(control.pageCount(), 3);
}

INSTANTIATE_TEST_SUITE_P(Corruptions, HostileVdf, ::testing::ValuesIn(kCorruptions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VdfFormat, everyTruncationIsRefused) {
    PageControl control;
    buildSampleDocument(control);
    const QByteArray valid = encodeVdf(control.document());
    for (qsizetype n = 0; n < valid.size(); ++n) {
        PageDocument doc;
        QString error;
        ASSERT_FALSE(decodeVdf(valid.left(n), doc, &error)) << "length " << n;
        ASSERT_TRUE(doc.pages.empty());
    }
}

TEST(VdfFormat, aFileOfManyReadWindowsRoundTripsAndItsTruncationIsRefused) {
    QTemporaryDir dir;
    PageControl original;
    original.startDoc();
    for (int line = 0; line < 400; ++line) {  // 2.4 MB of text and positions
        original.setCurrentX(1440);
        original.setCurrentY(1440 + line * 30);
        original.printText(QString(1000, QLatin1Char('x')));
    }
    original.newPage();  // and a page without text: a read of no bytes
    original.endDoc();
    const QString path = dir.filePath(QStringLiteral("big.vdf"));
    QString error;
    ASSERT_TRUE(original.saveDocument(path, &error));
    PageControl loaded;
    ASSERT_TRUE(loaded.loadDocument(path, &error)) << error.toStdString();
    EXPECT_EQ(loaded.document().pages, original.document().pages);
    ASSERT_TRUE(writeBytes(path, encodeVdf(original.document()).chopped(5)));
    EXPECT_FALSE(loaded.loadDocument(path, &error));
}

TEST(VdfFormat, aMissingFileOrAFolderIsRefusedWithItsName) {
    QTemporaryDir dir;
    PageControl control;
    QString error;
    EXPECT_FALSE(control.loadDocument(dir.filePath(QStringLiteral("none.vdf")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("none.vdf")));
    EXPECT_FALSE(control.loadDocument(dir.path(), &error));
    EXPECT_FALSE(control.saveDocument(dir.path(), &error));
}

}  // namespace
}  // namespace preview
