// The figure renderer on a fake control, over figure files written by the report's writers.
#include "preview/FigureRenderer.h"

#include <gtest/gtest.h>

#include <numbers>

#include "foundation/Cp932.h"
#include "tests/foundation/ScratchFolder.h"
#include "tests/preview/FakePreviewControl.h"

namespace preview {
namespace {

class FigureTest : public ::testing::Test {
  protected:
    FigureTest() : renderer(control, QString::fromStdString(dir.path()), files) {
        ScratchFolder::write(dir.file("LINE_PRN.DEF"),
                             cp932::fromUtf8("\"線種\"\r\n1, 0, 0, \"細\"\r\n2, 2, 0, \"0.2\"\r\n"
                                             "3, 3, 0, \"0.3\"\r\n4, 0, 2, \"破線\"\r\nEND\r\n"));
        ScratchFolder::write(
            dir.file("STR_PRN.DEF"),
            cp932::fromUtf8("\"文字\"\r\n1, 0, \"ＭＳ 明朝\", 200, 0, 0, 0, \"a\"\r\n"
                            "2, 0, \"ＭＳ ゴシック\", 160, 1, 0, 0, \"b\"\r\nEND\r\n"));
        control.setFont({QStringLiteral("Body"), 10.0});
        control.startDoc();
    }

    // Writes the figure as data file n and a list placing it with the given offsets.
    QString list(const FigureBuffer& figure, double dx = 0, double dy = 0, int entries = 1) {
        const std::string data = dir.file("fig.dat");
        const std::vector<TextStyleDef> styles = {{0, "a", 200, 0, 0, 0}, {0, "b", 160, 0, 0, 0}};
        WriteFigureDataFile(data, "t1", "t2", figure, styles);
        std::vector<FigureListEntry> list(static_cast<std::size_t>(entries));
        for (auto& e : list) e = {data, dx, dy};
        WriteFigureListFile(dir.file("fig.lst"), "t", 150, 130, list);
        files.clear();  // a new load
        return QString::fromStdString(dir.file("fig.lst"));
    }

