// The wall analysis end to end: the beam solution's physics, the table, failures.

#include "engine/WallAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/WallAnalysisDetail.h"
#include "foundation/Numeric.h"
#include "tests/engine/WallTestCases.h"

namespace {

using walltest::Conditions;
using walltest::QuayModel;
using walltest::UniformModel;

struct Outcome {
    std::unique_ptr<AnalysisResult> r = std::make_unique<AnalysisResult>();
    bool ok = false;
    const SectionRow& row(int i) const { return r->SectionTable(i); }
};

Outcome Analyse(const InputModel& m) {
    Outcome run;
    run.ok = RunWallAnalysis(m, *run.r);
    return run;
}

TEST(WallAnalysisPhysics, boundaryConditionsHoldAtTopTieAndTip) {
    const Outcome run = Analyse(QuayModel());
    ASSERT_TRUE(run.ok);
    const AnalysisResult& r = *run.r;
    // Free top: no moment, no shear.
    EXPECT_DOUBLE_EQ(run.row(1)(1), 3.0);
    EXPECT_NEAR(run.row(1)(4), 0, 1e-9);
    EXPECT_NEAR(run.row(1)(5), 0, 1e-9);
    // Tip: deflection, slope and moment zero; the shear there is the tip reaction.
    const SectionRow& tip = run.row(r.SectionRowCount);
    EXPECT_DOUBLE_EQ(tip(1), r.ComputedTipLevel);
    EXPECT_NEAR(tip(2), 0, 1e-9);
    EXPECT_NEAR(tip(3), 0, 1e-9);
    EXPECT_NEAR(tip(4), 0, 1e-7);
    EXPECT_NEAR(tip(5), r.TipReaction, 1e-7);
    // The tie appears twice: deflection, slope and moment continue, the shear jumps by Ap.
    const SectionRow& above = run.row(r.UpperRowCount);
    const SectionRow& below = run.row(r.UpperRowCount + 1);
    EXPECT_DOUBLE_EQ(above(1), 1.5);
    EXPECT_DOUBLE_EQ(below(1), 1.5);
    EXPECT_NEAR(above(2), below(2), 1e-12);
    EXPECT_NEAR(above(3), below(3), 1e-12);
    EXPECT_NEAR(above(4), below(4), 1e-9);
    EXPECT_NEAR(below(5) - above(5), r.TieReaction, 1e-9);
    // The tie hardly moves at the embedment found (1 mm bracket of the root).
    EXPECT_LT(std::fabs(above(2)), 0.002);
}

TEST(WallAnalysisPhysics, tableObeysTheBeamEquations) {
    // Moment = integral of shear, EI * slope' = -moment, deflection' = slope, along depth.
    Conditions c;
    c.pitch = 0.05;
    const Outcome run = Analyse(QuayModel(c));
    ASSERT_TRUE(run.ok);
    const double EI = 2e8 * 4e-4;
    for (int i = 1; i < run.r->SectionRowCount; ++i) {
        const SectionRow& a = run.row(i);
        const SectionRow& b = run.row(i + 1);
        const double h = a(1) - b(1);  // depth step
        if (h < 0.01) continue;        // the tie's two rows
        EXPECT_NEAR((b(4) - a(4)) / h, (a(5) + b(5)) / 2, 0.2) << i;
        EXPECT_NEAR(EI * (b(3) - a(3)) / h, -(a(4) + b(4)) / 2, 0.2) << i;
        EXPECT_NEAR((b(2) - a(2)) / h, (a(3) + b(3)) / 2, 1e-5) << i;
    }
}

TEST(WallAnalysisPhysics, doubleStiffnessHalvesDeflectionsOnly) {
    const Outcome base = Analyse(QuayModel());
    Conditions c;
    c.young = 400000;
    const Outcome stiff = Analyse(QuayModel(c));
    ASSERT_TRUE(base.ok && stiff.ok);
    EXPECT_DOUBLE_EQ(stiff.r->ComputedEmbedment, base.r->ComputedEmbedment);
    ASSERT_EQ(stiff.r->SectionRowCount, base.r->SectionRowCount);
    for (int i = 1; i <= base.r->SectionRowCount; ++i) {
        EXPECT_NEAR(stiff.row(i)(2), base.row(i)(2) / 2, 1e-12) << i;
        EXPECT_NEAR(stiff.row(i)(4), base.row(i)(4), 1e-9) << i;
    }
    EXPECT_NEAR(stiff.r->DeltaMax, base.r->DeltaMax / 2, 1e-9);
    EXPECT_NEAR(stiff.r->MmaxValue, base.r->MmaxValue, 1e-9);
}

TEST(WallAnalysisPhysics, uniformCaseHasItsClosedFormEmbedmentAndReactions) {
    // q = 4 p: x = h (sqrt(2) - 1). The tie carries the moment of all loads about the tip.
    const Outcome run = Analyse(UniformModel(10, 10, 40));
    ASSERT_TRUE(run.ok);
    const double x = 10 * (std::sqrt(2.0) - 1);
    EXPECT_NEAR(run.r->ComputedEmbedment, x, 0.0015);
    const double L = run.r->ResultTieLevel - run.r->ComputedTipLevel;
    const double xe = run.r->ResultDesignLevel - run.r->ComputedTipLevel;
    const double momentAboutTip = 10 * L * L / 2 - 40 * xe * xe / 2;
    EXPECT_NEAR(run.r->TieReaction, momentAboutTip / L, 1e-9);
    EXPECT_NEAR(run.r->TipReaction, run.r->TieReaction - (10 * L - 40 * xe), 1e-9);
    EXPECT_EQ(run.r->UpperRowCount, 1);  // top at the tie: one row
}

TEST(WallAnalysisResults, extremesLieWhereTheShearChangesSign) {
    const Outcome run = Analyse(QuayModel());
    ASSERT_TRUE(run.ok);
    const AnalysisResult& r = *run.r;
    double maxMoment = -1e300, minMoment = 1e300;
    for (int i = 1; i <= r.SectionRowCount; ++i) {
        maxMoment = std::max(maxMoment, run.row(i)(4));
        minMoment = std::min(minMoment, run.row(i)(4));
    }
    EXPECT_GE(r.MmaxValue, maxMoment - 1e-6);
    EXPECT_LE(r.MminValue, minMoment + 1e-6);
    EXPECT_LT(std::fabs(r.MmaxShear), 1.0);
    EXPECT_LT(std::fabs(r.MminShear), 1.0);
    EXPECT_GT(r.MmaxLevel, r.ZeroMomentLevel);
    EXPECT_GT(r.ZeroMomentLevel, r.MminLevel);
    EXPECT_GT(r.MminLevel, r.ComputedTipLevel);
    EXPECT_DOUBLE_EQ(r.ResultSummary(SummaryStressAtMmax), std::fabs(r.MmaxValue) / 2e-3 / 1000);
    EXPECT_DOUBLE_EQ(r.ResultSummary(SummaryStressAtMmin), std::fabs(r.MminValue) / 2e-3 / 1000);
}

TEST(WallAnalysisResults, embedmentIsRoundedAndCopiesAreMade) {
    InputModel m = QuayModel();
    m.CondData(CondTitle) = Slot::text("岸壁 A");
    const Outcome run = Analyse(m);
    ASSERT_TRUE(run.ok);
    const AnalysisResult& r = *run.r;
    const double x = -10.0 - r.ComputedTipLevel;
    EXPECT_EQ(r.ComputedEmbedment, RoundHalfUp(x, 3));
    EXPECT_NE(r.ComputedEmbedment, x);
    EXPECT_EQ(r.RequiredEmbedment, RoundHalfUp(1.2 * r.ComputedEmbedment, 3));
    EXPECT_EQ(r.RequiredTipLevel, -10.0 - r.RequiredEmbedment);
    EXPECT_EQ(r.ResultSummary(SummaryTipLevel), -10.0 - r.ComputedEmbedment);
    EXPECT_EQ(r.ResultSummary(SummaryMmax), r.MmaxValue);
    EXPECT_EQ(r.ResultSummary(SummaryTieReaction), r.TieReaction);
    EXPECT_EQ(r.ResultCaseTitle, "岸壁 A");
    EXPECT_EQ(r.ResultYoung, 200000);
    EXPECT_EQ(r.ResultInertia, 40000);
    EXPECT_EQ(r.LayerRowCounts(1), 20);
    EXPECT_EQ(r.LayerRowCounts(2), 20);
    // Layers placed downward from the top and from D.L.; pressures as entered.
    EXPECT_DOUBLE_EQ(r.LayerTable(1)(2)(1), 1.7);
    EXPECT_DOUBLE_EQ(r.LayerTable(1)(2)(2), 0.4);
    EXPECT_DOUBLE_EQ(r.LayerTable(2)(1)(1), -10.0);
    EXPECT_DOUBLE_EQ(r.LayerTable(2)(2)(2), -13.0);
    EXPECT_DOUBLE_EQ(r.LayerTable(2)(2)(5), 108.0);
    double dmax = -1e300, dmin = 1e300;
    for (int i = 1; i <= r.SectionRowCount; ++i) {
        dmax = std::max(dmax, run.row(i)(2) * 1000);
        dmin = std::min(dmin, run.row(i)(2) * 1000);
    }
    EXPECT_EQ(r.DeltaMax, dmax);
    EXPECT_EQ(r.DeltaMin, dmin);
}

// Each summary entry by its documented number, each layer field by its number: a swap of
// entries 3 and 5, or entry 8 set to Ap, passed every other test.
TEST(WallAnalysisResults, summaryEntriesAndLayerFieldsHoldTheirOwnValues) {
    const InputModel m = QuayModel();
    const Outcome run = Analyse(m);
    ASSERT_TRUE(run.ok);
    const AnalysisResult& r = *run.r;
    const double expected[10] = {-10.0 - r.ComputedEmbedment,
                                 r.MmaxValue,
                                 r.MmaxLevel,
                                 r.MminValue,
                                 r.MminLevel,
                                 r.ZeroMomentLevel,
                                 r.TieReaction,
                                 r.TipReaction,
                                 std::fabs(r.MmaxValue) / 2e-3 / 1000,
                                 std::fabs(r.MminValue) / 2e-3 / 1000};
    for (int i = 1; i <= 10; ++i) EXPECT_DOUBLE_EQ(r.ResultSummary(i), expected[i - 1]) << i;
    // The entries differ from each other, so that a swap cannot go unnoticed.
    EXPECT_NE(r.MmaxLevel, r.MminLevel);
    EXPECT_NE(r.TieReaction, r.TipReaction);
    EXPECT_NE(r.MmaxValue, r.MminValue);

    for (int side = 1; side <= 2; ++side) {
        const LoadTable& in = side == 1 ? m.LandLoads : m.SeaLoads;
        double level = side == 1 ? 3.0 : -10.0;
        for (int i = 1; i <= 20; ++i) {
            const auto& row = r.LayerTable(side)(i);
            const double t = *in(1, i).toNumber();
            EXPECT_DOUBLE_EQ(row(1), level) << side << ' ' << i;
            EXPECT_DOUBLE_EQ(row(2), level - t) << side << ' ' << i;
            EXPECT_EQ(row(3), t) << side << ' ' << i;
            EXPECT_EQ(row(4), *in(2, i).toNumber()) << side << ' ' << i;
            EXPECT_EQ(row(5), *in(3, i).toNumber()) << side << ' ' << i;
            EXPECT_NE(row(4), row(5));
            level -= t;
        }
    }
}

// The extremes are taken over every row: the quay wall's smallest deflection is at its top
// (row 1), the uniform wall's at its tip (the last row).
TEST(WallAnalysisResults, deflectionExtremesIncludeTheFirstAndLastRows) {
    const Outcome quay = Analyse(QuayModel());
    ASSERT_TRUE(quay.ok);
    EXPECT_EQ(quay.r->DeltaMin, quay.row(1)(2) * 1000);
    for (int i = 2; i <= quay.r->SectionRowCount; ++i)
        EXPECT_GT(quay.row(i)(2) * 1000, quay.r->DeltaMin);

    const Outcome uniform = Analyse(UniformModel(10, 10, 40));
    ASSERT_TRUE(uniform.ok);
    const int last = uniform.r->SectionRowCount;
    EXPECT_EQ(uniform.r->DeltaMin, uniform.row(last)(2) * 1000);
    for (int i = 1; i < last; ++i) EXPECT_GT(uniform.row(i)(2) * 1000, uniform.r->DeltaMin);
}

TEST(WallAnalysisTable, rowsLieOnThePitchFromEachSegmentStart) {
    // H = 2, tie 0, pitch 0.5: 2.0, 1.5, 1.0, 0.5, 0.0, then 0.0, -0.5, ... the tip.
    Conditions c;
    c.top = 2.0;
    c.tie = 0.0;
    c.design = -5.0;
    InputModel m = QuayModel(c);
    const Outcome run = Analyse(m);
    ASSERT_TRUE(run.ok);
    const AnalysisResult& r = *run.r;
    ASSERT_EQ(r.UpperRowCount, 5);
    for (int i = 1; i <= 5; ++i) EXPECT_DOUBLE_EQ(run.row(i)(1), 2.5 - 0.5 * i);
    const int lower = r.SectionRowCount - r.UpperRowCount;
    for (int i = 1; i < lower; ++i) EXPECT_NEAR(run.row(5 + i)(1), -0.5 * (i - 1), 1e-9);
    EXPECT_DOUBLE_EQ(run.row(r.SectionRowCount)(1), r.ComputedTipLevel);
    EXPECT_GT(run.row(r.SectionRowCount - 1)(1), r.ComputedTipLevel);
}

TEST(WallAnalysisTable, pitchOffGridIsPulledBack) {
    // 0.3 m added ten times drifts off the millimetre grid; every row stays on it.
    Conditions c;
    c.pitch = 0.3;
    const Outcome run = Analyse(QuayModel(c));
    ASSERT_TRUE(run.ok);
    for (int i = 1; i < run.r->SectionRowCount; ++i) {
        const double depth = i <= run.r->UpperRowCount ? 3.0 - run.row(i)(1) : 1.5 - run.row(i)(1);
        const double steps = depth / 0.3;
        EXPECT_NEAR(steps, std::round(steps), 1e-9) << i;
    }
}

// A pitch of 12.5 mm is 12 mm after rounding half to even: the rows fall off the grid and
// the remainder rule pulls them back (0, 12.5, 25, 25 + 12.5 - 1 = 36.5, then 36.5 mm, which
// is 37 mm in binary, + 12.5 - 1 = 48 mm, 60.5 mm).
TEST(WallAnalysisTable, remainderRulePullsRowsBackOntoThePitch) {
    Conditions c;
    c.pitch = 0.0125;
    const Outcome run = Analyse(QuayModel(c));
    ASSERT_TRUE(run.ok);
    const double levels[] = {3.0, 2.9875, 2.975, 2.9635, 2.952, 2.9395};
    for (int i = 1; i <= 6; ++i) EXPECT_NEAR(run.row(i)(1), levels[i - 1], 1e-12) << i;
    EXPECT_DOUBLE_EQ(run.row(run.r->UpperRowCount)(1), 1.5);
}

TEST(WallAnalysisFailures, refusedInputsFail) {
    auto check = [](InputModel m, const char* what) {
        const Outcome run = Analyse(m);
        EXPECT_FALSE(run.ok) << what;
    };
    InputModel empty;
    ClearInputData(empty);
    check(empty, "empty model");
    check(UniformModel(10, 0, 0), "all loads zero");
    InputModel m = QuayModel();
    m.CondData(CondTieLevel) = Slot::number(-10.0);
    check(m, "tie at D.L.");
    m = QuayModel();
    m.CondData(CondPitch) = Slot{};
    check(m, "pitch empty (a version 1.00 file)");
    m.CondData(CondPitch) = Slot::number(0.0004);
    check(m, "pitch below half a millimetre");
    m = QuayModel();
    m.CondData(CondYoung) = Slot::text("2e5 N");
    check(m, "a text that is not a number");
    m = QuayModel();
    m.CondData(CondInertia) = Slot::number(0);
    check(m, "EI = 0");
    m = QuayModel();
    m.CondData(CondDesignLevel) = Slot::number(1e308);
    check(m, "overflowing elevations");
}

TEST(WallAnalysisFailures, tooManyRowsFailAfterWritingTheEarlierFields) {
    Conditions c;
    const Outcome coarse = Analyse(QuayModel(c));
    ASSERT_TRUE(coarse.ok);
    c.pitch = 0.001;  // about 20 000 rows
    Outcome fine;
    fine.r->UpperRowCount = -1;
    fine.ok = RunWallAnalysis(QuayModel(c), *fine.r);
    EXPECT_FALSE(fine.ok);
    EXPECT_EQ(fine.r->ComputedTipLevel, coarse.r->ComputedTipLevel);
    EXPECT_EQ(fine.r->TieReaction, coarse.r->TieReaction);
    EXPECT_EQ(fine.r->UpperRowCount, 1501);
    EXPECT_NEAR(fine.row(9999)(1), 1.5 - 0.001 * (9999 - 1502), 1e-9);
    EXPECT_EQ(fine.r->ComputedEmbedment, 0);  // never reached
}

TEST(WallAnalysisFailures, pitchOfZeroMillimetresFailsAtTheFirstStep) {
    Conditions c;
    c.pitch = 0.0004;
    Outcome run;
    run.r->SectionTable(1)(1) = 99;
    run.ok = RunWallAnalysis(QuayModel(c), *run.r);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.row(1)(1), 3.0);  // the first row was written
    EXPECT_EQ(run.r->UpperRowCount, 0);
}

