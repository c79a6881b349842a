#include "report/Reports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "formats/FigureFiles.h"
#include "formats/FigureGeometry.h"
#include "foundation/Cp932.h"
#include "foundation/NumberFormat.h"
#include "report/FigureDrawers.h"
#include "tests/report/ReportFixture.h"
#include "workspace/InputFile.h"

namespace {

std::unique_ptr<AnalysisResult> Analyse(const InputModel& model) {
    auto r = std::make_unique<AnalysisResult>();
    if (!RunWallAnalysis(model, *r)) return nullptr;
    return r;
}

struct Reports {
    bool conditionsOk = false, resultsOk = false;
    std::string conditions, results;  // CP932 bytes
    std::string reason;
};

Reports WriteBoth(ReportFixture& f, const InputModel& model, const AnalysisResult& result,
                  const NumberingSettings& numbering = {}) {
    Reports out;
    f.session().BeginBuild(numbering);
    const std::string c = f.startReport();
    out.conditionsOk = WriteConditionsReport(f.session(), model, result, &out.reason);
    const std::string r = f.startReport();
    out.resultsOk = WriteResultReport(f.session(), model, result, &out.reason);
    out.conditions = ScratchFolder::read(c);
    out.results = ScratchFolder::read(r);
    return out;
}

// The figure-list paths named by the "?FG" lines, in order.
std::vector<std::string> FigurePaths(const std::string& printFile) {
    std::vector<std::string> paths;
    const std::string command = "?FG;000;000;";
    for (std::size_t at = printFile.find(command); at != std::string::npos;
         at = printFile.find(command, at + 1)) {
        const std::size_t begin = at + command.size();
        paths.push_back(printFile.substr(begin, printFile.find("\r\n", begin) - begin));
    }
    return paths;
}

// Replaces every temporary name of the folder with "<n>", numbered by first appearance.
std::string Normalized(std::string bytes, const std::string& folder,
                       std::map<std::string, int>& names) {
    const std::string prefix = folder + "/~QM";
    for (std::size_t at = bytes.find(prefix); at != std::string::npos;
         at = bytes.find(prefix, at)) {
        const std::string name = bytes.substr(at, prefix.size() + 12);
        const auto it = names.emplace(name, static_cast<int>(names.size()) + 1).first;
        const std::string token = "<" + std::to_string(it->second) + ">";
        bytes.replace(at, name.size(), token);
        at += token.size();
    }
    return bytes;
}

// Print files and every figure file they name, compared with golden/<name>.*.
void ExpectGoldenReports(ReportFixture& f, const std::string& name, const Reports& reports) {
    std::map<std::string, int> names;
    const std::string folder = f.folder().path();
    ExpectGolden(name + ".conditions.prn", Normalized(reports.conditions, folder, names));
    ExpectGolden(name + ".results.prn", Normalized(reports.results, folder, names));
    std::vector<std::string> lists = FigurePaths(reports.conditions);
    for (const auto& p : FigurePaths(reports.results)) lists.push_back(p);
    for (std::size_t i = 0; i < lists.size(); ++i) {
        const std::string list = ScratchFolder::read(cp932::toUtf8(lists[i]));
        FigureList parsed;
        ASSERT_TRUE(ParseFigureList(list, parsed).ok());
        ASSERT_EQ(parsed.entries.size(), 1u);
        const std::string figure = name + ".figure" + std::to_string(i + 1);
        ExpectGolden(figure + ".list", Normalized(list, folder, names));
        ExpectGolden(figure + ".data", ScratchFolder::read(parsed.entries[0].FileName));
    }
}

TEST(GoldenReports, ThreeLandAndTwoSeaLayersWithoutNumbering) {
    ReportFixture f;
    const InputModel model = SmallWall(3, 2);
    const auto result = Analyse(model);
    ASSERT_TRUE(result);
    const Reports reports = WriteBoth(f, model, *result);
    ASSERT_TRUE(reports.conditionsOk && reports.resultsOk) << reports.reason;
    ExpectGoldenReports(f, "small", reports);
}

TEST(GoldenReports, NumberedHeadingsAndNoStressCheck) {
    ReportFixture f;
    const InputModel model = SmallWall(4, 1, 0);
    const auto result = Analyse(model);
    ASSERT_TRUE(result);
    NumberingSettings numbering;
    numbering.Method = 2;
    numbering.Style = {1, 2, 8, 1};
    numbering.Margin = {0, 2, 4, 6};
    const Reports reports = WriteBoth(f, model, *result, numbering);
    ASSERT_TRUE(reports.conditionsOk && reports.resultsOk) << reports.reason;
    EXPECT_EQ(reports.results.find(cp932::fromUtf8("応力度")), std::string::npos);
    ExpectGoldenReports(f, "numbered", reports);
}

// ---- Stress check -------------------------------------------------------------------------

struct StressCase {
    const char* name;
    double zUpper, zLower, allowable;
    bool holds;
};

void PrintTo(const StressCase& c, std::ostream* os) {
    *os << c.name;
}

class StressCheckTable : public ::testing::TestWithParam<StressCase> {};

TEST_P(StressCheckTable, DecidesWhichLinesArePrinted) {
    const StressCase& c = GetParam();
    EXPECT_EQ(StressCheckHolds(c.zUpper, c.zLower, c.allowable), c.holds);
    ReportFixture f;
    InputModel model = SmallWall(3, 2, c.allowable);
    model.CondData(CondZUpper) = Slot::number(c.zUpper);
    model.CondData(CondZLower) = Slot::number(c.zLower);
    const auto result = Analyse(model);
    ASSERT_TRUE(result);
    const Reports reports = WriteBoth(f, model, *result);
    ASSERT_TRUE(reports.conditionsOk && reports.resultsOk) << reports.reason;
    const std::string conditions = cp932::toUtf8(reports.conditions);
    EXPECT_EQ(conditions.find("Z1 ") != std::string::npos, c.holds);
    EXPECT_EQ(conditions.find("Sa ") != std::string::npos, c.holds);
    EXPECT_NE(conditions.find("F  "), std::string::npos);
    EXPECT_EQ(cp932::toUtf8(reports.results).find("応力度") != std::string::npos, c.holds);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, StressCheckTable,
                         ::testing::Values(StressCase{"AllAbove", 1500, 1500, 180, true},
                                           StressCase{"ZUpperAtTheFloor", 0.1, 1500, 180, false},
                                           StressCase{"ZLowerJustAbove", 1500, 0.11, 180, true},
                                           StressCase{"NoAllowableStress", 1500, 1500, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ResultReport, VerdictAtAndJustAboveTheAllowableStress) {
    ReportFixture f;
    const InputModel model = SmallWall(3, 2, 180);
    auto result = Analyse(model);
    ASSERT_TRUE(result);
    result->ResultSummary(SummaryStressAtMmax) = 180;
    result->ResultSummary(SummaryStressAtMmin) = 180.01;
    result->MminValue = -12.5;
    const Reports reports = WriteBoth(f, model, *result);
    ASSERT_TRUE(reports.resultsOk) << reports.reason;
    const std::string text = cp932::toUtf8(reports.results);
    EXPECT_NE(text.find("s =    180.0 ≦   sa = 180.0 OK   "), std::string::npos);
    EXPECT_NE(text.find("s =    180.0 ＞   sa = 180.0 OUT  "), std::string::npos);
    EXPECT_NE(text.find("|M| =      12.500"), std::string::npos);  // the absolute value
}

// ---- Failures -----------------------------------------------------------------------------

void RenameSection(ReportFixture& f, const std::string& from, const std::string& to) {
    const std::string path = f.session().files().FormatFilePath;
    std::string fmt = ScratchFolder::read(path);
    const std::string a = cp932::fromUtf8(from + "\r\n"), b = cp932::fromUtf8(to + "\r\n");
    fmt.replace(fmt.find(a), a.size(), b);
    ScratchFolder::write(path, fmt);
}

TEST(Reports, MissingConditionsSectionWritesNothing) {
    ReportFixture f;
    RenameSection(f, "矢板壁の計算", "矢板壁");
    const InputModel model = SmallWall(3, 2);
    const auto result = Analyse(model);
    const Reports reports = WriteBoth(f, model, *result);
    EXPECT_FALSE(reports.conditionsOk);
    EXPECT_TRUE(reports.resultsOk);
    EXPECT_EQ(reports.conditions, "");
}

TEST(Reports, MissingStressSectionFailsAfterTheOtherTwo) {
    ReportFixture f;
    RenameSection(f, "応力度", "応力");
    const InputModel model = SmallWall(3, 2);
    const auto result = Analyse(model);
    const Reports reports = WriteBoth(f, model, *result);
    EXPECT_TRUE(reports.conditionsOk);
    EXPECT_FALSE(reports.resultsOk);
    EXPECT_NE(reports.reason.find("応力度"), std::string::npos);
    EXPECT_NE(cp932::toUtf8(reports.results).find("δ図"), std::string::npos);
}

TEST(Reports, MissingDrawingDefinitionsFailTheFigureAndItsReport) {
    ReportFixture f;
    std::filesystem::remove(f.session().files().LineStyleDefPath);
    const InputModel model = SmallWall(3, 2);
    const auto result = Analyse(model);
    const Reports reports = WriteBoth(f, model, *result);
    EXPECT_FALSE(reports.conditionsOk);
    EXPECT_FALSE(reports.resultsOk);
    EXPECT_NE(cp932::toUtf8(reports.conditions).find("荷重図"), std::string::npos);
}

TEST(ConditionsReport, FifteenLayersStartOnTheFreshPageAfterTheFigure) {
    ReportFixture f;
    const InputModel model = SmallWall(15, 2);
    const auto result = Analyse(model);
    ASSERT_TRUE(result);
    const Reports reports = WriteBoth(f, model, *result);
    ASSERT_TRUE(reports.conditionsOk) << reports.reason;
    EXPECT_NE(reports.conditions.find(cp932::fromUtf8("\f?R2陸側")), std::string::npos);
    EXPECT_EQ(reports.conditions.find("\f\f"), std::string::npos);
}

// ---- Figures ------------------------------------------------------------------------------

FigureData ReadFigure(const std::string& listPath) {
    FigureList list;
    EXPECT_TRUE(ReadFigureListFile(listPath, list).ok());
    FigureData data;
    if (list.entries.size() == 1) {
        EXPECT_TRUE(ReadFigureDataFile(list.entries[0].FileName, data).ok());
    }
    return data;
}

const FigText* FindText(const FigureData& d, const std::string& text) {
    for (const FigText& t : d.buffer.texts) {
        if (t.text == text) return &t;
    }
    return nullptr;
}

// One land layer of 10 m (0 to 100 kN/m2) and one sea layer of 4 m starting 2 m below the top.
AnalysisResult LoadCase(double landTop, double landBottom) {
    AnalysisResult r{};
    r.ResultTopLevel = 3;
    r.ResultDesignLevel = 1;
    r.LayerRowCounts(1) = 1;
    r.LayerRowCounts(2) = 1;
    LayerRow& land = r.LayerTable(1)(1);
    land(1) = 3, land(2) = -7, land(3) = 10, land(4) = landTop, land(5) = landBottom;
    LayerRow& sea = r.LayerTable(2)(1);
    sea(1) = 1, sea(2) = -3, sea(3) = 4, sea(4) = 0, sea(5) = 50;
    return r;
}

TEST(LoadDistributionFigure, WorkedScales) {
    ReportFixture f;
    const FigureData d =
        ReadFigure(DrawLoadDistributionFigure(f.session(), LoadCase(0, 100), 150, 130));
    const FigText* bottom = FindText(d, "100.000");
    ASSERT_NE(bottom, nullptr);
    EXPECT_NEAR(bottom->x, 40.3, 1e-9);             // sx 0.4 mm per kN/m2, 0.3 mm off its line
    EXPECT_NEAR(bottom->y, -125, 1e-9);             // sy 12.5 mm per m
    EXPECT_NEAR(d.buffer.points[1].y, -125, 1e-9);  // the wall line's foot
    const FigText* top = FindText(d, "+3.000");
    ASSERT_NE(top, nullptr);
    EXPECT_NEAR(top->x + MeasureTextWidth({{}, {0, "", 240}}, 2, "+3.000"), 75, 1e-9);  // no gap
}

TEST(LoadDistributionFigure, NoPositivePressureDrawsOnTheWallLine) {
    ReportFixture f;
    AnalysisResult r = LoadCase(0, 0);
    r.LayerTable(2)(1)(5) = 0;
    const FigureData d = ReadFigure(DrawLoadDistributionFigure(f.session(), r, 150, 130));
    for (std::size_t i = 0; i < d.buffer.points.size(); ++i) {
        const FigPoint& p = d.buffer.points[i];
        EXPECT_TRUE(p.x == 0 || std::fabs(p.x) == 75) << "point " << i + 1;
    }
}

TEST(LoadDistributionFigure, EmptySeaTableUsesTheDesignLevel) {
    ReportFixture f;
    AnalysisResult r = LoadCase(0, 100);
    r.LayerRowCounts(2) = 0;
    r.LayerTable(2)(1)(1) = 999;  // stale, not to be read
    const FigureData d = ReadFigure(DrawLoadDistributionFigure(f.session(), r, 150, 130));
    const FigText* level = FindText(d, "+1.000");
    ASSERT_NE(level, nullptr);
    EXPECT_NEAR(level->y, -2 * 12.5, 1e-9);
    EXPECT_EQ(FindText(d, "+999.000"), nullptr);
}

TEST(LoadDistributionFigure, NoDepthFails) {
    ReportFixture f;
    AnalysisResult r = LoadCase(0, 100);
    r.LayerTable(1)(1)(3) = 0;
    r.LayerRowCounts(2) = 0;
    r.ResultDesignLevel = 3;
    EXPECT_THROW(DrawLoadDistributionFigure(f.session(), r, 150, 130), ReportError);
}

// Rows from the top (+3) down by 1 m each, with the given moments and deflections (m).
AnalysisResult CurveCase(const std::vector<double>& moments,
                         const std::vector<double>& deflections) {
    AnalysisResult r{};
    r.ResultTopLevel = 3;
    r.ResultTieLevel = 1.5;
    r.ResultDesignLevel = -5;
    r.ComputedTipLevel = 3.0 - static_cast<double>(moments.size() - 1);
    r.SectionRowCount = static_cast<int>(moments.size());
    for (int i = 1; i <= r.SectionRowCount; ++i) {
        SectionRow& row = r.SectionTable(i);
        row(1) = 3.0 - (i - 1);
        row(2) = deflections[static_cast<std::size_t>(i - 1)];
        row(4) = moments[static_cast<std::size_t>(i - 1)];
    }
    return r;
}

TEST(CurveFigures, WorkedScales) {
    ReportFixture f;
    std::vector<double> moments(16, 0.0), deflections(16, 0.0);
    moments[3] = 50;
    moments[9] = -20;
    deflections[5] = 0.020;
    const AnalysisResult r = CurveCase(moments, deflections);  // depth 15 m
    const FigureData m = ReadFigure(DrawMomentFigure(f.session(), r, 100, 100));
    // Curve point of row 4: x = -50 x (100 / 3 - 5) / 50, y = -3 x sy (sy = 85 / 15).
    const std::size_t n = m.buffer.points.size();
    const FigPoint& row4 = m.buffer.points[n - 2 - 16 + 3];
    EXPECT_NEAR(row4.x, -28.3333, 1e-4);
    EXPECT_NEAR(row4.y, -3 * 85.0 / 15, 1e-9);
    EXPECT_NEAR(m.buffer.points[n - 2].y, -85, 1e-9);  // the tip level line
    EXPECT_NE(FindText(m, "-20"), nullptr);            // the axis reaches both signs
    const FigureData d = ReadFigure(DrawDeflectionFigure(f.session(), r, 100, 100));
    EXPECT_NEAR(d.buffer.points[d.buffer.points.size() - 2 - 16 + 5].x, -20, 1e-9);  // sx 1.0
    EXPECT_NE(FindText(d, "0"), nullptr);  // one sign: the axis still reaches 0
}

TEST(CurveFigures, AxisLabelsCarryTheDecimalsOfASmallStep) {
    ReportFixture f;
    std::vector<double> moments = {0, 1, 3.7, 2, 0};
    const FigureData d =
        ReadFigure(DrawMomentFigure(f.session(), CurveCase(moments, {0, 0, 0, 0, 0}), 100, 100));
    // Ticks every 0.5; the 12-pt labels of the fixture would meet, so every 2nd is labelled.
    for (const char* label : {"0.0", "1.0", "2.0", "3.0", "4.0"}) {
        EXPECT_NE(FindText(d, label), nullptr) << label;
    }
    EXPECT_EQ(FindText(d, "0.5"), nullptr);
    EXPECT_EQ(FindText(d, "1"), nullptr);
}

TEST(CurveFigures, AllZeroOrNoDepthFails) {
    ReportFixture f;
    EXPECT_THROW(DrawMomentFigure(f.session(), CurveCase({0, 0, 0}, {0, 0.01, 0}), 100, 100),
                 ReportError);
    EXPECT_THROW(DrawDeflectionFigure(f.session(), CurveCase({0, 1, 0}, {0, 0, 0}), 100, 100),
                 ReportError);
    EXPECT_THROW(DrawMomentFigure(f.session(), CurveCase({5}, {0}), 100, 100), ReportError);
}

// The cases of bench/cases that read and analyse (one is made to fail the analysis).
struct BenchmarkCase {
    std::string path;
    InputModel model;
    std::unique_ptr<AnalysisResult> result;
};

std::vector<BenchmarkCase> BenchmarkCases() {
    std::vector<BenchmarkCase> cases;
    for (const auto& e :
         std::filesystem::directory_iterator(std::string(MIBROX_SOURCE_DIR) + "/bench/cases")) {
        BenchmarkCase c{e.path().string(), {}, nullptr};
        ClearInputData(c.model);
        int err = 0;
        EXPECT_TRUE(LoadInputFile(c.model, c.path, err)) << c.path;
        c.result = Analyse(c.model);
        if (c.result) cases.push_back(std::move(c));
    }
    return cases;
}

// ---- Texts that keep clear of each other and of the lines -----------------------------------

// The texts the load figure never leaves out: the top of the wall, each side's bottom
// elevation and each side's largest pressure.
std::vector<std::string> LoadFigureExtremes(const AnalysisResult& r) {
    std::vector<std::string> texts;
    if (r.LayerRowCounts(1) > 0)
        texts.push_back(FormatNumber(r.LayerTable(1)(1)(1), "+##0.000;-##0.000"));
    for (int side = 1; side <= 2; ++side) {
        const int n = r.LayerRowCounts(side);
        if (n == 0) continue;
        texts.push_back(FormatNumber(r.LayerTable(side)(n)(2), "+##0.000;-##0.000"));
        double largest = r.LayerTable(side)(1)(4);
        for (int i = 1; i <= n; ++i)
            largest = std::max({largest, r.LayerTable(side)(i)(4), r.LayerTable(side)(i)(5)});
        texts.push_back(FormatNumber(largest, "###0.000"));
    }
    return texts;
}

// Every figure of the reports: no two text boxes (anchored bottom-left, MeasureTextWidth wide,
// the style's size high) meet or stand closer than 0.3 mm side by side, a box above and one
// below the same line may share its edge; no line passes through the inside of a text box (a
// text may stand on a line or hang from it). The load figure holds its extremes. Drawn with the
// shipped definition files.
void ExpectClearTexts(const AnalysisResult& r, const std::string& what) {
    std::vector<TextStyleDef> styles;
    ASSERT_TRUE(LoadTextStyleDefs(std::string(MIBROX_BIN_DIR) + "/STR_PRN.DEF", styles).ok());
    std::vector<LineStyleDef> pens;
    ASSERT_TRUE(LoadLineStyleDefs(std::string(MIBROX_BIN_DIR) + "/LINE_PRN.DEF", pens).ok());
    PrintSession session(ReportDataFiles::InFolder(MIBROX_BIN_DIR));
    const struct {
        const char* name;
        std::string (*draw)(PrintSession&, const AnalysisResult&, double, double);
        double w, h;
    } figures[] = {{"load", DrawLoadDistributionFigure, 150, 130},
                   {"moment", DrawMomentFigure, 100, 100},
                   {"deflection", DrawDeflectionFigure, 100, 100}};
    for (const auto& figure : figures) {
        const FigureData d = ReadFigure(figure.draw(session, r, figure.w, figure.h));
        const std::vector<FigText>& texts = d.buffer.texts;
        const auto at = [&](std::size_t i) {
            return "\"" + texts[i].text + "\" at (" + std::to_string(texts[i].x) + ", " +
                   std::to_string(texts[i].y) + ")";
        };
        std::vector<std::array<double, 4>> boxes;
        for (const FigText& t : texts) {
            boxes.push_back(
                {t.x, t.y, t.x + MeasureTextWidth(styles, t.style, t.text),
                 t.y + styles.at(static_cast<std::size_t>(t.style - 1)).Size / 1440.0 * 25.4});
        }
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const auto& a = boxes[i];
            for (std::size_t j = i + 1; j < texts.size(); ++j) {
                const auto& b = boxes[j];
                const bool beside = std::min(a[3], b[3]) - std::max(a[1], b[1]) > 1e-3;
                const double gap = std::max(a[0], b[0]) - std::min(a[2], b[2]);
                ASSERT_FALSE(beside && gap < 0.3 - 1e-3)
                    << what << ", " << figure.name << " figure: " << at(i) << " meets " << at(j);
            }
            constexpr double e = 1e-3;  // the file keeps six decimals
            for (const FigLine& l : d.buffer.lines) {
                const FigPoint& p = d.buffer.points.at(static_cast<std::size_t>(l.from - 1));
                const FigPoint& q = d.buffer.points.at(static_cast<std::size_t>(l.to - 1));
                ASSERT_FALSE(SegmentCrossesBox(p, q, a[0] + e, a[1] + e, a[2] - e, a[3] - e))
                    << what << ", " << figure.name << " figure: the line from (" << p.x << ", "
                    << p.y << ") to (" << q.x << ", " << q.y << ") crosses " << at(i);
                // The digits' ink (IPA Mincho: from 0.221 em over the box's bottom to its top)
                // keeps 0.15 mm of white off the line's edge.
                const double ink = 0.15 + std::max(FigurePenOf(pens, l.style).widthMm, 0.1) / 2 - e;
                const double inkBottom = a[1] + 0.221 * (a[3] - a[1]);
                ASSERT_FALSE(
                    SegmentCrossesBox(p, q, a[0] - ink, inkBottom - ink, a[2] + ink, a[3] + ink))
                    << what << ", " << figure.name << " figure: the line from (" << p.x << ", "
                    << p.y << ") to (" << q.x << ", " << q.y << ") is close to " << at(i);
            }
        }
        if (figure.draw != DrawLoadDistributionFigure) continue;
        for (const std::string& extreme : LoadFigureExtremes(r))
            ASSERT_NE(FindText(d, extreme), nullptr) << what << ": no \"" << extreme << "\"";
    }
    session.RemoveAllFiles();
}

// A wall of 1..99 random layers per side, 0.01 to 20 m thick (all alike on a side, or each its
// own), pressures from 0 to 9999.999 kN/m2 (rising with depth, or at random), and random
// curves over up to 3000 rows: deflections from 0.001 mm to 2 m, moments up to 1e5 kN*m/m; the
// tie at the top or anywhere below it, the tip near the design level or far below.
AnalysisResult GeneratedWall(std::mt19937& rng) {
    const auto uniform = [&](double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(rng);
    };
    const auto logUniform = [&](double a, double b) {
        return std::exp(uniform(std::log(a), std::log(b)));
    };
    const auto whole = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    AnalysisResult r{};
    r.ResultTopLevel = std::round(uniform(-5, 10) * 1000) / 1000;
    const double depth = logUniform(0.5, 60);
    r.ResultDesignLevel = r.ResultTopLevel - uniform(0, depth);
    r.ResultTieLevel =
        whole(0, 2) == 0 ? r.ResultTopLevel : r.ResultTopLevel - logUniform(1e-3, depth);
    r.ComputedTipLevel = r.ResultTopLevel - depth;
    if (whole(0, 2) == 0) r.ResultDesignLevel = r.ComputedTipLevel + logUniform(1e-3, 1);
    const double pressure = logUniform(1, 9999.999);
    for (int side = 1; side <= 2; ++side) {
        const int n = r.LayerRowCounts(side) = whole(1, 99);
        const double alike = whole(0, 1) == 0 ? logUniform(0.01, 20) : 0;
        const bool rising = whole(0, 1) == 0;
        double level = side == 1 ? r.ResultTopLevel : r.ResultDesignLevel, p = 0;
        for (int i = 1; i <= n; ++i) {
            LayerRow& L = r.LayerTable(side)(i);
            L(3) = alike > 0 ? alike : logUniform(0.01, 20);
            L(1) = level, L(2) = level - L(3);
            L(4) = rising ? p : std::round(uniform(0, pressure) * 1000) / 1000;
            p = rising ? std::round(pressure * i / n * 1000) / 1000 : p;
            L(5) = rising ? p : std::round(uniform(0, pressure) * 1000) / 1000;
            level = L(2);
        }
    }
    r.SectionRowCount = whole(2, 3000);
    const double deflection = logUniform(1e-6, 2), moment = logUniform(1e-3, 1e5);
    const double w1 = uniform(0.5, 12), w2 = uniform(0.5, 12), mix = uniform(-1, 1);
    for (int i = 1; i <= r.SectionRowCount; ++i) {
        const double s = static_cast<double>(i - 1) / (r.SectionRowCount - 1);
        SectionRow& row = r.SectionTable(i);
        row(1) = r.ResultTopLevel - s * depth;
        row(2) = deflection * std::sin(w1 * s + mix);
        row(4) = moment * (mix * std::sin(w2 * s) + (1 - std::fabs(mix)) * std::cos(w1 * s));
    }
    return r;
}

TEST(FigureTexts, ClearOfTextsAndLinesWithTheExtremesInAnyCaseOrGeneratedWall) {
    ReportFixture f;  // its folder is the temporary folder
    for (const BenchmarkCase& c : BenchmarkCases()) {
        ExpectClearTexts(*c.result, c.path);
        if (HasFatalFailure()) return;
    }
    std::mt19937 rng(20);
    for (int wall = 0; wall < 150 && !HasFatalFailure(); ++wall) {
        const auto r = std::make_unique<AnalysisResult>(GeneratedWall(rng));
        ExpectClearTexts(*r, "generated wall " + std::to_string(wall));
    }
}

// ---- Well-formed print files --------------------------------------------------------------

void ExpectWellFormed(const std::string& bytes, const std::string& what) {
    EXPECT_EQ(cp932::fromUtf8(cp932::toUtf8(bytes)), bytes) << what << ": not CP932";
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << what << ": LF without CR at " << i;
            ++lines;
        } else if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << what << ": lone CR";
        } else if (bytes[i] == '\f') {
            ASSERT_GT(lines, 0u) << what << ": empty page before " << i;
            lines = 0;
        }
        // A table chunk may take two rows (of four lines) more than the page holds.
        ASSERT_LE(lines, 72u) << what << ": page too long at " << i;
    }
    EXPECT_TRUE(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n") << what;
    for (const std::string& path : FigurePaths(bytes)) {
        EXPECT_TRUE(std::filesystem::exists(path)) << what << ": " << path;
    }
}

