#include "pagesetup/WordFigure.h"

#include <gtest/gtest.h>

#include "WordFixtures.h"

using namespace word;

namespace {

// Pixels of 300 dpi per pixel of 96 dpi: the case tables give areas at 96 dpi.
constexpr double kScale = 300.0 / 96;

QRect At300Dpi(const QRect& r) {
    return QRect(QPoint(int(r.left() * kScale), int(r.top() * kScale)),
                 QPoint(int((r.right() + 1) * kScale) - 1, int((r.bottom() + 1) * kScale) - 1));
}

int BlackPixels(const QImage& image, QRect area = {}) {
    if (area.isNull()) area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) ++count;
    return count;
}

TEST(WordFigure, MatchesTheGoldenImage) {
    ScratchFolder folder;
    const std::string list = WriteFigureFixture(folder);
    const FigureBitmap figure =
        DrawFigureBitmap(QString::fromStdString(list), QString::fromStdString(folder.file("app")));
    EXPECT_TRUE(figure.fault.isEmpty()) << figure.fault.toStdString();
    ASSERT_EQ(figure.image.size(), QSize(1772, 1535));
    EXPECT_NEAR(figure.points.width(), 150 / 25.4 * 72, 1e-9);  // placed at the paper's size
    const QString golden = QStringLiteral(MIBROX_TEST_DATA_DIR "/golden/figure.png");
    if (qEnvironmentVariableIsSet("MIBROX_UPDATE_GOLDEN")) figure.image.save(golden);
    QImage expected(golden);
    ASSERT_EQ(expected.size(), figure.image.size());
    expected = expected.convertToFormat(figure.image.format());
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            if (expected.pixel(x, y) != figure.image.pixel(x, y)) ++differing;
    // Lines must match; the texts may differ a little with the fonts of the machine.
    EXPECT_LT(differing, 6000);
    EXPECT_GT(BlackPixels(figure.image), 5000);
}

TEST(WordFigure, CurveOf9999RowsIsDrawnToItsLastPoint) {
    ScratchFolder folder;
    WriteFigureFixture(folder);
    // A section table of 9,999 rows: a curve from (1, 19) down to (19, 1) mm.
    std::string data = "t1\nt2\n0, 0, 0, 0, 0, 0\n座標情報\n", lines = "線分情報\n";
    for (int i = 1; i <= 9999; ++i) {
        const double s = (i - 1) / 9998.0;
        data += std::to_string(i) + ", " + std::to_string(1 + 18 * s) + ", " +
                std::to_string(19 - 18 * s) + "\n";
        if (i > 1)
            lines += std::to_string(i - 1) + ", " + std::to_string(i - 1) + ", " +
                     std::to_string(i) + ", 1\n";
    }
    ScratchFolder::write(folder.file("curve.dat"), AsPrintedFile(data + "END\n" + lines + "END\n"));
    ScratchFolder::write(folder.file("curve.lst"),
                         AsPrintedFile("t\n 20 20\n" + folder.file("curve.dat") + "\n 0 0\nEND\n"));
    const FigureBitmap figure = DrawFigureBitmap(QString::fromStdString(folder.file("curve.lst")),
                                                 QString::fromStdString(folder.file("app")));
    EXPECT_TRUE(figure.fault.isEmpty()) << figure.fault.toStdString();
    // Its last millimetre: x from 18 to 19 mm, y from 2 to 1 mm (pixels 213 to 224).
    EXPECT_GT(BlackPixels(figure.image, QRect(QPoint(213, 213), QPoint(224, 224))), 10);
}

// A data file on a 20 x 20 mm paper (236 x 236 pixels): points, then the given sections.
struct FigureCase {
    const char* name;
    double paperW, paperH;
    int entries;      // copies of the data file in the list, entry k shifted by 4 k mm
    int extraPoints;  // points at (0, 0) after the four of the fixture
    const char* sections;
    QSize size;  // empty: no image
    bool fault;
    QRect black;  // an area that must hold black pixels (empty: nothing at all drawn), 96 dpi
    QRect white;  // an area that must stay white, 96 dpi
};

void PrintTo(const FigureCase& c, std::ostream* os) {
    *os << c.name;
}

class WordFigureCases : public testing::TestWithParam<FigureCase> {};