// Conditions that no real wall has, from a file that never passed the form's range checks,
// used to give deflections of millions of millimetres or a negative required embedment.
struct Impossible {
    const char* name;
    Conditions c;
    bool runs;
};

void PrintTo(const Impossible& c, std::ostream* os) {
    *os << c.name;
}

Impossible With(const char* name, void (*change)(Conditions&), bool runs) {
    Impossible i{name, {}, runs};
    change(i.c);
    return i;
}

class ImpossibleConditions : public ::testing::TestWithParam<Impossible> {};

TEST_P(ImpossibleConditions, physicallyImpossibleConditionsFail) {
    const Impossible& p = GetParam();
    Outcome run;
    run.r->ComputedTipLevel = 42;
    run.ok = RunWallAnalysis(QuayModel(p.c), *run.r);
    EXPECT_EQ(run.ok, p.runs);
    if (!p.runs) {
        EXPECT_EQ(run.r->ComputedTipLevel, 42);  // refused before anything is written
    } else {
        EXPECT_GT(run.r->RequiredEmbedment, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImpossibleConditions,
    ::testing::Values(With(
                          "youngZero", [](Conditions& c) { c.young = 0; }, false),
                      With(
                          "youngNegative", [](Conditions& c) { c.young = -200000; }, false),
                      With(
                          "inertiaZero", [](Conditions& c) { c.inertia = 0; }, false),
                      With(
                          "inertiaNegative", [](Conditions& c) { c.inertia = -1; }, false),
                      With(
                          "factorZero", [](Conditions& c) { c.factor = 0; }, false),
                      With(
                          "factorNegative", [](Conditions& c) { c.factor = -1.2; }, false),
                      With(
                          "pitchZero", [](Conditions& c) { c.pitch = 0; }, false),
                      With(
                          "pitchNegative", [](Conditions& c) { c.pitch = -0.5; }, false),
                      With(
                          "tieAboveTop", [](Conditions& c) { c.tie = 3.001; }, false),
                      // Outside a range the form checks, as only a file can be: an E of
                      // 1e-300 gave deflections of 300 digits.
                      With(
                          "youngFarBelowFormRange", [](Conditions& c) { c.young = 1e-300; }, false),
                      With(
                          "youngBelowFormRange", [](Conditions& c) { c.young = 9999.5; }, false),
                      With(
                          "designBelowFormRange", [](Conditions& c) { c.design = -1000; }, false),
                      With(
                          "pitchAboveFormRange", [](Conditions& c) { c.pitch = 1.5; }, false),
                      // At the limits, below the pitch's (more rows only) or in a box the
                      // form does not check: analysed.
                      With(
                          "youngAtFormLimit", [](Conditions& c) { c.young = 10000; }, true),
                      With(
                          "pitchBelowFormRange", [](Conditions& c) { c.pitch = 0.05; }, true),
                      With(
                          "factorAboveFormRange", [](Conditions& c) { c.factor = 3.0; }, true),
                      With(
                          "tieAtTop", [](Conditions& c) { c.tie = 3.0; }, true)),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WallAnalysisFailures, noResultFieldIsWrittenWhenTheSearchFails) {
    Outcome run;
    run.r->ComputedTipLevel = 42;
    run.ok = RunWallAnalysis(UniformModel(10, 0, 0), *run.r);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.r->ComputedTipLevel, 42);
}

TEST(WallAnalysisResults, shorterRunLeavesOlderRowsBeyondTheCount) {
    Conditions c;
    c.pitch = 0.1;
    auto r = std::make_unique<AnalysisResult>();
    ASSERT_TRUE(RunWallAnalysis(QuayModel(c), *r));
    const int longCount = r->SectionRowCount;
    const double old = r->SectionTable(longCount)(1);
    ASSERT_TRUE(RunWallAnalysis(QuayModel(), *r));
    EXPECT_LT(r->SectionRowCount, longCount);
    EXPECT_EQ(r->SectionTable(longCount)(1), old);
}

}  // namespace

