// What hostile documents cost, counted in work (decodes, reads, fonts, bytes held) rather
// than time: each pattern of a small file that once held Preview for minutes, scaled down.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "formats/WorkBudget.h"
#include "foundation/Cp932.h"
#include "preview/PageControl.h"
#include "preview/PageRenderer.h"
#include "preview/PreviewDocument.h"
#include "preview/PreviewTexts.h"
#include "preview/StartUp.h"
#include "preview/VdfFormat.h"
#include "tests/foundation/ScratchFolder.h"

namespace preview {
namespace {

class CostBudget : public ::testing::Test {
  protected:
    static DocumentContext contextIn(const ScratchFolder& dir) {
        CreateDefaultIniFile(dir.file("Preview.ini"));
        DocumentContext context;
        context.iniPath = dir.file("Preview.ini");
        context.programFolder = QString::fromStdString(dir.path());
        context.printFileFolder = QString::fromStdString(dir.path());
        ScratchFolder::write(dir.file("LINE_PRN.DEF"), "\"L\"\r\n1, 0, 0, \"a\"\r\nEND\r\n");
        ScratchFolder::write(
            dir.file("STR_PRN.DEF"),
            cp932::fromUtf8("\"S\"\r\n1, 0, \"ＭＳ 明朝\", 200, 0, 0, 0, \"a\"\r\nEND\r\n"));
        return context;
    }
    LoadOutcome load(const std::string& name, const std::string& bytes) {
        ScratchFolder::write(dir.file(name), bytes);
        return document.LoadDocument(QString::fromStdString(dir.file(name)));
    }
    static std::string repeat(const std::string& text, int times) {
        std::string out;
        for (int i = 0; i < times; ++i) out += text;
        return out;
    }
    // A PNG of one pixel whose header claims width x height (with the header's CRC-32).
    static std::string pngClaiming(quint32 width, quint32 height) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(1, 1, QImage::Format_Grayscale8).save(&buffer, "PNG");
        quint32 crc = ~0u;
        for (int i = 0; i < 8; ++i)
            png[16 + i] = char((i < 4 ? width : height) >> (24 - i % 4 * 8));
        for (int i = 12; i < 29; ++i) {
            crc ^= quint8(png[i]);
            for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
        for (int i = 0; i < 4; ++i) png[29 + i] = char(~crc >> (24 - 8 * i));
        return png.toStdString();
    }

    ScratchFolder dir;
    PageControl control;
    PreviewDocument document{control, contextIn(dir)};
};

TEST_F(CostBudget, sizeAndStyleChangesKeepABoundedFontCacheAndStopWhenTheModelIsFull) {
    std::string rtf = "{\\rtf1{\\fonttbl{\\f0 MS Mincho;}{\\f1 Arial;}}";
    for (const char* style : {"", "\\b", "\\i", "\\b\\i"}) {
        for (int n = 1; n <= 1100; ++n) {
            rtf += "{\\f" + std::to_string(n % 2) + "\\fs" + std::to_string(n) + style + " a}";
        }
    }
    const LoadOutcome outcome = load("sizes.rtf", rtf + "}");
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.truncatedAtPage, control.pageCount());  // 4,400 fonts, 4,096 held
    EXPECT_LE(control.fonts().size(), FontFactory::kCapacity);
    EXPECT_LE(control.fonts().made(), PageModelLimits::maxFonts + 16);
}

TEST_F(CostBudget, aPictureNamedOnEveryPageIsDecodedOnce) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.file("pic.png"))));
    const LoadOutcome outcome =
        load("bm.prn", repeat("?BM;010;010;050;050;" + dir.file("pic.png") + "\r\n\f", 300));
    EXPECT_EQ(outcome.truncatedAtPage, 0);
    EXPECT_EQ(control.pageCount(), 301);
    EXPECT_EQ(document.loadCache().pictureDecodes(), 1u);
    EXPECT_EQ(control.document().images.size(), 1u);
}

