// The page model's control: events, recording, metrics, capacity and drawing into images.
#include "preview/PageControl.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <climits>
#include <cmath>

namespace preview {
namespace {

constexpr int kMm25 = 1417;  // the factory page margins, twips
constexpr int kMm15 = 850;   // the factory header and footer margins

// Records the events and, like the preview window, sets the page up in onNewPage.
class RecordingEvents : public PreviewControlEvents {
  public:
    explicit RecordingEvents(PageControl& control) : m_control(control) {}
    void onNewPage() override {
        log << QStringLiteral("new%1").arg(m_control.currentPage());
        m_control.setHeader(
            {QStringLiteral("L"), QString(), QStringLiteral("R%1").arg(m_control.currentPage())});
        m_control.setFooter(
            {QString(), QStringLiteral("- %1 -").arg(m_control.currentPage()), QString()});
        // Attempts to change the document from inside a handler are refused.
        if (!m_control.newPage()) refusedNewPage = true;
    }
    void onBeforeHeader() override {
        log << QStringLiteral("header");
        m_control.setHeaderFooterFont(FontSpec{QStringLiteral("ＭＳ 明朝"), 8.0});
    }
    void onBeforeFooter() override {
        log << QStringLiteral("footer");
        m_control.setHeaderFooterFont(FontSpec{QStringLiteral("Courier New"), 8.0});
    }
    void onEndDoc() override { log << QStringLiteral("end"); }
    void onZoomChanged() override { log << QStringLiteral("zoom"); }

    QStringList log;
    bool refusedNewPage = false;