namespace {

// A segment 2 of 5 m without loads whose shear is the constant (M1 + M2) / L2.
wall::BeamSolution ConstantShear(double shear, const wall::SegmentItems& none) {
    wall::BeamSolution b;
    b.EI = 1;
    b.L2 = 5;
    b.M1 = 0;
    b.M2 = shear * 5;
    b.items[0] = b.items[1] = &none;
    return b;
}

TEST(ExtremeSearches, probesThatLeaveTheSegmentWithoutANegativeShearFail) {
    auto none = std::make_unique<wall::SegmentItems>();
    double m = 0;
    wall::SectionState at;
    EXPECT_FALSE(wall::FindUpperExtreme(ConstantShear(3, *none), m, at));
    EXPECT_FALSE(wall::FindLowerExtreme(ConstantShear(0, *none), m, at));
}

TEST(ExtremeSearches, negativeShearAtTheFirstProbeClosesOnTheSegmentEnd) {
    auto none = std::make_unique<wall::SegmentItems>();
    double m = 0;
    wall::SectionState at;
    // Negative right below the tie: the bisection spans 0..0.4 m and ends at the tie.
    ASSERT_TRUE(wall::FindUpperExtreme(ConstantShear(-2, *none), m, at));
    EXPECT_LT(m, 0.001);
    EXPECT_GT(m, 0);
    EXPECT_EQ(at.shear, -2);
    // Negative throughout the last 0.2 m: the upward search closes on the tip.
    ASSERT_TRUE(wall::FindLowerExtreme(ConstantShear(-2, *none), m, at));
    EXPECT_GT(m, 5 - 0.001);
    EXPECT_LT(m, 5);
}

}  // namespace