TEST_F(CostBudget, picturesBeyondThePixelBudgetAreRefusedFromTheirHeader) {
    ScratchFolder::write(dir.file("wide.png"), pngClaiming(30000, 10));    // a side too long
    ScratchFolder::write(dir.file("big.png"), pngClaiming(12000, 12000));  // 144 M pixels
    const LoadOutcome outcome = load("bm.prn", "?BM;010;010;050;050;" + dir.file("wide.png") +
                                                   "\r\ntext\r\n\f?BM;010;010;050;050;" +
                                                   dir.file("big.png") + "\r\nnever laid out\r\n");
    EXPECT_EQ(outcome.truncatedAtPage, 2);
    EXPECT_TRUE(document.loadCache().budgetExceeded());
    EXPECT_EQ(document.loadCache().pictureDecodes(), 0u);
    EXPECT_TRUE(control.document().pages[0].text.starts_with(u"text"));
    EXPECT_EQ(control.document().pages[1].text.find(u"never"), std::u16string::npos);
}

TEST_F(CostBudget, aFigureListNamedOnEveryLineIsReadOnceWithItsDataAndDefinitions) {
    ScratchFolder::write(dir.file("fig.dat"),
                         cp932::fromUtf8("t\r\nt\r\n0, 0, 0, 0, 1, 1\r\n座標情報\r\n1, 0, 0\r\n"
                                         "2, 5, 5\r\nEND\r\n線分情報\r\n1, 1, 2, 1\r\nEND\r\n"));
    ScratchFolder::write(dir.file("fig.lst"),
                         "t\r\n 150           130\r\n" +
                             repeat(dir.file("fig.dat") + "\r\n 0             0\r\n", 20) +
                             "END\r\n");
    const LoadOutcome outcome =
        load("fg.prn", repeat("?FG;010;010;" + dir.file("fig.lst") + "\r\n", 100));
    EXPECT_EQ(outcome.truncatedAtPage, 0);
    EXPECT_EQ(document.loadCache().figureFileReads(), 4u);  // list, data, two definitions
    const auto& items = control.document().pages[0].items;
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](auto& i) { return i.index() == 1; }),
              100 * 20);  // shapes
}

TEST_F(CostBudget, aLongLineHoldsOnlyTheTextOnThePaper) {
    const LoadOutcome outcome = load("line.prn", repeat(cp932::fromUtf8("あいうABC "), 100000));
    EXPECT_EQ(outcome.truncatedAtPage, 0);
    const Page& page = control.document().pages[0];
    EXPECT_LE(page.text.size(), 2u * 4096u);  // of 700,000 characters
    EXPECT_TRUE(page.text.starts_with(u"あいうABC "));
}

TEST_F(CostBudget, moreFormFeedsThanPagesCutTheDocumentAndSaySo) {
    const LoadOutcome outcome = load(
        "ff.prn", "first\r\n" + std::string(PageModelLimits::maxPages + 50, '\f') + "lost\r\n");
    EXPECT_EQ(outcome.truncatedAtPage, int(PageModelLimits::maxPages));
    EXPECT_EQ(control.pageCount(), int(PageModelLimits::maxPages));
}

TEST_F(CostBudget, aHugeFileThatIsNoVdfIsRefusedBeforeItIsRead) {
    const std::string path = dir.file("huge.vdf");
    ScratchFolder::write(path, "");
    std::filesystem::resize_file(path, std::uintmax_t(1) << 30);  // sparse: a GiB of zeros
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    EXPECT_FALSE(document.LoadDocument(QString::fromStdString(path)).ok);
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024);  // kilobytes
}

