#include "formats/FigureFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "formats/FigureGeometry.h"
#include "foundation/Cp932.h"
#include "tests/report/ReportFixture.h"

namespace {

// One text style of 240 twips (4.2333 mm), as the worked examples use.
const std::vector<TextStyleDef> kStyles = {{0, "ＭＳ 明朝", 240, 0, 0, 0}};

TEST(MeasureTextWidth, FullWidthIsTheHeightHalfWidthHalfOfIt) {
    EXPECT_NEAR(MeasureTextWidth(kStyles, 1, "あいう"), 12.70, 1e-9);
    EXPECT_NEAR(MeasureTextWidth(kStyles, 1, "abc"), 6.35, 1e-9);
    EXPECT_NEAR(MeasureTextWidth(kStyles, 1, "abあ"), 8.4667, 1e-4);
    EXPECT_NEAR(MeasureTextWidth(kStyles, 1, "ｱｲ"), 4.2333, 1e-4);  // half-width katakana
    EXPECT_THROW(MeasureTextWidth(kStyles, 2, "a"), ReportError);
}

TEST(ComputeFigureBox, TextsExtendTheBoxByTheirFarCorner) {
    FigureBuffer b;
    b.addPoint(10, 20);
    b.addText("あいう", 1, 3, 10, 20);
    FigureBox box = ComputeFigureBox(b, kStyles);
    EXPECT_NEAR(box.XMax, 22.7, 1e-9);
    EXPECT_NEAR(box.YMax, 24.2333, 1e-4);
    EXPECT_EQ(box.XMin, 10);
    b.texts[0].direction = 1;
    box = ComputeFigureBox(b, kStyles);
    EXPECT_NEAR(box.XMin, 5.7667, 1e-4);
    EXPECT_NEAR(box.YMax, 32.7, 1e-9);
    EXPECT_NEAR(box.Width, 10 - 5.7667, 1e-4);
}

TEST(ComputeFigureBox, PointsAloneAndAnEmptyBuffer) {
    FigureBuffer b;
    EXPECT_EQ(ComputeFigureBox(b, kStyles), FigureBox{});
    b.addPoint(3, 4);
    b.addPoint(-1, 9);
    EXPECT_EQ(ComputeFigureBox(b, kStyles), (FigureBox{4, 5, -1, 4, 3, 9}));
}

TEST(MakeFigureDataBytes, EmptyBufferWritesOnlyThePointSection) {
    const std::string bytes =
        MakeFigureDataBytes(FigureBuffer{}, "ぬらけ曲線法", "荷重分布図", kStyles);
    EXPECT_EQ(
        cp932::toUtf8(bytes),
        "ぬらけ曲線法\r\n荷重分布図\r\n0.00, 0.00, 0.00, 0.00, 0.00, 0.00\r\n座標情報\r\nEND\r\n");
}

// Every section, filled out of order; the file keeps the fixed section order.
FigureBuffer HandFilledBuffer() {
    FigureBuffer b;
    b.texts.push_back({"+3.000", 1, 3, 10, -0.5});
    b.texts.push_back({"縦書き", 1, 1, -2.25, 0});
    b.arrows.push_back({2, 7, 1});
    b.addPoint(0, 0);
    b.addPoint(0, -100);
    b.addPoint(-5.123456789, 12.0000004);
    b.addLine(1, 2, 3);
    b.addLine(2, 3, 1);
    b.circles.push_back({3, 2.5, 1});
    b.arcs.push_back({1, 2, 3, 1.5707963267948966, 0, 4});
    b.rects.push_back({1, 3, 2, 9});
    return b;
}

TEST(MakeFigureDataBytes, GoldenFileOfAHandFilledBuffer) {
    ExpectGolden("handmade.data",
                 MakeFigureDataBytes(HandFilledBuffer(), "ぬらけ曲線法", "荷重分布図", kStyles));
}

TEST(MakeFigureListBytes, GoldenFileWithNumbersInPrintZones) {
    std::vector<FigureListEntry> entries(2);
    entries[0].FileName = "/tmp/~QM0000ABCD.TMP";
    entries[0].OffsetX = 30;
    entries[0].OffsetY = -2.5;
    entries[1].FileName = "/tmp/a, b/図.TMP";
    entries[1].OffsetX = 123456789.125;
    ExpectGolden("handmade.list", MakeFigureListBytes("ぬらけ曲線法", 150, 130, entries));
    EXPECT_EQ(FigureListNumber(-0.0), " 0");
    EXPECT_THROW(FigureListNumber(INFINITY), ReportError);
}

TEST(LayoutFigures, CentresTheBoxOnThePaperArea) {
    ScratchFolder folder;
    FigureBuffer b;
    b.addPoint(-5, 0);
    b.addPoint(95, 80);
    std::vector<FigureListEntry> entries(1);
    entries[0].FileName = folder.file("data.TMP");
    WriteFigureDataFile(entries[0].FileName, "t1", "t2", b, kStyles);
    LayoutFigures(folder.file("list.TMP"), "t", 150, 130, entries);
    EXPECT_EQ(entries[0].OffsetX, 30);
    EXPECT_EQ(entries[0].OffsetY, 25);
    EXPECT_EQ(ScratchFolder::read(folder.file("list.TMP")),
              "t\r\n 150" + std::string(11, ' ') + "130\r\n" + folder.file("data.TMP") + "\r\n 30" +
                  std::string(12, ' ') + "25\r\nEND\r\n");
    entries[0].FileName = folder.file("missing.TMP");
    EXPECT_THROW(LayoutFigures(folder.file("list.TMP"), "t", 150, 130, entries), ReportError);
}

TEST(FigureFiles, WriterAndReaderRoundTrip) {
    ScratchFolder folder;
    FigureBuffer b = HandFilledBuffer();
    b.points[2] = {-5.125, 12.5};  // six decimals hold these exactly
    b.arcs[0].start = 1.5;
    const std::string data = folder.file("d,1.TMP");
    WriteFigureDataFile(data, "ぬらけ曲線法", "荷重分布図", b, kStyles);
    FigureData read;
    ASSERT_TRUE(ReadFigureDataFile(data, read).ok());
    EXPECT_EQ(read.Title1, "ぬらけ曲線法");
    EXPECT_EQ(read.Title2, "荷重分布図");
    EXPECT_EQ(read.buffer, b);
    EXPECT_NEAR(read.box.Width, ComputeFigureBox(b, kStyles).Width, 0.005);

    std::vector<FigureListEntry> entries(1);
    entries[0].FileName = data;
    LayoutFigures(folder.file("list.TMP"), "ぬらけ曲線法", 100, 100, entries);
    FigureList list;
    ASSERT_TRUE(ReadFigureListFile(folder.file("list.TMP"), list).ok());
    EXPECT_EQ(list.Title, "ぬらけ曲線法");
    EXPECT_EQ(list.PaperW, 100);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].FileName, data);  // the comma stays in the path
    EXPECT_NEAR(list.entries[0].OffsetX, entries[0].OffsetX, 1e-12);
    EXPECT_NEAR(list.entries[0].OffsetY, entries[0].OffsetY, 1e-12);
}

