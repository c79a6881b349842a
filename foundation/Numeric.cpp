#include "foundation/Numeric.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr std::array<double, 23> kPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

double PowerOfTen(int n) {
    if (n >= 0 && n < static_cast<int>(kPowersOfTen.size())) return kPowersOfTen[n];
    return std::pow(10.0, n);
}

bool TryRoundHalfUp(double value, int digits, double& rounded) {
    if (!std::isfinite(value)) return false;
    const double r = RoundHalfUp(value, digits);
    if (!std::isfinite(r)) return false;
    rounded = r;
    return true;
}

double RoundHalfUp(double value, int digits) {
    if (!std::isfinite(value)) return value;
    const double scale = PowerOfTen(digits);
    const double v = std::fabs(value);
    double magnitude = 0.0;
    if (!(v < 1.0 / PowerOfTen(digits + 1))) {
        const double s = v * scale + 0.00001;
        if (!std::isfinite(s)) return std::numeric_limits<double>::quiet_NaN();
        // The first decimal of s written with 15 significant digits decides.
        char text[64];
        const auto res = std::to_chars(text, text + sizeof text, s, std::chars_format::general, 15);
        const std::string_view written(text, static_cast<std::size_t>(res.ptr - text));
        const auto dot = written.find('.');
        const bool exponentForm = written.find('e') != std::string_view::npos;
        if (dot == std::string_view::npos || exponentForm) {
            magnitude = exponentForm ? std::trunc(s) / scale : s / scale;
        } else if (dot + 1 < written.size() && written[dot + 1] >= '5') {
            magnitude = std::trunc(s + 1.0) / scale;
        } else {
            magnitude = std::trunc(s) / scale;
        }
    }
    if (magnitude == 0.0) return 0.0;
    return value >= 0 ? magnitude : -magnitude;
}

std::optional<std::int16_t> ToInt16HalfEven(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = std::nearbyint(value);
    if (r < -32768.0 || r > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(r);
}

std::optional<std::int32_t> ToInt32HalfEven(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = std::nearbyint(value);
    if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
    return static_cast<std::int32_t>(r);
}

double Val(std::string_view text) {
    // Collect the characters that form the number, dropping blanks on the way.
    std::string cleaned;
    cleaned.reserve(text.size());
    for (char c : text) {
        if (!isBlank(c)) cleaned += c;
    }
    std::string_view s = cleaned;
    if (s.size() >= 2 && s[0] == '&' &&
        (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        std::int64_t n = 0;
        std::from_chars(s.data() + 2, s.data() + s.size(), n, base);
        return static_cast<double>(n);
    }
    std::string number;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
    bool digits = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') number += s[i++], digits = true;
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') number += s[i++], digits = true;
    }
    if (!digits) return 0.0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        bool expDigits = false;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') exponent += s[j++], expDigits = true;
        if (expDigits) number += exponent;
    }
    const auto parsed = ParseDouble(number);
    return parsed.value_or(0.0);
}

std::optional<double> ParseDouble(std::string_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && isBlank(text[e - 1])) --e;
    std::string_view s = text.substr(b, e - b);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || !(s[0] == '.' || (s[0] >= '0' && s[0] <= '9'))) return std::nullopt;
    double value = 0.0;
    const auto res =
        std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::string FormatRoundTrip(double value) {
    if (!std::isfinite(value)) return "0";
    if (value == 0.0) return "0";
    // Plain digits inside the range the original writes without an exponent; "1E+20" beyond.
    const double magnitude = std::fabs(value);
    const bool plain = magnitude >= 1e-4 && magnitude < 1e15;
    char text[400];
    const auto res =
        plain ? std::to_chars(text, text + sizeof text, value, std::chars_format::fixed)
              : std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    std::string out(text, res.ptr);
    for (char& c : out) {
        if (c == 'e') c = 'E';
    }
    return out;
}
