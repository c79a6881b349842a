#include "foundation/NumberRoutines.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <utility>

#include "foundation/WindowPlacement.h"

namespace {

TEST(NumberRoutines, TwipsToMillimetres) {
    EXPECT_EQ(TwipsToMm(1440), 25.4);
    EXPECT_EQ(TwipsToMm(0), 0.0);
    EXPECT_DOUBLE_EQ(TwipsToMm(200), 200.0 / 1440.0 * 25.4);
}

TEST(NumberRoutines, SplitsMantissaAndExponent) {
    double m = 99.0;
    std::int32_t e = 99;
    ASSERT_TRUE(SplitMantissaExponent(0.0, m, e));
    EXPECT_EQ(m, 0.0);
    EXPECT_EQ(e, 0);
    ASSERT_TRUE(SplitMantissaExponent(-0.05, m, e));
    EXPECT_DOUBLE_EQ(m, -5.0);
    EXPECT_EQ(e, -2);
    ASSERT_TRUE(SplitMantissaExponent(-350.0, m, e));
    EXPECT_DOUBLE_EQ(m, -3.5);
    EXPECT_EQ(e, 2);
    ASSERT_TRUE(SplitMantissaExponent(1000.0, m, e));  // (1, 3) or (10, 2)
    EXPECT_DOUBLE_EQ(m * (e == 3 ? 1.0 : 10.0), e == 3 ? 1.0 : 100.0);
    EXPECT_FALSE(SplitMantissaExponent(std::numeric_limits<double>::quiet_NaN(), m, e));
    EXPECT_FALSE(SplitMantissaExponent(std::numeric_limits<double>::infinity(), m, e));
}

struct AxisCase {
    double minimum, maximum;
    double start, step;
    int divisions;
};

void PrintTo(const AxisCase& c, std::ostream* os) {
    *os << c.minimum << " to " << c.maximum;
}

class CalcAxisScaleTable : public ::testing::TestWithParam<AxisCase> {};

TEST_P(CalcAxisScaleTable, ChoosesTheDocumentedAxis) {
    const AxisCase& c = GetParam();
    std::int16_t divisions = 0;
    double start = 0, step = 0;
    ASSERT_TRUE(CalcAxisScale(c.minimum, c.maximum, divisions, start, step));
    EXPECT_DOUBLE_EQ(start, c.start);
    EXPECT_DOUBLE_EQ(step, c.step);
    EXPECT_EQ(divisions, c.divisions);
    EXPECT_LE(start, c.minimum + 1e-9);
    EXPECT_GE(start + divisions * step, c.maximum - 1e-9);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, CalcAxisScaleTable,
                         ::testing::Values(AxisCase{-350, 120, -400, 100, 6},
                                           AxisCase{0, 3.7, 0, 0.5, 8}, AxisCase{-12, 0, -12, 2, 6},
                                           AxisCase{0, 0, -0.2, 0.1, 3},
                                           AxisCase{0, 1000, 0, 100, 10},
                                           AxisCase{-45.3, 80.1, -50, 10, 14},
                                           // Two divisions are halved into four (step 6).
                                           AxisCase{4.95, 5.05, 4.8, 0.1, 4}),
                         [](const auto& info) {
                             std::ostringstream name;
                             PrintTo(info.param, &name);
                             std::string id;
                             for (const char ch : name.str())
                                 id += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return id;
                         });

// Large finite ends gave true with infinite start and step. Either the axis fails, outputs
// untouched, or it is finite and covers the range.
TEST(CalcAxisScale, largeFiniteInputFails) {
    const std::pair<double, double> ranges[] = {
        {5e306, 5e306}, {-5e306, -5e306}, {-5e306, 5e306},   {0, 5e306},
        {-5e306, 0},    {1e307, 1.7e308}, {-1.7e308, -1e307}};
    int failed = 0;
    for (const auto& [minimum, maximum] : ranges) {
        std::int16_t divisions = 7;
        double start = 1, step = 1;
        if (!CalcAxisScale(minimum, maximum, divisions, start, step)) {
            ++failed;
            EXPECT_EQ(divisions, 7);
            EXPECT_EQ(start, 1.0);
            EXPECT_EQ(step, 1.0);
            continue;
        }
        EXPECT_TRUE(std::isfinite(start) && std::isfinite(step)) << minimum << " " << maximum;
        EXPECT_LE(start, minimum);
        EXPECT_GE(start + divisions * step, maximum * (1 - 1e-12));
    }
    EXPECT_GT(failed, 0);
    std::int16_t divisions = 7;
    double start = 1, step = 1;
    EXPECT_FALSE(CalcAxisScale(5e306, 5e306, divisions, start, step));
    EXPECT_FALSE(CalcAxisScale(-5e306, -5e306, divisions, start, step));
}

TEST(CalcAxisScale, FailsInsteadOfHanging) {
    std::int16_t divisions = 7;
    double start = 1, step = 1;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(CalcAxisScale(nan, 1, divisions, start, step));
    EXPECT_FALSE(CalcAxisScale(0, inf, divisions, start, step));
    EXPECT_FALSE(CalcAxisScale(-1e308, 1.7e308, divisions, start, step));
    EXPECT_EQ(divisions, 7);
    EXPECT_EQ(start, 1.0);
    // A tiny range still finishes; its step rounds to 0 at two decimals.
    ASSERT_TRUE(CalcAxisScale(0, 0.004, divisions, start, step));
    EXPECT_EQ(step, 0.0);
}

TEST(WindowPlacement, ConvertsAndCentres) {
    EXPECT_EQ(PixelsToTwips(100, 96), 1500);
    EXPECT_EQ(TwipsToPixels(1500, 96), 100);
    EXPECT_EQ(PixelsToTwips(100, 144), 1000);
    EXPECT_EQ(PixelsToTwips(100, 0), 1500);  // unknown dpi counts as 96

    EXPECT_EQ(PlaceOnAxis(0, 15360, 6001), 4679);  // (15360 - 6001) \ 2
    EXPECT_EQ(PlaceOnAxis(-20, 15360, 6000), 4680);
    EXPECT_EQ(PlaceOnAxis(1, 15360, 6000), 1);
    EXPECT_EQ(PlaceOnAxis(0, 6000, 9000), 0);  // window larger than the screen
    EXPECT_EQ(PlaceOnAxis(20000, 15360, 6000), 20000);
    EXPECT_EQ(PlaceMainWindowOnAxis(20000, 15360, 6000), 4680);
    EXPECT_EQ(PlaceMainWindowOnAxis(15360, 15360, 6000), 4680);
    EXPECT_EQ(PlaceMainWindowOnAxis(15359, 15360, 6000), 15359);
}

}  // namespace