  private:
    PageControl& m_control;
};

void setFactoryPage(PageControl& control) {
    control.setPaperSize(PaperA4);
    control.setOrientation(0);
    control.setMargins(kMm25, kMm25, kMm25, kMm25);
    control.setHeaderMargin(kMm15);
    control.setFooterMargin(kMm15);
    control.setFont(FontSpec{QStringLiteral("ＭＳ 明朝"), 10.0});
}

// Prints `lines` grid lines of `text`, one character at a time, from the top margin.
void printGridLines(PageControl& control, int lines, const QString& text) {
    const TextExtent wide = control.measureText(QStringLiteral("あ"));
    for (int line = 0; line < lines; ++line) {
        int x = control.marginLeft();
        for (QChar ch : text) {
            control.setCurrentX(x);
            control.setCurrentY(control.marginTop() + line * wide.height);
            control.printText(QString(ch));
            x += ch.unicode() < 0x80 ? wide.width / 2 : wide.width;
        }
    }
}

TEST(PageControl, raisesThePageEventsInOrder) {
    PageControl control;
    RecordingEvents events(control);
    control.setEvents(&events);
    setFactoryPage(control);
    ASSERT_TRUE(control.startDoc());
    control.printText(QStringLiteral("page one"));
    ASSERT_TRUE(control.newPage());
    control.endDoc();
    control.endDoc();  // a second end finds no open document
    EXPECT_EQ(events.log,
              (QStringList{"new1", "header", "footer", "new2", "header", "footer", "end"}));
    EXPECT_TRUE(events.refusedNewPage);
    EXPECT_EQ(control.pageCount(), 2);
    EXPECT_EQ(control.previewPage(), 1);
    EXPECT_FALSE(control.newPage());
}

TEST(PageControl, measuresFullWidthAsOneEmAndHeightAsTwentyTwipsAPoint) {
    PageControl control;
    control.setFont(FontSpec{QStringLiteral("ＭＳ 明朝"), 10.0});
    EXPECT_EQ(control.measureText(QStringLiteral("あ")).width, 200);
    EXPECT_EQ(control.measureText(QStringLiteral("あ")).height, 200);
    EXPECT_EQ(control.measureText(QStringLiteral("A")).width, 100);
    EXPECT_EQ(control.measureText(QStringLiteral("ｱｲ")).width, 200);
    control.setFontSize(8.0);
    EXPECT_EQ(control.measureText(QStringLiteral("漢字")).width, 320);
    EXPECT_EQ(control.measureText(QStringLiteral("漢字")).height, 160);
    control.setFont(FontSpec{QStringLiteral("Courier New"), 10.0});
    EXPECT_EQ(control.measureText(QStringLiteral("0")).width, 120);
}

TEST(PageControl, keepsTheFontSizeInHundredthsAndRefusesImpossibleSizes) {
    PageControl control;
    control.setFontSize(6.0000001);
    EXPECT_EQ(std::lround(control.font().size * 100), 600);
    control.setFontSize(4.8);
    EXPECT_EQ(std::lround(control.font().size * 100), 480);
    control.setFontSize(0);
    control.setFontSize(std::nan(""));
    control.setFontSize(1e9);
    EXPECT_EQ(std::lround(control.font().size * 100), 480);
}

TEST(PageControl, sixtyTwoLinesOfBodyTextFitAnA4PageWithTheFactoryMargins) {
    PageControl control;
    setFactoryPage(control);
    const int pitch = control.measureText(QStringLiteral("あ")).height;
    const int usable = pageFormatFor(PaperA4, 0).height - 2 * kMm25;
    EXPECT_LE(62 * pitch, usable);
}

TEST(PageControl, coalescesCharactersOfOneLineIntoOneRun) {
    PageControl control;
    setFactoryPage(control);
    control.startDoc();
    printGridLines(control, 3, QStringLiteral("荷重 Load 表"));
    control.setFontBold(true);
    control.printText(QStringLiteral("x"));  // another font: a run of its own
    control.endDoc();
    const Page& page = control.document().pages.at(0);
    ASSERT_EQ(page.items.size(), 4u);
    const auto& run = std::get<TextRun>(page.items[0]);
    EXPECT_EQ(run.count, 9u);
    EXPECT_EQ(page.charX[run.first + 1], kMm25 + 200);
    EXPECT_EQ(page.charX[run.first + 3], kMm25 + 500);
    EXPECT_EQ(run.endX, kMm25 + 1200);
}

TEST(PageControl, printsAGridTextAsOneRunAtItsOwnAdvances) {
    PageControl control;
    setFactoryPage(control);
    control.startDoc();
    control.setCurrentX(2000);
    control.setCurrentY(3000);
    const int advances[] = {200, 100, 400};
    control.printTextOnGrid(QStringLiteral("あAえB"), advances);  // "B" has no advance
    EXPECT_EQ(control.currentX(), 2700);
    control.printTextOnGrid(QStringLiteral("C"), std::span<const int>(advances, 1));
    control.endDoc();
    const Page& page = control.document().pages.at(0);
    ASSERT_EQ(page.items.size(), 1u);
    const auto& run = std::get<TextRun>(page.items[0]);
    EXPECT_EQ(page.text.substr(run.first, run.count), u"あAえC");
    EXPECT_EQ(std::vector<int>(page.charX.begin() + run.first, page.charX.begin() + run.first + 4),
              (std::vector<int>{2000, 2200, 2300, 2700}));
    EXPECT_EQ(run.endX, 2900);
    EXPECT_EQ(control.paperSizeTwips(), QSize(11906, 16838));
}

TEST(PageControl, doesNotRecordItemsWhollyOutsideThePaper) {
    PageControl control;
    setFactoryPage(control);
    control.startDoc();
    control.setCurrentX(-5000);
    control.printText(QStringLiteral("abc"));
    control.setCurrentX(20000);
    control.printText(QStringLiteral("abc"));
    control.drawLine(-100, -100, -50, -50);
    control.drawEllipse(20000, 20000, 21000, 21000);
    control.drawLine(-100, 100, 100, 100);  // crosses the edge: kept
    control.setCurrentX(INT_MAX);
    EXPECT_EQ(control.currentX(), PageModelLimits::maxCoordinate);
    control.endDoc();
    EXPECT_EQ(control.document().pages.at(0).items.size(), 1u);
}

TEST(PageControl, stopsRecordingCleanlyAtItsCapacity) {
    PageControl control;
    setFactoryPage(control);
    control.startDoc();
    for (std::size_t i = 0; i <= PageModelLimits::maxPages && !control.capacityExceeded(); ++i) {
        control.newPage();
    }
    EXPECT_TRUE(control.capacityExceeded());
    EXPECT_EQ(control.pageCount(), int(PageModelLimits::maxPages));
    EXPECT_FALSE(control.newPage());
    control.endDoc();
    control.reset();
    EXPECT_FALSE(control.capacityExceeded());
    EXPECT_EQ(control.pageCount(), 0);
}

TEST(PageControl, keepsHeaderPartsApartAndPlacesThemBetweenTheMargins) {
    PageControl control;
    setFactoryPage(control);
    control.setHeaderFooterFont(FontSpec{QStringLiteral("ＭＳ 明朝"), 8.0});
    control.setHeader({QStringLiteral("a|b"), QString(), QStringLiteral("xy")});
    control.setFooter({QString(), QStringLiteral("- 1 -"), QString()});
    control.startDoc();
    control.endDoc();
    const Page& page = control.document().pages.at(0);
    ASSERT_EQ(page.items.size(), 3u);
    const auto& left = std::get<TextRun>(page.items[0]);
    const auto& right = std::get<TextRun>(page.items[1]);
    const auto& footer = std::get<TextRun>(page.items[2]);
    EXPECT_EQ(page.text.substr(left.first, left.count), u"a|b");
    EXPECT_EQ(left.x, kMm25);
    EXPECT_EQ(left.y, kMm15);
    EXPECT_EQ(right.endX, page.format.width - kMm25);
    EXPECT_EQ(footer.y + 160, page.format.height - kMm15);
    EXPECT_NEAR((footer.x + footer.endX) / 2.0, page.format.width / 2.0, 1.0);
}

TEST(PageControl, clampsZoomToItsLimitsAndReportsChanges) {
    PageControl control;
    RecordingEvents events(control);
    control.setEvents(&events);
    control.setZoomLimits(25, 150);
    control.setZoomStep(25);
    control.setZoom(150 + control.zoomStep());
    EXPECT_EQ(control.zoom(), 150);
    control.setZoom(150);  // unchanged: no event
    control.setZoom(10);
    EXPECT_EQ(control.zoom(), 25);
    control.setZoomMode(ZoomMode::WholePage);
    control.setFittedZoom(61.5);
    EXPECT_EQ(control.zoomMode(), ZoomMode::WholePage);
    EXPECT_EQ(events.log, (QStringList{"zoom", "zoom", "zoom"}));
}

TEST(PageControl, keepsThePreviewPageWithinTheDocument) {
    PageControl control;
    control.setPreviewPage(3);
    EXPECT_EQ(control.previewPage(), 0);
    control.startDoc();
    control.newPage();
    control.newPage();
    control.endDoc();
    control.setPreviewPage(0);
    EXPECT_EQ(control.previewPage(), 1);
    control.setPreviewPage(99);
    EXPECT_EQ(control.previewPage(), 3);
    EXPECT_EQ(control.currentPage(), 3);
}

// Counts the dark pixels of an image inside and outside a rectangle.
struct Ink {
    int inside = 0;
    int outside = 0;
};
Ink inkAround(const QImage& image, const QRect& box) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) >= 128) continue;
            (box.contains(x, y) ? ink.inside : ink.outside)++;
        }
    }
    return ink;
}

