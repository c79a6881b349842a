#pragma once
// Number conversions shared by every subsystem, all locale-independent.
//
// The original converts numbers like a Windows program: rounding half away from zero with a
// small nudge (RoundHalfUp), integer conversions that round half to even and fail on overflow
// (CInt, CLng), and a leading-number reader (Val). Each rule has its own name here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Rounds half away from zero to `digits` decimals, as the analysis specifies: magnitudes below
// 1/10^(digits+1) give 0; otherwise s = |value| x 10^digits + 0.00001 is written with 15
// significant digits and its first decimal decides. Never returns -0. Non-finite values come
// back non-finite, and so does a value whose scaled magnitude overflows (5e306 to 2 decimals):
// callers that must not go on with such a value use TryRoundHalfUp.
double RoundHalfUp(double value, int digits);

// RoundHalfUp that fails instead: false, `rounded` untouched, when the value is not finite or
// the rounding overflows.
bool TryRoundHalfUp(double value, int digits, double& rounded);

// 10^n, exact for 0 <= n <= 22.
double PowerOfTen(int n);

// Nearest integer, a half to the even neighbour; nullopt when not finite or out of range
// (the original's CInt and CLng overflow).
std::optional<std::int16_t> ToInt16HalfEven(double value);
std::optional<std::int32_t> ToInt32HalfEven(double value);

// The leading number of a text, as the original's Val: blanks, tabs and line feeds are
// skipped anywhere, then an optional sign, digits, a decimal point, digits and an exponent
// (E or D); "&H" and "&O" prefixes read hexadecimal and octal. Text without a number gives 0.
double Val(std::string_view text);

// Strict conversion of a whole text to a number, as a text held in a number slot converts:
// optional blanks around an optional sign, digits with an optional decimal point ("0.5" and
// ".5") and an optional exponent. nullopt for anything else, for an empty text and for
// results that are not finite.
std::optional<double> ParseDouble(std::string_view text);

// Shortest text that reads back as the same double ("." as decimal point, no blanks), as the
// input file writes numbers. Non-finite values are never written; they give "0".
std::string FormatRoundTrip(double value);