namespace {

// A linear pressure split into n equal layers over `depth` metres.
void LinearLayers(InputModel& m, bool land, int n, double depth, double p0, double p1) {
    for (int i = 0; i < n; ++i) {
        const double t0 = static_cast<double>(i) / n, t1 = static_cast<double>(i + 1) / n;
        walltest::AddLayer(m, land, depth / n, p0 + (p1 - p0) * t0, p0 + (p1 - p0) * t1);
    }
}

TEST(WallAnalysisResults, fullTablesOf99LayersGiveTheSameWallAsOneLayer) {
    auto model = [](int n) {
        InputModel m;
        ClearInputData(m);
        walltest::SetConditions(m, Conditions{});
        LinearLayers(m, true, n, 45, 5, 140);
        LinearLayers(m, false, n, 30, 0, 1080);
        return m;
    };
    const Outcome one = Analyse(model(1));
    const Outcome full = Analyse(model(99));
    ASSERT_TRUE(one.ok);
    ASSERT_TRUE(full.ok);
    EXPECT_EQ(full.r->LayerRowCounts(1), 99);
    EXPECT_EQ(full.r->ComputedEmbedment, one.r->ComputedEmbedment);
    EXPECT_NEAR(full.r->MmaxValue, one.r->MmaxValue, 1e-6);
    EXPECT_NEAR(full.r->TieReaction, one.r->TieReaction, 1e-6);
    EXPECT_NEAR(full.r->DeltaMax, one.r->DeltaMax, 1e-6);
}

}  // namespace