TEST(FigureBuffer, CapacitiesAreEnforced) {
    FigureBuffer b;
    for (std::size_t i = 0; i < FigureBuffer::kPointCapacity; ++i) b.addPoint(0, 0);
    EXPECT_THROW(b.addPoint(0, 0), ReportError);
    for (std::size_t i = 0; i < FigureBuffer::kTextCapacity; ++i) b.addText("a", 2, 3, 0, 0);
    EXPECT_THROW(b.addText("a", 2, 3, 0, 0), ReportError);
}

TEST(MakeFigureDataBytes, RefusesWhatCannotBeReadBack) {
    FigureBuffer b;
    b.addPoint(NAN, 0);
    EXPECT_THROW(MakeFigureDataBytes(b, "a", "b", kStyles), ReportError);
    FigureBuffer t;
    t.addText("two\nlines", 1, 3, 0, 0);
    EXPECT_THROW(MakeFigureDataBytes(t, "a", "b", kStyles), ReportError);
}

// ---- Readers of hostile files -------------------------------------------------------------

struct DataCase {
    const char* name;
    const char* file;  // UTF-8 with LF; converted to CP932 with CR LF
    FigureReadStatus status;
    std::size_t points, lines, texts;
};

void PrintTo(const DataCase& c, std::ostream* os) {
    *os << c.name;
}

class DataReaderTable : public ::testing::TestWithParam<DataCase> {};

TEST_P(DataReaderTable, ReadsOrStopsAtTheFault) {
    const DataCase& c = GetParam();
    FigureData data;
    const FigureReadResult r = ParseFigureData(ToCp932CrLf(c.file), data);
    EXPECT_EQ(r.status, c.status) << r.reason;
    EXPECT_EQ(data.buffer.points.size(), c.points);
    EXPECT_EQ(data.buffer.lines.size(), c.lines);
    EXPECT_EQ(data.buffer.texts.size(), c.texts);
}

constexpr const char* kHead = "t1\nt2\n1, 2, 0, 0, 1, 2\n";

