// Placement of pages for every zoom mode.
#include "preview/PageLayout.h"

#include <gtest/gtest.h>

namespace preview {
namespace {

const QSize kA4(11906, 16838);
const QSize kA4Landscape(16838, 11906);

struct LayoutCase {
    const char* name;
    ZoomMode mode;
    double zoom;
    QSize viewport;
    int previewPage;
    std::vector<int> shownPages;
    int firstPageWidth;  // pixels
    double fittedZoom;   // per cent, +-0.1
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class PageLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PageLayoutTest, placesThePagesOfTheMode) {
    const LayoutCase& c = GetParam();
    PageLayoutInput input;
    input.mode = c.mode;
    input.zoom = c.zoom;
    input.viewport = c.viewport;
    input.pages = {kA4, kA4Landscape, kA4, kA4, kA4};
    input.previewPage = c.previewPage;
    const PageLayout layout = layoutPages(input);
    std::vector<int> shown;
    for (const PagePlacement& p : layout.placements) shown.push_back(p.page);
    EXPECT_EQ(shown, c.shownPages);
    ASSERT_FALSE(layout.placements.empty());
    EXPECT_EQ(layout.placements[0].rect.width(), c.firstPageWidth);
    EXPECT_NEAR(layout.fittedZoom, c.fittedZoom, 0.1);
    for (const PagePlacement& p : layout.placements) {
        EXPECT_TRUE(QRect(QPoint(0, 0), layout.content).contains(p.rect)) << p.page;
        if (c.mode != ZoomMode::Percentage && c.mode != ZoomMode::Thumbnail &&
            c.mode != ZoomMode::PageWidth) {
            EXPECT_TRUE(QRect(QPoint(0, 0), c.viewport).contains(p.rect)) << "fits the window";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PageLayoutTest,
    ::testing::Values(
        // A4 at 100 % on a 96-dpi screen is 794 pixels wide.
        LayoutCase{"percent100", ZoomMode::Percentage, 100, {1000, 800}, 1, {0}, 794, 100},
        LayoutCase{"percent25", ZoomMode::Percentage, 25, {1000, 800}, 3, {2}, 198, 25},
        LayoutCase{"pageWidth", ZoomMode::PageWidth, 100, {816, 600}, 1, {0}, 800, 100.8},
        LayoutCase{"wholePage", ZoomMode::WholePage, 100, {1000, 576}, 1, {0}, 396, 49.9},
        LayoutCase{"twoPagesPortraitThenLandscape",
                   ZoomMode::TwoPages,
                   100,
                   {1000, 800},
                   1,
                   {0, 1},
                   404,
                   50.9},
        LayoutCase{"twoPagesAtTheLastPageShowsOne",
                   ZoomMode::TwoPages,
                   100,
                   {1000, 800},
                   5,
                   {4},
                   554,
                   69.8},
        LayoutCase{"thumbnailsShowEveryPage",
                   ZoomMode::Thumbnail,
                   100,
                   {400, 300},
                   2,
                   {0, 1, 2, 3, 4},
                   85,
                   10.7}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageLayout, thumbnailsWrapIntoRowsThatFitTheWidth) {
    PageLayoutInput input;
    input.mode = ZoomMode::Thumbnail;
    input.viewport = QSize(400, 300);
    input.pages = std::vector<QSize>(7, kA4);
    const PageLayout layout = layoutPages(input);
    ASSERT_EQ(layout.placements.size(), 7u);
    EXPECT_EQ(layout.placements[3].rect.top(), layout.placements[0].rect.bottom() + 1 + kPageGap);
    EXPECT_LE(layout.content.width(), 400);
    EXPECT_GT(layout.content.height(), 300);  // scrolls
}

TEST(PageLayout, anEmptyDocumentPlacesNothing) {
    PageLayoutInput input;
    input.viewport = QSize(100, 100);
    EXPECT_TRUE(layoutPages(input).placements.empty());
}

}  // namespace
}  // namespace preview