// A JPEG placed small is scaled by its decoder: 1600 x 1200 in 20 x 15 mm decodes at 2/8
// (400 x 300) and is kept at 300 dpi of the box; the budget is charged for those two only.
TEST_F(CostBudget, aJpegPlacedSmallIsDecodedSmall) {
    QImage photo(1600, 1200, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    const QString path = QString::fromStdString(dir.file("photo.jpg"));
    ASSERT_TRUE(photo.save(path, "JPEG"));
    WorkBudget budget;
    LoadCache cache;
    cache.clear(&budget);
    const QImage small = cache.picture(path, QSizeF(20, 15));
    EXPECT_EQ(small.size(), QSize(237, 178));
    EXPECT_EQ(budget.count(Work::PictureByte), 400u * 300 * 4 + 237u * 178 * 4);
    // Placed at its own size, or in a box larger than 300 dpi asks for, it stays whole.
    EXPECT_EQ(LoadCache::decodedSize(QSize(1600, 1200), QSizeF()), QSize(1600, 1200));
    EXPECT_EQ(LoadCache::decodedSize(QSize(1600, 1200), QSizeF(200, 150)), QSize(1600, 1200));
    EXPECT_EQ(LoadCache::decodedSize(QSize(4000, 3000), QSizeF(150, 110)), QSize(1772, 1329));
}

// What a load charges for the work it really does, pattern by pattern: each case writes its
// files and returns the print file; the load must charge `kind` exactly `charged` times (or
// at most, when `atMost`).
TEST_F(CostBudget, aLoadChargesWhatItsInputReallyCosts) {
    const auto savePicture = [](const std::string& path, QImage::Format format, bool progressive,
                                QSize size = {64, 48}) {
        QImage picture(size, format);
        picture.fill(Qt::darkCyan);
        QImageWriter writer(QString::fromStdString(path));
        writer.setProgressiveScanWrite(progressive);
        ASSERT_TRUE(writer.write(picture)) << path;
    };
    struct Case {
        const char* name;
        std::function<std::string(const ScratchFolder&)> make;
        Work kind;
        std::uint64_t charged;
        bool atMost = false;
    };
    const Case cases[] = {
        {"16-bit RGBA pictures: bytes, not pixels",
         [&](const ScratchFolder& d) {
             std::string prn;
             for (const char* name : {"a.png", "b.png"}) {
                 savePicture(d.file(name), QImage::Format_RGBA64, false);
                 prn += "?BM;010;010;050;050;" + d.file(name) + "\r\n";
             }
             return prn;
         },
         Work::PictureByte, 2 * 64 * 48 * 8},
        {"one picture under three spellings is decoded once",
         [&](const ScratchFolder& d) {
             savePicture(d.file("p.png"), QImage::Format_Grayscale8, false, {2900, 2900});
             std::filesystem::create_symlink(d.file("p.png"), d.file("link.png"));
             std::string prn;
             for (const char* name : {"p.png", "./p.png", "link.png"})
                 prn += "?BM;010;010;050;050;" + d.file(name) + "\r\n";
             return prn;
         },
         // The whole grey picture while it decodes, then 591 x 591 kept for 50 x 50 mm.
         Work::PictureByte, 2900 * 2900 + 591 * 591 * 4},
        {"a progressive JPEG holds its coefficients while it decodes",
         [&](const ScratchFolder& d) {
             savePicture(d.file("p.jpg"), QImage::Format_RGB32, true);
             return "?BM;010;010;050;050;" + d.file("p.jpg") + "\r\n";
         },
         Work::PictureByte, 64 * 48 * (4 + 3 * 2)},
        {"long figure texts record only what the paper can show",
         [&](const ScratchFolder& d) {
             std::string data =
                 "t\r\nt\r\n0, 0, 0, 0, 1, 1\r\n座標情報\r\n1, 0, 0\r\nEND\r\n文字情報\r\n";
             for (int k = 0; k < 100; ++k)
                 data += repeat("あ", 1500) + "\r\n" + std::to_string(k) + ", 0, 1, 3\r\n";
             ScratchFolder::write(d.file("t.dat"), cp932::fromUtf8(data + "END\r\n"));
             ScratchFolder::write(d.file("t.lst"), "t\r\n 150           130\r\n" + d.file("t.dat") +
                                                       "\r\n 0             0\r\nEND\r\n");
             return "?FG;010;010;" + d.file("t.lst") + "\r\n";
         },
         Work::Glyph, 100 * 1500 * 3 + 100 * 200, true},  // converted, then at most 200 kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScratchFolder files;
        const LoadOutcome outcome = load("case.prn", c.make(files));
        EXPECT_TRUE(outcome.ok);
        EXPECT_EQ(outcome.truncatedAtPage, 0);
        EXPECT_EQ(control.document().images.size(),
                  c.kind == Work::PictureByte ? document.loadCache().pictureDecodes() : 0u);
        const std::uint64_t charged = document.loadBudget().count(c.kind);
        if (c.atMost) {
            EXPECT_LE(charged, c.charged);
        } else {
            EXPECT_EQ(charged, c.charged);
        }
    }
    // The last case's characters beyond the paper are not held.
    EXPECT_LE(control.document().pages[0].text.size(), 100u * 200u);
}

// A saved document beyond its budget: a picture the budget cannot take stays null, reading
// stops at the item where the budget runs out, and the document read so far saves and reads
// back whole.
TEST_F(CostBudget, aSavedDocumentBeyondItsBudgetKeepsWhatWasReadAndSavesAgain) {
    PageDocument saved;
    saved.fonts.push_back(FontSpec{QStringLiteral("ＭＳ 明朝"), 10.0});
    saved.images.push_back(QImage(200, 100, QImage::Format_RGBA64));
    saved.images.back().fill(Qt::red);
    for (int p = 0; p < 3; ++p) {
        Page page;
        for (int i = 0; i < 100; ++i)
            page.items.push_back(Shape{ShapeKind::Line, 0, 1, 0, 0, i, 9, i});
        page.items.push_back(Picture{0, 0, 500, 500, 0});
        saved.pages.push_back(page);
    }
    // Room for the file, two pages and 150 items, not for 160 KB of picture.
    const QByteArray file = encodeVdf(saved);
    WorkBudget budget(2 * std::uint64_t(file.size()) + 2 * kWorkWeights[std::size_t(Work::Page)] +
                      150 * kWorkWeights[std::size_t(Work::Item)]);
    PageDocument read;
    QString error;
    ASSERT_TRUE(decodeVdf(file, read, &error, &budget)) << error.toStdString();
    EXPECT_TRUE(budget.spent());
    EXPECT_EQ(budget.count(Work::PictureByte), 0u);
    ASSERT_EQ(read.images.size(), 1u);
    EXPECT_TRUE(read.images[0].isNull());
    ASSERT_EQ(read.pages.size(), 2u);
    EXPECT_EQ(read.pages[0].items.size(), 101u);
    EXPECT_LT(read.pages[1].items.size(), 101u);
    PageDocument again;
    ASSERT_TRUE(decodeVdf(encodeVdf(read), again, &error)) << error.toStdString();
    EXPECT_EQ(again.pages, read.pages);

    // A file whose picture claims more pixels than a document holds: passed over unread.
    again.fonts.clear();  // its picture begins at byte 24
    const QByteArray small = encodeVdf(again);
    const auto n = quint32(quint8(small[24])) | quint32(quint8(small[25])) << 8 |
                   quint32(quint8(small[26])) << 16 | quint32(quint8(small[27])) << 24;
    const std::string claim = pngClaiming(12000, 12000);
    const quint32 size = quint32(claim.size());
    ScratchFolder::write(dir.file("capped.vdf"),
                         small.left(24).toStdString() +
                             std::string(reinterpret_cast<const char*>(&size), 4) + claim +
                             small.mid(28 + qsizetype(n)).toStdString());
    WorkBudget fresh;
    ASSERT_TRUE(readVdfFile(QString::fromStdString(dir.file("capped.vdf")), read, &error, &fresh))
        << error.toStdString();
    EXPECT_TRUE(read.images[0].isNull());
    EXPECT_TRUE(fresh.spent());
    EXPECT_EQ(read.pages, again.pages);
}

// Drawing a page costs what can be seen on it: hostile pages drawn at 96 dpi stay within a
// ceiling of counted work, and a page that would pass its budget is drawn up to it and marked.
constexpr std::int32_t kFar = PageModelLimits::maxCoordinate;

void addShapes(Page& page, int count, ShapeKind kind, std::uint8_t penStyle, std::int32_t penWidth,
               QRect box) {
    for (int i = 0; i < count; ++i) {
        page.items.push_back(
            Shape{kind, penStyle, 1, penWidth, box.left(), box.top(), box.right(), box.bottom()});
    }
}

// `count` runs of `length` characters of one font at (x, y), each character `pitch` on.
void addRuns(Page& page, int count, int length, std::int32_t pitch, char16_t first = u'あ') {
    for (int r = 0; r < count; ++r) {
        const auto at = std::uint32_t(page.text.size());
        for (int i = 0; i < length; ++i) {
            page.text.push_back(char16_t(first + i % 2000));
            page.charX.push_back(1440 + i * pitch);
        }
        page.items.push_back(
            TextRun{1440, 1440 + r * 200, 1440 + length * pitch, at, std::uint32_t(length), 0, 0});
    }
}

struct DrawCase {
    const char* name;
    double fontSize;
    std::function<void(Page&)> build;
    bool whole;
    Work kind;
    std::uint64_t ceiling;  // counts of `kind`
};

class DrawCost : public ::testing::TestWithParam<DrawCase> {};

TEST_P(DrawCost, aPageCostsWhatCanBeSeenOnIt) {
    const DrawCase& c = GetParam();
    PageDocument document;
    document.fonts.push_back(FontSpec{QStringLiteral("ＭＳ 明朝"), c.fontSize});
    document.pages.emplace_back();
    c.build(document.pages[0]);
    PageControl control;
    QImage image(794, 1123, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    WorkBudget budget(WorkBudget::kPageDraw);
    EXPECT_EQ(drawPage(painter, document, 0, control.fonts(), twipsToDevice(96, 96), QRectF(), 255,
                       &budget),
              c.whole);
    painter.end();
    EXPECT_LE(budget.count(c.kind), c.ceiling);
    EXPECT_LE(budget.used(), WorkBudget::kPageDraw);
    // The note of a page cut short sits in its top-left corner; whole pages have none there.
    EXPECT_EQ(image.pixelColor(14, 14) != Qt::white, !c.whole);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, DrawCost,
    ::testing::Values(
        // Distinct glyphs of the largest font at one spot: drawn until the page's budget.
        DrawCase{"giantGlyphsAtOneSpot", 1638, [](Page& p) { addRuns(p, 1, 300, 0, u'\u4E00'); },
                 false, Work::Glyph, 60},
        // Widest dashed pen round the coordinate limit: no part of it reaches the paper.
        DrawCase{"dashedEllipsesAroundThePaper", 10,
                 [](Page& p) {
                     addShapes(p, 100, ShapeKind::Ellipse, 1, 14400,
                               QRect(QPoint(-kFar, -kFar), QPoint(kFar, kFar)));
                 },
                 true, Work::PathSegment, 0},
        // ... and one whose edge crosses the paper: only that arc is stroked.
        DrawCase{"dashedEllipsesThroughThePaper", 10,
                 [](Page& p) {
                     addShapes(p, 100, ShapeKind::Ellipse, 1, 14400,
                               QRect(QPoint(-kFar, -kFar / 2), QPoint(6000, kFar / 2)));
                 },
                 true, Work::PathSegment, 100 * 20},
        DrawCase{"thinDashedLineAcrossTheCoordinateRange", 10,
                 [](Page& p) {
                     addShapes(p, 10, ShapeKind::Line, 3, 0, QRect(-kFar, 8000, 2 * kFar, 1));
                 },
                 true, Work::PathSegment, 10 * 200},
        // Texts far longer than the paper is wide: the glyphs beyond it are not drawn.
        DrawCase{"longTextsRunningOffThePaper", 10, [](Page& p) { addRuns(p, 100, 1500, 200); },
                 true, Work::Glyph, 100 * 60}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CostBudget, anEllipseFarLargerThanThePaperIsDrawnWhereItCrossesIt) {
    PageDocument document;
    document.pages.emplace_back();
    addShapes(document.pages[0], 1, ShapeKind::Ellipse, 0, 300,
              QRect(QPoint(-kFar, -kFar / 2), QPoint(6000, kFar / 2)));
    QImage image(794, 1123, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    EXPECT_TRUE(drawPage(painter, document, 0, control.fonts(), twipsToDevice(96, 96)));
    painter.end();
    for (int y : {10, 561, 1110}) {  // its right edge, x = 6000 twips (400 px), 20 px wide
        EXPECT_EQ(image.pixelColor(399, y), Qt::black) << y;
        EXPECT_EQ(image.pixelColor(385, y), Qt::white) << y;
        EXPECT_EQ(image.pixelColor(415, y), Qt::white) << y;
    }
}

TEST_F(CostBudget, aPdfExportPastItsBudgetStopsAndLeavesTheOldFile) {
    PageDocument heavy;
    for (int p = 0; p < 8; ++p) {  // each page its whole share: wide strokes across it
        heavy.pages.emplace_back();
        addShapes(heavy.pages.back(), 500, ShapeKind::Line, 0, 14400, QRect(0, 8000, 11906, 1));
    }
    ScratchFolder::write(dir.file("heavy.vdf"), encodeVdf(heavy).toStdString());
    ASSERT_TRUE(document.LoadDocument(QString::fromStdString(dir.file("heavy.vdf"))).ok);
    const QString pdf = QString::fromStdString(dir.file("old.pdf"));
    ScratchFolder::write(dir.file("old.pdf"), "the old file");
    QString error;
    EXPECT_FALSE(control.exportPdf(pdf, PdfOptions(), &error));
    EXPECT_EQ(error, QString::fromUtf8(texts::PdfExportTooLarge).arg(6));
    EXPECT_EQ(ScratchFolder::read(dir.file("old.pdf")), "the old file");
}

}  // namespace
}  // namespace preview