    ScratchFolder dir;
    FakePreviewControl control;
    LoadCache files;
    FigureRenderer renderer;
};

TEST_F(FigureTest, PointsLandInThePaperAreaWithYUpward) {
    FigureBuffer f;
    const int a = f.addPoint(-5, -7);
    const int b = f.addPoint(145, 123);
    f.addLine(a, b, 3);
    const FigureDrawResult r = renderer.DrawFigure(10, 20, list(f, 5, 7));
    EXPECT_TRUE(r.listRead);
    EXPECT_EQ(r.paperHeightMm, 130);
    ASSERT_EQ(control.shapes.size(), 1u);
    const auto& s = control.shapes[0];
    EXPECT_EQ(s.x1, 567);  // the area's bottom-left corner
    EXPECT_EQ(s.y1, 8504);
    EXPECT_EQ(s.x2, MmToTwips(160));  // its top-right corner
    EXPECT_EQ(s.y2, MmToTwips(20));
    EXPECT_EQ(s.penWidth, MmToTwips(0.3));
}

TEST_F(FigureTest, PensAreSetOnlyWhenTheStyleChangesAndBrokenLinesAreThin) {
    FigureBuffer f;
    const int a = f.addPoint(0, 0), b = f.addPoint(10, 0);
    f.addLine(a, b, 2);
    f.addLine(a, b, 2);
    f.addLine(a, b, 4);
    renderer.DrawFigure(0, 0, list(f));
    EXPECT_EQ(control.penChanges, 6);  // row 1 at the start, row 2 once, row 4 once
    EXPECT_EQ(control.shapes[1].penWidth, MmToTwips(0.2));
    EXPECT_EQ(control.shapes[2].penWidth, 0);
    EXPECT_EQ(control.shapes[2].penStyle, 2);
}

TEST_F(FigureTest, VerticalTextsTurnAndTheFontComesBack) {
    FigureBuffer f;
    f.addPoint(0, 0);
    f.addText("縦", 2, 1, 10, 20);
    f.addText("横", 2, 3, 10, 20);
    renderer.DrawFigure(0, 0, list(f));
    ASSERT_EQ(control.texts.size(), 2u);
    const auto& vertical = control.texts[0];
    EXPECT_EQ(vertical.angle, 900);
    EXPECT_EQ(vertical.font.name, QStringLiteral("ＭＳ ゴシック"));
    EXPECT_TRUE(vertical.font.bold);
    EXPECT_EQ(vertical.x, MmToTwips(10) - 160);  // bottom-right corner at the anchor
    EXPECT_EQ(vertical.y, MmToTwips(130 - 20));
    EXPECT_EQ(control.texts[1].angle, 0);
    EXPECT_EQ(control.texts[1].y, MmToTwips(130 - 20) - 160);  // bottom-left corner at the anchor
    EXPECT_EQ(control.font().name, QStringLiteral("Body"));
    EXPECT_EQ(control.textAngle(), 0);
}

TEST_F(FigureTest, FinePitchCurvesAreNotCutAtAThousandPoints) {
    FigureBuffer f;
    for (int i = 0; i < 1200; ++i) f.addPoint(i * 0.1, 0);
    for (int i = 1; i < 1200; ++i) f.addLine(i, i + 1, 1);
    renderer.DrawFigure(0, 0, list(f));
    EXPECT_EQ(control.shapes.size(), 1199u);
    EXPECT_TRUE(renderer.lastFailure().isEmpty());
}

TEST_F(FigureTest, ArcsCirclesAndArrows) {
    FigureBuffer f;
    const int c = f.addPoint(50, 50);
    f.circles.push_back({c, 10, 1});
    f.arcs.push_back({50, 50, 10, std::numbers::pi / 2, 0, 1});
    f.arrows.push_back({c, 3, 1});
    renderer.DrawFigure(0, 0, list(f));
    ASSERT_EQ(control.shapes.size(), 1u + 100u + 2u);
    EXPECT_TRUE(control.shapes[0].ellipse);
    EXPECT_EQ(control.fillStyle, 1);
    // The arc runs from 90 to 180 degrees: from the top of the circle to its left.
    EXPECT_EQ(control.shapes[1].x1, MmToTwips(50));
    EXPECT_EQ(control.shapes[1].y1, MmToTwips(130 - 60));
    EXPECT_EQ(control.shapes[100].x2, MmToTwips(40));
    EXPECT_EQ(control.shapes[100].y2, MmToTwips(130 - 50));
    EXPECT_EQ(control.shapes[101].x2, MmToTwips(50 - 1.5));  // wing of a right-pointing head
}

TEST_F(FigureTest, ListOfTwentyFiveDrawsTwenty) {
    FigureBuffer f;
    const int a = f.addPoint(0, 0);
    f.addLine(a, a, 1);
    renderer.DrawFigure(0, 0, list(f, 0, 0, 25));
    EXPECT_EQ(control.shapes.size(), 20u);
}

TEST_F(FigureTest, FailuresEndTheListAndRestoreTheFont) {
    EXPECT_FALSE(renderer.DrawFigure(0, 0, QString::fromStdString(dir.file("none.lst"))).listRead);
    EXPECT_FALSE(renderer.lastFailure().isEmpty());

    // A text in a style row outside the table ends the figure after a vertical text.
    FigureBuffer f;
    f.addPoint(0, 0);
    f.addText("a", 1, 1, 0, 0);
    const QString path = list(f);
    std::string bytes = ScratchFolder::read(dir.file("fig.dat"));
    bytes.insert(bytes.rfind("END"), "b\r\n0.000000, 0.000000, 99, 3\r\n");
    ScratchFolder::write(dir.file("fig.dat"), bytes);
    const FigureDrawResult r = renderer.DrawFigure(0, 0, path);
    EXPECT_TRUE(r.listRead);
    EXPECT_EQ(control.texts.size(), 1u);
    EXPECT_EQ(control.textAngle(), 0);
    EXPECT_EQ(control.font().name, QStringLiteral("Body"));

    std::filesystem::remove(dir.file("STR_PRN.DEF"));
    EXPECT_TRUE(renderer.DrawFigure(0, 0, list(f)).listRead);  // the line still takes its height
    EXPECT_TRUE(renderer.lastFailure().contains(QStringLiteral("STR_PRN.DEF")));
}

}  // namespace
}  // namespace preview
