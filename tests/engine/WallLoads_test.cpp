// Load model of the wall analysis: clipping, trapezoid integrals, residual and search.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "engine/WallAnalysisDetail.h"
#include "tests/engine/WallTestCases.h"

using namespace wall;

namespace {

WorkLayers Layers(std::initializer_list<Layer> rows) {
    WorkLayers w;
    for (const Layer& l : rows) w.rows[static_cast<std::size_t>(w.count++)] = l;
    return w;
}

struct ClipCase {
    const char* name;
    WorkLayers layers;
    double a, b;
    std::vector<LoadItem> expected;
};

void PrintTo(const ClipCase& c, std::ostream* os) {
    *os << c.name;
}

class ClipTest : public ::testing::TestWithParam<ClipCase> {};

TEST_P(ClipTest, givesTheItemsOfTheSegment) {
    const ClipCase& c = GetParam();
    ClippedItems out;
    ASSERT_TRUE(ClipLoadLayers(c.layers, c.a, c.b, out));
    ASSERT_EQ(out.count, static_cast<int>(c.expected.size()));
    for (int i = 0; i < out.count; ++i) {
        const LoadItem& got = out.items[static_cast<std::size_t>(i)];
        const LoadItem& want = c.expected[static_cast<std::size_t>(i)];
        EXPECT_NEAR(got.p0, want.p0, 1e-12) << i;
        EXPECT_NEAR(got.p1, want.p1, 1e-12) << i;
        EXPECT_NEAR(got.offset, want.offset, 1e-12) << i;
        EXPECT_NEAR(got.length, want.length, 1e-12) << i;
    }
}

// Segment [2, 5] unless stated.
INSTANTIATE_TEST_SUITE_P(
    Cases, ClipTest,
    ::testing::Values(
        ClipCase{"coversSegment", Layers({{10, 0, 10}}), 2, 3, {{2, 5, 0, 3}}},
        ClipCase{"insideSegment", Layers({{3, 0, 0}, {1, 4, 6}}), 2, 3, {{4, 6, 1, 1}}},
        ClipCase{"startsAboveEndsInside", Layers({{1, 0, 0}, {3, 10, 40}}), 2, 3, {{20, 40, 0, 2}}},
        ClipCase{"startsInsideRunsPast", Layers({{3, 0, 0}, {4, 10, 50}}), 2, 3, {{10, 30, 1, 2}}},
        // A layer ending exactly at the segment end lies inside it.
        ClipCase{"endsAtSegmentEnd", Layers({{2, 0, 0}, {3, 1, 2}}), 2, 3, {{1, 2, 0, 3}}},
        ClipCase{"startsAboveEndsAtEnd", Layers({{5, 1, 1}}), 2, 3, {{1, 1, 0, 3}}},
        // One ending exactly at the segment start contributes nothing.
        ClipCase{"endsAtSegmentStart", Layers({{2, 5, 5}, {10, 0, 0}}), 2, 3, {}},
        ClipCase{"startsAtSegmentEnd", Layers({{5, 0, 0}, {2, 9, 9}}), 2, 3, {}},
        // Resultant 0.0009 kN/m is dropped, 0.001 kept.
        ClipCase{"dropsTinyResultant",
                 Layers({{2, 0, 0}, {0.0009, 1, 1}, {0.001, 1, 1}}),
                 2,
                 3,
                 {{1, 1, 0.0009, 0.001}}},
        // A layer of thickness 0 adds nothing and is never divided by.
        ClipCase{"zeroThickness", Layers({{0, 7, 7}, {4, 2, 2}}), 0, 3, {{2, 2, 0, 3}}},
        ClipCase{"layersInOrder",
                 Layers({{1, 1, 1}, {1, 2, 2}, {1, 3, 3}}),
                 0,
                 3,
                 {{1, 1, 0, 1}, {2, 2, 1, 1}, {3, 3, 2, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClipLoadLayers, failsOnAHundredthItem) {
    WorkLayers w;
    for (int i = 0; i < 100; ++i) w.rows[static_cast<std::size_t>(w.count++)] = {0.5, 1, 1};
    ClippedItems out;
    EXPECT_FALSE(ClipLoadLayers(w, 0, 100, out));
    w.count = 99;
    ASSERT_TRUE(ClipLoadLayers(w, 0, 100, out));
    EXPECT_EQ(out.count, 99);
}

// The integrals by Simpson's rule: S = int p, M = int p (z - s), T = int p (z - s)^2 / 2,
// Y = int p (z - s)^3 / 6 over s from 0 to z.
Integrals Numeric(double p0, double p1, double a, double b, double z) {
    auto p = [&](double s) { return (s < a || s > a + b) ? 0.0 : p0 + (p1 - p0) * (s - a) / b; };
    const double lo = a, hi = std::min(z, a + b);
    Integrals r;
    if (hi <= lo) return r;
    const int n = 2000;
    const double h = (hi - lo) / n;
    for (int i = 0; i <= n; ++i) {
        const double s = lo + i * h;
        const double w = (i == 0 || i == n) ? 1 : (i % 2 ? 4 : 2);
        const double d = z - s;
        r.S += w * p(s);
        r.M += w * p(s) * d;
        r.T += w * p(s) * d * d / 2;
        r.Y += w * p(s) * d * d * d / 6;
    }
    r.S *= h / 3, r.M *= h / 3, r.T *= h / 3, r.Y *= h / 3;
    return r;
}

TEST(IntegrateTrapezoidLoad, matchesNumericIntegration) {
    const double p0 = 12.5, p1 = -4.0, a = 1.5, b = 2.5;
    for (double z : {0.0, 1.5, 1.6, 2.75, 4.0, 4.5, 9.0}) {
        Integrals got;
        ASSERT_TRUE(IntegrateTrapezoidLoad(p0, p1, a, b, z, got));
        const Integrals want = Numeric(p0, p1, a, b, z);
        EXPECT_NEAR(got.S, want.S, 1e-9) << z;
        EXPECT_NEAR(got.M, want.M, 1e-9) << z;
        EXPECT_NEAR(got.T, want.T, 1e-9) << z;
        EXPECT_NEAR(got.Y, want.Y, 1e-8) << z;
    }
}

TEST(IntegrateTrapezoidLoad, closedFormsOfAWholeItem) {
    // Uniform 10 kN/m2 over [0, 2], seen from z = 3: resultant 20 acting 2 m above z.
    Integrals r;
    ASSERT_TRUE(IntegrateTrapezoidLoad(10, 10, 0, 2, 3, r));
    EXPECT_DOUBLE_EQ(r.S, 20);
    EXPECT_DOUBLE_EQ(r.M, 40);
    EXPECT_NEAR(r.T, 10.0 / 6 * (27 - 1), 1e-12);  // int 10 (3 - s)^2 / 2 over [0, 2]
    EXPECT_NEAR(r.Y, 10.0 / 24 * (81 - 1), 1e-12);
    // A point before the item or at its start sees nothing.
    ASSERT_TRUE(IntegrateTrapezoidLoad(10, 10, 1, 2, 1, r));
    EXPECT_EQ(r.S, 0);
    EXPECT_EQ(r.Y, 0);
}

TEST(EvaluateEmbedmentResidual, placesLandAndSeaItemsOnBothSegments) {
    InputModel m = walltest::QuayModel();
    WorkingValues v;
    ASSERT_TRUE(ReadWorkingValues(m, v));
    auto s = std::make_unique<ResidualState>();
    ASSERT_TRUE(EvaluateEmbedmentResidual(v, 5, *s));
    EXPECT_DOUBLE_EQ(s->L1, 1.5);
    EXPECT_DOUBLE_EQ(s->L2, 16.5);
    // Segment 1 (1.5 m): land layers 1 (1.3 m) and part of 2; no sea load above D.L.
    EXPECT_EQ(s->segments[0].count, 2);
    // Segment 2: the rest of layer 2 and layers 3.. down to 16.5 m below the tie, then the
    // sea layers of the 5 m below D.L. (negated).
    const SegmentItems& seg2 = s->segments[1];
    int sea = 0;
    for (int i = 0; i < seg2.count; ++i) sea += seg2.items[static_cast<std::size_t>(i)].p1 < 0;
    EXPECT_EQ(sea, 4);  // 0-1.5, 1.5-3, 3-4.5, 4.5-5 (first sea layer starts at 0 kN/m2)
    EXPECT_DOUBLE_EQ(seg2.items[static_cast<std::size_t>(seg2.count - sea)].offset, 11.5);
    EXPECT_DOUBLE_EQ(s->seg2.S, SumIntegrals(seg2, 16.5).S);
    const double r =
        2 * s->seg2.M - s->seg1.M - 6 / 16.5 * s->seg2.T + 6 / (16.5 * 16.5) * s->seg2.Y;
    EXPECT_DOUBLE_EQ(s->r, r);
}

TEST(EvaluateEmbedmentResidual, zeroLowerSegmentFails) {
    InputModel m = walltest::QuayModel();
    m.CondData(CondTieLevel) = Slot::number(-10.0);  // tie at D.L.
    WorkingValues v;
    ASSERT_TRUE(ReadWorkingValues(m, v));
    auto s = std::make_unique<ResidualState>();
    EXPECT_FALSE(EvaluateEmbedmentResidual(v, 0, *s));
    EXPECT_TRUE(EvaluateEmbedmentResidual(v, 1, *s));
}

TEST(FindEmbedment, closesOnTheRootOfAUniformCase) {
    // k = sqrt(q / p) = 2: x = h (sqrt(2) - 1).
    InputModel m = walltest::UniformModel(10, 10, 40);
    WorkingValues v;
    ASSERT_TRUE(ReadWorkingValues(m, v));
    auto s = std::make_unique<ResidualState>();
    double x = 0;
    ASSERT_TRUE(FindEmbedment(v, x, *s));
    EXPECT_NEAR(x, 10 * (std::sqrt(2.0) - 1), 0.001);
    EXPECT_DOUBLE_EQ(s->L2, 10 + x);  // the state is that of the last evaluation
}

TEST(ReadWorkingValues, convertsUnitsAndRefusesText) {
    InputModel m = walltest::QuayModel();
    m.CondData(CondPitch) = Slot::number(0.0125);  // 12.5 mm: half to even
    WorkingValues v;
    ASSERT_TRUE(ReadWorkingValues(m, v));
    EXPECT_DOUBLE_EQ(v.E, 2e8);
    EXPECT_DOUBLE_EQ(v.I, 4e-4);
    EXPECT_DOUBLE_EQ(v.Z1, 2e-3);
    EXPECT_DOUBLE_EQ(v.EI, 2e8 * 4e-4);
    EXPECT_EQ(v.pitchMm, 12);
    EXPECT_EQ(v.seaLayers.count, 21);
    EXPECT_DOUBLE_EQ(v.seaLayers.rows[0].thickness, 13.0);
    EXPECT_DOUBLE_EQ(v.seaLayers.rows[2].top, -54.0);

    m.CondData(CondAllowableStress) = Slot::text("180");  // a text that is a number reads
    EXPECT_TRUE(ReadWorkingValues(m, v));
    m.CondData(CondAllowableStress) = Slot::text("abc");  // read though never used
    EXPECT_FALSE(ReadWorkingValues(m, v));
    m = walltest::QuayModel();
    m.SeaLoads(2, 3) = Slot::text("x");
    EXPECT_FALSE(ReadWorkingValues(m, v));
    m = walltest::QuayModel();
    m.LandLoadCount = 100;
    EXPECT_FALSE(ReadWorkingValues(m, v));
    m = walltest::QuayModel();
    m.CondData(CondPitch) = Slot::number(3e6);  // millimetres overflow
    EXPECT_FALSE(ReadWorkingValues(m, v));
}

}  // namespace