INSTANTIATE_TEST_SUITE_P(
    Files, DataReaderTable,
    ::testing::Values(
        DataCase{"Complete",
                 "t1\nt2\n1,2,0,0,1,2\n座標情報\n1, 0, 0\n2, 1, 2\nEND\n塗潰情報\n1, 1, 1, x\nEND\n"
                 "線分情報\n1, 1, 2, 3\nEND\n文字情報\nEND\n1.0, 2.0, 2, 3\nEND\n",
                 FigureReadStatus::Ok, 2, 1, 0},
        DataCase{"TextThatIsNotEnd", "t1\nt2\n1,2,0,0,1,2\n文字情報\nabc\n1, 2, 2, 3\nEND\n",
                 FigureReadStatus::Ok, 0, 0, 1},
        DataCase{"Empty", "", FigureReadStatus::MissingEnd, 0, 0, 0},
        DataCase{"BoxNotNumbers", "t1\nt2\na, b, c, d, e, f\n", FigureReadStatus::BadNumber, 0, 0,
                 0},
        DataCase{"BoxTooShort", "t1\nt2\n1, 2\n", FigureReadStatus::BadRecord, 0, 0, 0},
        DataCase{"SectionWithoutEnd", "t1\nt2\n1,2,0,0,1,2\n座標情報\n1, 0, 0\n",
                 FigureReadStatus::MissingEnd, 1, 0, 0},
        DataCase{
            "LineToAPointNotRead",
            "t1\nt2\n1,2,0,0,1,2\n座標情報\n1, 0, 0\nEND\n線分情報\n1, 1, 1, 1\n1, 1, 2, 1\nEND\n",
            FigureReadStatus::BadPointNumber, 1, 1, 0},
        DataCase{"LinesBeforePoints", "t1\nt2\n1,2,0,0,1,2\n線分情報\n1, 1, 1, 1\nEND\n",
                 FigureReadStatus::BadPointNumber, 0, 0, 0},
        DataCase{"SecondPointSection",
                 "t1\nt2\n1,2,0,0,1,2\n座標情報\n1, 0, 0\nEND\n座標情報\n1, 5, 5\nEND\n",
                 FigureReadStatus::BadRecord, 1, 0, 0},
        DataCase{"CoordinateNotANumber", "t1\nt2\n1,2,0,0,1,2\n座標情報\n1, x, 0\nEND\n",
                 FigureReadStatus::BadNumber, 0, 0, 0},
        DataCase{"StyleBeyondThirtyTwoBits",
                 "t1\nt2\n1,2,0,0,1,2\n座標情報\n1, 0, 0\nEND\n線分情報\n1, 1, 1, 9E+99\nEND\n",
                 FigureReadStatus::BadNumber, 1, 0, 0},
        DataCase{"RecordTooShort", "t1\nt2\n1,2,0,0,1,2\n座標情報\n1, 0\nEND\n",
                 FigureReadStatus::BadRecord, 0, 0, 0},
        DataCase{"TextWithoutValues", "t1\nt2\n1,2,0,0,1,2\n文字情報\nabc\n",
                 FigureReadStatus::MissingEnd, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseFigureData, MorePointsThanTheBufferHoldsFail) {
    std::string file = std::string(kHead) + "座標情報\n";
    for (std::size_t i = 1; i <= FigureBuffer::kPointCapacity + 1; ++i) file += "1, 0, 0\n";
    file += "END\n";
    FigureData data;
    EXPECT_EQ(ParseFigureData(ToCp932CrLf(file), data).status, FigureReadStatus::TooManyRows);
    EXPECT_EQ(data.buffer.points.size(), FigureBuffer::kPointCapacity);
}

TEST(ParseFigureList, PathLinesWholeAndEntriesBeyondTheLimitDropped) {
    FigureList list;
    const std::string file = ToCp932CrLf("t\n150,130\n/a, b/c d\n 1   2\n/e\n3,4\n/f\n5 6\nEND\n");
    ASSERT_TRUE(ParseFigureList(file, list, 2).ok());
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].FileName, "/a, b/c d");
    EXPECT_EQ(list.entries[1].OffsetY, 4);
    EXPECT_EQ(list.PaperH, 130);
    EXPECT_EQ(ParseFigureList("t\r\n150\r\n", list).status, FigureReadStatus::BadRecord);
    EXPECT_EQ(ParseFigureList("t\r\n1 2\r\n/x\r\n", list).status, FigureReadStatus::MissingEnd);
    EXPECT_EQ(ParseFigureList("t\r\n1 2\r\n/x\r\n1 y\r\nEND\r\n", list).status,
              FigureReadStatus::BadNumber);
    EXPECT_EQ(ReadFigureListFile("/nonexistent/list", list).status, FigureReadStatus::CannotOpen);
}