TEST(PageControl, drawsAPageWithInkOnlyInsideTheMargins) {
    PageControl control;
    setFactoryPage(control);
    control.startDoc();
    printGridLines(control, 62, QStringLiteral("本文テキスト Body text 0123456789 本文テキスト"));
    control.setPenWidth(10);
    control.drawLine(kMm25, kMm25 + 62 * 200, 11906 - kMm25, kMm25 + 62 * 200);
    control.setFillStyle(1);
    control.drawEllipse(3000, 3000, 6000, 5000);
    control.endDoc();
    const QImage image = control.renderPage(1, 72);
    ASSERT_EQ(image.size(), QSize(595, 842));
    // 25 mm is 70.9 points; the text's own box may touch the line below by a point.
    const QRect margins(QPoint(70, 70), QPoint(595 - 70, 842 - 70));
    const Ink ink = inkAround(image, margins);
    EXPECT_GT(ink.inside, 2000);
    EXPECT_EQ(ink.outside, 0);
    EXPECT_TRUE(control.renderPage(2, 72).isNull());
}

TEST(PageControl, drawsTurnedTextAboutItsTopLeftCorner) {
    PageControl control;
    setFactoryPage(control);
    control.startDoc();
    control.setTextAngle(900);
    control.setCurrentX(5760);
    control.setCurrentY(5760);
    control.printText(QStringLiteral("縦書き文字"));
    control.endDoc();
    const QImage image = control.renderPage(1, 72);
    // A quarter turn counter-clockwise: the text runs upward from (288, 288) points, its box
    // to the right of x = 288.
    const Ink ink = inkAround(image, QRect(QPoint(286, 288 - 52), QPoint(300, 290)));
    EXPECT_GT(ink.inside, 50);
    EXPECT_EQ(ink.outside, 0);
}

}  // namespace
}  // namespace preview
