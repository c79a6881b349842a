#pragma once
// Number display patterns (the Format pictures of the forms and reports), locale-independent.
//
// Pattern characters: "#" optional digit, "0" required digit, "," (in the integer part)
// grouping by three, "." decimal point, ";" separates the pattern for negative values,
// "\" makes the next character a literal; any other character (UTF-8) is a literal.
// The last digit shown is rounded half away from zero on the value's 15-significant-digit
// decimal form. A negative value is formatted by its magnitude with the negative pattern
// (which carries its own "-"), or with the first pattern and a leading "-" when there is
// none; a negative value that rounds to zero is formatted as 0 by the first pattern, never
// as "-0". Sections after the second are ignored. Non-finite values format as 0.

#include <memory>
#include <string>
#include <string_view>

// Formats `value` by `pattern` ("+##0.000;-##0.000", "#,##0.000", "####0", "##,##0）", ...).
// The pattern "General Number" (any case) and an empty pattern give FormatGeneralNumber.
std::string FormatNumber(double value, std::string_view pattern);

// A pattern parsed once, for callers that format many values with it (report tables, figure
// files): format(v) gives exactly FormatNumber(v, pattern). Immutable; copies share the parse.
class NumberPattern {
  public:
    explicit NumberPattern(std::string_view pattern);
    std::string format(double value) const;

  private:
    struct Parsed;
    std::shared_ptr<const Parsed> m_parsed;
};

// The general-number text: at most 15 significant digits, no grouping, no trailing zeros,
// "." as decimal point; exponent form ("1E+16", "1E-05") outside the plain range.
std::string FormatGeneralNumber(double value);