TEST(Reports, WellFormedForAnyNumberOfLayers) {
    for (const int land : {1, 2, 14, 15, 16, 31, 60, 99}) {
        for (const int sea : {0, 1, 15, 99}) {
            ReportFixture f;
            const InputModel model = SmallWall(land, sea);
            const auto result = Analyse(model);
            if (!result) continue;
            const Reports reports = WriteBoth(f, model, *result);
            const std::string what = std::to_string(land) + "/" + std::to_string(sea);
            ASSERT_TRUE(reports.conditionsOk && reports.resultsOk)
                << what << ": " << reports.reason;
            ExpectWellFormed(reports.conditions, what + " conditions");
            ExpectWellFormed(reports.results, what + " results");
        }
    }
}

TEST(ShippedFormatFile, WritesBothReportsForEveryBenchmarkCase) {
    ReportFixture f;  // its folder is the temporary folder
    int written = 0;
    for (const BenchmarkCase& c : BenchmarkCases()) {
        PrintSession session(ReportDataFiles::InFolder(MIBROX_BIN_DIR));
        session.BeginBuild({});
        std::string reason;
        for (auto write : {WriteConditionsReport, WriteResultReport}) {
            const std::string path = session.writer().NewReportFileName();
            session.writer().SetCurrentReportFile(path);
            ASSERT_TRUE(write(session, c.model, *c.result, &reason)) << c.path << ": " << reason;
            const std::string bytes = ScratchFolder::read(path);
            ExpectWellFormed(bytes, c.path);
            EXPECT_EQ(bytes.find("***"), std::string::npos) << c.path << ": a value too wide";
        }
        session.RemoveAllFiles();
        ++written;
    }
    EXPECT_GE(written, 4);
}

}  // namespace