// ---- Drawing definitions ------------------------------------------------------------------

struct DefsCase {
    const char* name;
    const char* file;
    std::size_t maxRows;
    FigureReadStatus status;
    std::vector<LineStyleDef> rows;
};

void PrintTo(const DefsCase& c, std::ostream* os) {
    *os << c.name;
}

class LineDefsTable : public ::testing::TestWithParam<DefsCase> {};

TEST_P(LineDefsTable, Reads) {
    const DefsCase& c = GetParam();
    std::vector<LineStyleDef> rows;
    EXPECT_EQ(ParseLineStyleDefs(ToCp932CrLf(c.file), rows, c.maxRows).status, c.status);
    if (c.status == FigureReadStatus::Ok) {
        EXPECT_EQ(rows, c.rows);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, LineDefsTable,
    ::testing::Values(
        DefsCase{"Shipped",
                 "h, x\n1, 0, 0, \"a\"\n2, 2, 3, \"b, c\"\nEND\nignored\n",
                 9,
                 FigureReadStatus::Ok,
                 {{0, 0}, {2, 3}}},
        DefsCase{"EmptyCommentNeedsItsComma",
                 "h\n1, 2, 0,\n2, 3, 0,\nEND\n",
                 9,
                 FigureReadStatus::Ok,
                 {{2, 0}, {3, 0}}},
        // Without the comma the next key is taken as the comment, and "END" too in the end.
        DefsCase{"MissingCommaShiftsTheRecords",
                 "h\n1, 2, 0\n2, 3, 0,\nEND\n",
                 9,
                 FigureReadStatus::MissingEnd,
                 {}},
        DefsCase{"KeyValueNotUsed", "h\n7, 2, 2, \"\"\nEND\n", 9, FigureReadStatus::Ok, {{2, 2}}},
        DefsCase{"NoEnd", "h\n1, 2, 0, \"a\"\n", 9, FigureReadStatus::MissingEnd, {}},
        DefsCase{"EmptyFile", "", 9, FigureReadStatus::MissingEnd, {}},
        DefsCase{"TenthRow",
                 "h\n1,0,0,\n2,0,0,\n3,0,0,\n4,0,0,\n5,0,0,\n6,0,0,\n7,0,0,\n8,0,0,\n9,0,0,\n"
                 "10,0,0,\nEND\n",
                 9,
                 FigureReadStatus::TooManyRows,
                 {}},
        DefsCase{"NotANumber", "h\n1, thin, 0, \"a\"\nEND\n", 9, FigureReadStatus::BadNumber, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseTextStyleDefs, FontNamesAndTheRowLimit) {
    std::vector<TextStyleDef> rows;
    const std::string file = ToCp932CrLf(std::string(kFixtureTextDefs));
    ASSERT_TRUE(ParseTextStyleDefs(file, rows, 2).ok());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], (TextStyleDef{0, "ＭＳ 明朝", 240, 0, 0, 0}));
    EXPECT_EQ(ParseTextStyleDefs(file, rows, 1).status, FigureReadStatus::TooManyRows);
    EXPECT_EQ(ParseTextStyleDefs(ToCp932CrLf("h\n1, 0, 5, 200, 0, 0, 0,\nEND\n"), rows, 2).status,
              FigureReadStatus::BadRecord);
    EXPECT_EQ(LoadTextStyleDefs("/nonexistent/STR_PRN.DEF", rows).status,
              FigureReadStatus::CannotOpen);
}

TEST(SegmentCrossesBox, OnlyThePassageThroughTheInsideCounts) {
    const struct {
        FigPoint a, b;
        bool crosses;
    } cases[] = {
        {{-5, 1}, {15, 1}, true},     // straight through
        {{-5, 0}, {15, 0}, false},    // along the bottom edge (a text on its line)
        {{0, -5}, {0, 5}, false},     // along the left edge
        {{-1, 1}, {1, -1}, false},    // through a corner only
        {{-1, 2}, {1, -1}, true},     // across a corner's inside
        {{5, 1}, {5, 1}, true},       // a point inside
        {{11, -3}, {20, 30}, false},  // beside it
        {{3, 1}, {30, 1}, true},      // starts inside
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SegmentCrossesBox(c.a, c.b, 0, 0, 10, 2), c.crosses)
            << "(" << c.a.x << ", " << c.a.y << ") to (" << c.b.x << ", " << c.b.y << ")";
    }
}

}  // namespace
