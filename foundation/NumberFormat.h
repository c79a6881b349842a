#pragma once
// Number display patterns of the original's Format function, locale-independent.
//
// Pattern characters: "#" optional digit, "0" required digit, "," grouping by three, "."
// decimal point, ";" separates the pattern for negative values; any other character is a
// literal. The last digit shown is rounded half away from zero on the value's 15-significant-
// digit decimal form; a value that rounds to zero is never shown as "-0".

#include <string>
#include <string_view>

// Formats `value` by `pattern` ("+##0.000;-##0.000", "#,##0.000", "####0", "##,##0）", ...).
// The pattern "General Number" (any case) and an empty pattern give FormatGeneralNumber.
std::string FormatNumber(double value, std::string_view pattern);

// The general-number text: at most 15 significant digits, no grouping, no trailing zeros,
// "." as decimal point; exponent form ("1E+16", "1E-05") outside the plain range.
std::string FormatGeneralNumber(double value);
