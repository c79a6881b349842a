#pragma once
// Number routines of the figure code: twips to millimetres, the by-reference rounding, the
// split into mantissa and decimal exponent, and the choice of a value axis.

#include <cstdint>

// twips / 1440 x 25.4 (1440 twips = 1 inch = 25.4 mm).
double TwipsToMm(std::int32_t twips);

// RoundHalfUp (half away from zero with its nudge) under the name the axis code uses.
double RoundHalfUpRef(const double& value, const std::int32_t& digits);

// value = mantissa x 10^exponent with 1 <= |mantissa| < 10 (up to the rounding of the
// logarithms: an exact power of ten may come out as (10, n-1)); 0 gives (0, 0). The sign
// stays on the mantissa. False, outputs untouched, when value or the mantissa is not finite.
bool SplitMantissaExponent(double value, double& mantissa, std::int32_t& exponent);

// A value axis start, start + step, ..., start + divisions x step covering minimum..maximum,
// with a round step (1, 2 or 5 times a power of ten, rounded to 2 decimals), about 6 to 10
// divisions and at least 3. Examples: (-350, 120) gives start -400, step 100, 6 divisions;
// (0, 3.7) gives 0, 0.5, 8; (0, 0) gives -0.2, 0.1, 3.
// False, outputs untouched, when an input is not finite, the division count leaves the
// 16-bit range, the search for the ends does not finish (a step of 0 or lost in the
// magnitude of the ends), or rounding the start or step overflows (ends near ±1e307).
bool CalcAxisScale(double minimum, double maximum, std::int16_t& divisions, double& start,
                   double& step);
