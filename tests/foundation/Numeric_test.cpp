#include "foundation/Numeric.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace {

TEST(RoundHalfUp, WorkedExamples) {
    EXPECT_EQ(RoundHalfUp(1.2345, 3), 1.235);
    EXPECT_EQ(RoundHalfUp(-2.0005, 3), -2.001);
    EXPECT_EQ(RoundHalfUp(0.00004, 3), 0.0);
    EXPECT_EQ(RoundHalfUp(2.5, 0), 3.0);
    EXPECT_EQ(RoundHalfUp(-2.5, 0), -3.0);
    EXPECT_EQ(RoundHalfUp(0.0004, 3), 0.0);
    EXPECT_EQ(RoundHalfUp(12.3449999, 3), 12.345);
    EXPECT_EQ(RoundHalfUp(7.0, 3), 7.0);
}

TEST(RoundHalfUp, NudgeTurnsANearHalfIntoAHalf) {
    EXPECT_EQ(RoundHalfUp(2.49999, 0), 3.0);  // 2.49999 + 0.00001 reads 2.5
    EXPECT_EQ(RoundHalfUp(2.49998, 0), 2.0);
}

// Rounding 5e306 to 2 decimals overflowed to infinity; it fails instead.
TEST(RoundHalfUp, overflowFails) {
    double r = 7;
    EXPECT_FALSE(TryRoundHalfUp(5e306, 2, r));
    EXPECT_FALSE(TryRoundHalfUp(-5e306, 2, r));
    EXPECT_FALSE(TryRoundHalfUp(std::numeric_limits<double>::infinity(), 2, r));
    EXPECT_EQ(r, 7.0);
    EXPECT_FALSE(std::isinf(RoundHalfUp(5e306, 2)));
    EXPECT_FALSE(std::isfinite(RoundHalfUp(5e306, 2)));
    ASSERT_TRUE(TryRoundHalfUp(5e300, 2, r));  // large but representable once scaled
    EXPECT_EQ(r, 5e300);
    ASSERT_TRUE(TryRoundHalfUp(-1.2345, 3, r));
    EXPECT_EQ(r, -1.235);
}

TEST(RoundHalfUp, NeverReturnsNegativeZero) {
    EXPECT_FALSE(std::signbit(RoundHalfUp(-0.0004, 3)));
    EXPECT_FALSE(std::signbit(RoundHalfUp(-0.00001, 3)));
    EXPECT_FALSE(std::signbit(RoundHalfUp(-0.0, 2)));
}

TEST(RoundHalfUp, NonFiniteStaysNonFinite) {
    EXPECT_TRUE(std::isnan(RoundHalfUp(std::nan(""), 3)));
    EXPECT_TRUE(std::isinf(RoundHalfUp(std::numeric_limits<double>::infinity(), 3)));
}

TEST(HalfEvenConversion, RoundsHalfToEvenAndReportsOverflow) {
    EXPECT_EQ(ToInt16HalfEven(2.5), 2);
    EXPECT_EQ(ToInt16HalfEven(3.5), 4);
    EXPECT_EQ(ToInt16HalfEven(-2.5), -2);
    EXPECT_EQ(ToInt16HalfEven(32767.4), 32767);
    EXPECT_FALSE(ToInt16HalfEven(32767.5).has_value());
    EXPECT_EQ(ToInt16HalfEven(-32768.5), -32768);
    EXPECT_FALSE(ToInt16HalfEven(std::nan("")).has_value());
    EXPECT_EQ(ToInt32HalfEven(500.5), 500);
    EXPECT_FALSE(ToInt32HalfEven(2147483647.5).has_value());
}

TEST(Val, ReadsTheLeadingNumber) {
    EXPECT_EQ(Val("12.5"), 12.5);
    EXPECT_EQ(Val("  -3.25abc"), -3.25);
    EXPECT_EQ(Val("1 2 3"), 123.0);
    EXPECT_EQ(Val(".5"), 0.5);
    EXPECT_EQ(Val("1.5E2x"), 150.0);
    EXPECT_EQ(Val("1.5E"), 1.5);
    EXPECT_EQ(Val("&H1F"), 31.0);
    EXPECT_EQ(Val("abc"), 0.0);
    EXPECT_EQ(Val(""), 0.0);
}

TEST(ParseDouble, AcceptsWholeNumbersOnly) {
    EXPECT_EQ(ParseDouble("0.5"), 0.5);
    EXPECT_EQ(ParseDouble(".5"), 0.5);
    EXPECT_EQ(ParseDouble(" -10 "), -10.0);
    EXPECT_EQ(ParseDouble("+2e3"), 2000.0);
    EXPECT_FALSE(ParseDouble("").has_value());
    EXPECT_FALSE(ParseDouble("1,5").has_value());
    EXPECT_FALSE(ParseDouble("nan").has_value());
    EXPECT_FALSE(ParseDouble("1e999").has_value());
    EXPECT_FALSE(ParseDouble("12x").has_value());
}

TEST(FormatRoundTrip, ReadsBackExactly) {
    for (double v : {0.1, 2.0, -10.35, 1e-7, 123456.789, 1.0 / 3.0, 9999999.0, 1e300, -5e-300}) {
        EXPECT_EQ(ParseDouble(FormatRoundTrip(v)), v);
    }
    EXPECT_EQ(FormatRoundTrip(-0.0), "0");
    EXPECT_EQ(FormatRoundTrip(200000.0), "200000");
    EXPECT_EQ(FormatRoundTrip(-10.0), "-10");
    EXPECT_EQ(FormatRoundTrip(0.5), "0.5");
    EXPECT_EQ(FormatRoundTrip(1e20), "1E+20");
    EXPECT_EQ(ParseDouble(FormatRoundTrip(1e20)), 1e20);
    EXPECT_EQ(FormatRoundTrip(std::nan("")), "0");
}

TEST(Numbers, IgnoreADecimalCommaLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
    EXPECT_EQ(ParseDouble("0.5"), 0.5);
    EXPECT_EQ(FormatRoundTrip(2.25), "2.25");
    EXPECT_EQ(Val("3.75"), 3.75);
    EXPECT_EQ(RoundHalfUp(1.2345, 3), 1.235);
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