TEST_P(WordFigureCases, Draws) {
    const FigureCase& c = GetParam();
    ScratchFolder folder;
    WriteFigureFixture(folder);
    std::string data =
        "t1\nt2\n0, 0, 0, 0, 0, 0\n座標情報\n1, 2, 2\n2, 2, 18\n3, 10, 2\n4, 10, 18\n";
    for (int i = 0; i < c.extraPoints; ++i) data += std::to_string(5 + i) + ", 0, 0\n";
    data += std::string("END\n") + c.sections;
    ScratchFolder::write(folder.file("case.dat"), AsPrintedFile(data));
    std::string list = "t\n " + std::to_string(c.paperW) + " " + std::to_string(c.paperH) + "\n";
    for (int k = 0; k < c.entries; ++k)
        list += folder.file("case.dat") + "\n " + std::to_string(4 * k) + " 0\n";
    list += folder.file("missing.dat") + "\n 0 0\nEND\n";
    if (std::string(c.name) != "MissingDataFileEndsTheList") {
        const auto end = list.rfind(folder.file("missing.dat"));
        list = list.substr(0, end) + "END\n";
    }
    ScratchFolder::write(folder.file("case.lst"), AsPrintedFile(list));

    const FigureBitmap figure = DrawFigureBitmap(QString::fromStdString(folder.file("case.lst")),
                                                 QString::fromStdString(folder.file("app")));
    EXPECT_EQ(figure.image.isNull() ? QSize() : figure.image.size(), c.size);
    EXPECT_EQ(!figure.fault.isEmpty(), c.fault) << figure.fault.toStdString();
    if (figure.image.isNull()) return;
    if (c.black.isNull()) {
        EXPECT_EQ(BlackPixels(figure.image), 0);
    } else {
        EXPECT_GT(BlackPixels(figure.image, At300Dpi(c.black)), 0);
    }
    if (!c.white.isNull()) {
        EXPECT_EQ(BlackPixels(figure.image, At300Dpi(c.white)), 0);
    }
}

// Pixel columns: x = 2 mm is column 8, x = 10 mm column 38; rows 8 to 68 span y 18 to 2 mm.
const FigureCase kFigureCases[] = {
    {"A4PaperIs2480By3508Pixels", 210, 297, 0, 0, "", {2480, 3508}, false, {}, {}},
    {"MetrePaperStaysWithin16MillionPixels", 1000, 1000, 0, 0, "", {4000, 4000}, false, {}, {}},
    {"PaperOfZeroIsAFault", 0, 20, 1, 0, "", {}, true, {}, {}},
    {"PaperAbove1000MmIsAFault", 1001, 20, 1, 0, "", {}, true, {}, {}},
    {"LinesBeyondAThousandPointsAreDrawn",
     20,
     20,
     1,
     1200,
     "線分情報\n1, 1, 2, 1\n2, 3, 1204, 1\n3, 3, 4, 1\nEND\n",
     {236, 236},
     false,
     {36, 30, 5, 10},
     {}},
    {"LineToAPointNotInTheFileEndsTheFigure",
     20,
     20,
     1,
     0,
     "線分情報\n1, 1, 2, 1\n2, 1, 5, 1\n3, 3, 4, 1\nEND\n",
     {236, 236},
     true,
     {7, 30, 3, 10},
     {36, 30, 5, 10}},
    {"StyleRow21EndsTheFigure",
     20,
     20,
     1,
     0,
     "線分情報\n1, 1, 2, 21\nEND\n",
     {236, 236},
     true,
     {},
     {}},
    {"ArrowAndTextOfDirection2DrawNothing",
     20,
     20,
     1,
     0,
     "矢印(1)\n1, 1, 2, 1\nEND\n文字情報\nabc\n10, 10, 1, 2\nEND\n",
     {236, 236},
     false,
     {},
     {}},
    {"TextAtTheRightEdgeIsMovedInside",
     20,
     20,
     1,
     0,
     "文字情報\nWWWW\n18, 10, 1, 3\nEND\n",
     {236, 236},
     false,
     {45, 26, 20, 12},
     {}},
    {"MissingDataFileEndsTheList",
     20,
     20,
     1,
     0,
     "線分情報\n1, 1, 2, 1\nEND\n",
     {236, 236},
     true,
     {7, 30, 3, 10},
     {}},
    {"TwentyEntriesAreDrawn",
     100,
     20,
     21,
     0,
     "線分情報\n1, 1, 2, 1\nEND\n",
     {1181, 236},
     false,
     {293, 30, 5, 10},
     {308, 30, 5, 10}},
};

INSTANTIATE_TEST_SUITE_P(Figures, WordFigureCases, testing::ValuesIn(kFigureCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
