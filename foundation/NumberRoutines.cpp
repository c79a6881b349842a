#include "foundation/NumberRoutines.h"

#include <cmath>
#include <optional>

#include "foundation/Numeric.h"

double TwipsToMm(std::int32_t twips) {
    return static_cast<double>(twips) / 1440.0 * 25.4;
}

double RoundHalfUpRef(const double& value, const std::int32_t& digits) {
    return RoundHalfUp(value, digits);
}

bool SplitMantissaExponent(double value, double& mantissa, std::int32_t& exponent) {
    if (!std::isfinite(value)) return false;
    if (value == 0.0) {
        mantissa = 0.0;
        exponent = 0;
        return true;
    }
    const double ln10 = std::log(10.0);
    const double e = std::floor(std::log(std::fabs(value)) / ln10);
    const double m = std::fabs(value) / std::pow(10.0, e);
    if (!std::isfinite(m)) return false;
    mantissa = value < 0 ? -m : m;
    exponent = static_cast<std::int32_t>(e);
    return true;
}

namespace {

// Far more steps than any axis takes (about 200 after the finest refinement).
constexpr int kMaxSteps = 100000;

// v = v - step until v <= minimum, at least once; false when that does not finish.
bool stepDown(double& v, double step, double minimum) {
    for (int i = 0; i < kMaxSteps; ++i) {
        v -= step;
        if (!std::isfinite(v)) return false;
        if (v <= minimum) return true;
    }
    return false;
}

// v = v + step until v >= maximum, at least once.
bool stepUp(double& v, double step, double maximum) {
    for (int i = 0; i < kMaxSteps; ++i) {
        v += step;
        if (!std::isfinite(v)) return false;
        if (v >= maximum) return true;
    }
    return false;
}

std::optional<std::int16_t> divisionCount(double start, double end, double step) {
    return ToInt16HalfEven((end - start) / step);
}

}  // namespace

bool CalcAxisScale(double minimum, double maximum, std::int16_t& divisions, double& start,
                   double& step) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) return false;
    double mantissa = 0.0;
    std::int32_t exponent = 0;
    double s = 0.0, lo = 0.0, hi = 0.0;

    // 1. First guess from the larger magnitude.
    if (std::fabs(minimum) < std::fabs(maximum)) {
        if (!SplitMantissaExponent(maximum, mantissa, exponent)) return false;
        s = std::pow(10.0, exponent);
        hi = mantissa > 0 ? s * std::ceil(mantissa) : s * std::trunc(mantissa);
        lo = hi;
        if (!(s > 0) || !std::isfinite(s) || !stepDown(lo, s, minimum)) return false;
    } else {
        if (!SplitMantissaExponent(minimum, mantissa, exponent)) return false;
        s = std::pow(10.0, exponent);
        lo = mantissa > 0 ? s * std::trunc(mantissa) : s * std::floor(mantissa);
        hi = lo;
        if (!(s > 0) || !std::isfinite(s) || !stepUp(hi, s, maximum)) return false;
    }

    // 2.-3. Division count; a count above 10 takes a ten times larger step.
    auto n = divisionCount(lo, hi, s);
    if (!n) return false;
    if (*n == 0) n = 1;
    if (*n > 10) s *= 10.0;
    n = divisionCount(lo, hi, s);
    if (!n) return false;
    if (*n == 0) n = 1;

    // 4. Refine a coarse axis and fit both ends again.
    const int coarse = *n;
    if (coarse >= 1 && coarse <= 5) {
        s /= coarse == 1 ? 10.0 : coarse <= 3 ? 5.0 : 2.0;
        lo = hi;
        if (!stepDown(lo, s, minimum)) return false;
        hi = lo;
        if (!stepUp(hi, s, maximum)) return false;
        n = divisionCount(lo, hi, s);
        if (!n) return false;
    }

    // 5.-6. One division gets an empty one on each side; two are halved.
    if (*n == 1) {
        n = 3;
        lo -= s;
    } else if (*n == 2) {
        n = 4;
        s /= 2.0;
    }

    // 7. Ends so large that rounding them overflows fail rather than give infinities.
    double roundedStart = 0.0, roundedStep = 0.0;
    if (!TryRoundHalfUp(lo, 2, roundedStart) || !TryRoundHalfUp(s, 2, roundedStep)) return false;
    start = roundedStart;
    step = roundedStep;
    divisions = *n;
    return true;
}
