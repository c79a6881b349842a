#include "foundation/NumberFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

namespace {

struct FormatCase {
    double value;
    const char* pattern;
    const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.value << " with \"" << c.pattern << "\"";
}

class FormatNumberTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumberTable, Formats) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatNumber(c.value, c.pattern), c.expected);
    EXPECT_EQ(NumberPattern(c.pattern).format(c.value), c.expected);  // parsed once, reused
}

INSTANTIATE_TEST_SUITE_P(
    ResultPatterns, FormatNumberTable,
    ::testing::Values(FormatCase{2.0, "+##0.000;-##0.000", "+2.000"},
                      FormatCase{-10.35, "+##0.000;-##0.000", "-10.350"},
                      FormatCase{0.0, "+##0.000;-##0.000", "+0.000"},
                      FormatCase{-0.0004, "+##0.000;-##0.000", "+0.000"},  // no "-0.000"
                      FormatCase{-0.0005, "+##0.000;-##0.000", "-0.001"},
                      FormatCase{1234.5678, "+##0.000;-##0.000", "+1234.568"},
                      FormatCase{-10.35, "+##0.000; -##0.000", " -10.350"},
                      FormatCase{1234.5678, "#,##0.000", "1,234.568"},
                      FormatCase{-35.2, "#,##0.000", "-35.200"},
                      FormatCase{-0.0001, "#,##0.000", "0.000"},
                      FormatCase{1234567.0, "#,##0.000", "1,234,567.000"},
                      FormatCase{12.34, "###0.0", "12.3"}, FormatCase{12.35, "###0.0", "12.4"},
                      FormatCase{-0.05, "###0.0", "-0.1"}, FormatCase{0.04, "###0.0", "0.0"},
                      FormatCase{12345.6, "####0", "12346"},
                      FormatCase{123456.0, "####0", "123456"}));  // more digits than places

INSTANTIATE_TEST_SUITE_P(
    FormPatterns, FormatNumberTable,
    ::testing::Values(
        FormatCase{62.0, "##,##0）", "62）"}, FormatCase{12345.0, "##,##0）", "12,345）"},
        FormatCase{205000.0, "###,##0", "205,000"}, FormatCase{1234567.0, "#,###,##0", "1,234,567"},
        FormatCase{1000.0, "#,###,##0", "1,000"}, FormatCase{0.0, "#,###,##0", "0"},
        FormatCase{1.25, "0.0", "1.3"}, FormatCase{1.0, "0.0", "1.0"},
        FormatCase{-999.999, "##0.000", "-999.999"}, FormatCase{180.0, "##0", "180"},
        FormatCase{2.5, "##0", "3"}, FormatCase{-2.5, "##0", "-3"}, FormatCase{7.0, "000", "007"},
        FormatCase{12.0, "#0", "12"}, FormatCase{0.0, "##", ""}));

INSTANTIATE_TEST_SUITE_P(
    RoundingAndLiterals, FormatNumberTable,
    ::testing::Values(FormatCase{1.005, "0.00", "1.01"},  // 15-digit form, not binary
                      FormatCase{2.675, "0.00", "2.68"}, FormatCase{0.125, "0.00", "0.13"},
                      FormatCase{9.9996, "0.000", "10.000"},  // carry into a new digit
                      FormatCase{999999.5, "#,##0", "1,000,000"}, FormatCase{1.5, "0.0#", "1.5"},
                      FormatCase{1.25, "0.0#", "1.25"},
                      FormatCase{1234.0, "\\\\#,##0", "\\1,234"},  // report picture "\#,##0"
                      FormatCase{-1234.0, "\\\\#,##0", "-\\1,234"}, FormatCase{5.0, "\\#0", "#5"},
                      FormatCase{5.0, "0\\;0", "0;5"}, FormatCase{3.0, "第0章", "第3章"},
                      FormatCase{1e20, "#,##0", "100,000,000,000,000,000,000"},
                      FormatCase{std::numeric_limits<double>::quiet_NaN(), "0.0", "0.0"}));

TEST(FormatNumber, EmptyAndGeneralPatternsGiveTheGeneralNumber) {
    EXPECT_EQ(FormatNumber(12.5, ""), "12.5");
    EXPECT_EQ(FormatNumber(12.5, "General Number"), "12.5");
    EXPECT_EQ(FormatNumber(12.5, "general number"), "12.5");
}

TEST(FormatGeneralNumber, FifteenDigitsAndTheExponentForm) {
    EXPECT_EQ(FormatGeneralNumber(0.0), "0");
    EXPECT_EQ(FormatGeneralNumber(-0.0), "0");
    EXPECT_EQ(FormatGeneralNumber(1500.0), "1500");
    EXPECT_EQ(FormatGeneralNumber(-12.5), "-12.5");
    EXPECT_EQ(FormatGeneralNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatGeneralNumber(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatGeneralNumber(0.0001), "0.0001");
    EXPECT_EQ(FormatGeneralNumber(0.00001), "1E-05");
    EXPECT_EQ(FormatGeneralNumber(-0.000012345), "-1.2345E-05");
    EXPECT_EQ(FormatGeneralNumber(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatGeneralNumber(1e15), "1E+15");
    EXPECT_EQ(FormatGeneralNumber(1e16), "1E+16");
    EXPECT_EQ(FormatGeneralNumber(1.5e300), "1.5E+300");
    EXPECT_EQ(FormatGeneralNumber(999999999999999.9), "1E+15");  // rounds up a digit
    EXPECT_EQ(FormatGeneralNumber(std::numeric_limits<double>::infinity()), "0");
}

TEST(FormatNumber, IgnoresADecimalCommaLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 locale not installed";
    }
    const std::string grouped = FormatNumber(1234.5678, "#,##0.000");
    const std::string signedText = FormatNumber(-10.35, "+##0.000;-##0.000");
    const std::string general = FormatGeneralNumber(0.5);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(grouped, "1,234.568");
    EXPECT_EQ(signedText, "-10.350");
    EXPECT_EQ(general, "0.5");
}

}  // namespace
