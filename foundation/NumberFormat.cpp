#include "foundation/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace {

// A double as 15 significant decimal digits: value = 0.d1d2...d15 x 10^(exponent + 1),
// i.e. the first digit stands for 10^exponent.
struct Decimal15 {
    std::string digits;  // exactly 15 characters
    int exponent = 0;
};

Decimal15 toDecimal15(double magnitude) {
    char text[64];
    const auto res =
        std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 14);
    const std::string_view s(text, static_cast<std::size_t>(res.ptr - text));
    Decimal15 d;
    const std::size_t e = s.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (s[i] != '.') d.digits += s[i];
    }
    int exponent = 0;
    std::string_view exp = s.substr(e + 1);
    if (!exp.empty() && exp.front() == '+') exp.remove_prefix(1);
    std::from_chars(exp.data(), exp.data() + exp.size(), exponent);
    d.exponent = exponent;
    return d;
}

// round(magnitude x 10^decimals) as a decimal digit string of at least decimals + 1 digits,
// half away from zero on the 15-digit form.
std::string scaledDigits(double magnitude, int decimals) {
    const Decimal15 d = toDecimal15(magnitude);
    const long keep = static_cast<long>(d.exponent) + decimals + 1;
    std::string n;
    if (keep <= 0) {
        n = (keep == 0 && d.digits[0] >= '5') ? "1" : "0";
    } else if (keep >= 15) {
        n = d.digits + std::string(static_cast<std::size_t>(keep - 15), '0');
    } else {
        n = d.digits.substr(0, static_cast<std::size_t>(keep));
        if (d.digits[static_cast<std::size_t>(keep)] >= '5') {
            std::size_t i = n.size();
            while (i > 0 && n[i - 1] == '9') n[--i] = '0';
            if (i == 0) {
                n.insert(n.begin(), '1');
            } else {
                ++n[i - 1];
            }
        }
    }
    if (n.size() < static_cast<std::size_t>(decimals) + 1) {
        n.insert(0, static_cast<std::size_t>(decimals) + 1 - n.size(), '0');
    }
    return n;
}

std::size_t utf8Length(unsigned char c) {
    if (c >= 0xF0) return 4;
    if (c >= 0xE0) return 3;
    if (c >= 0xC0) return 2;
    return 1;
}

// One section of a pattern, split into digit placeholders, the decimal point and literals.
struct Section {
    enum class Kind { Digit, Point, Literal };
    struct Token {
        Kind kind;
        char placeholder = 0;  // '0' or '#'
        std::string text;      // literal text
    };
    std::vector<Token> tokens;
    bool grouping = false;
    int integerPlaceholders = 0;
    int minimumIntegerDigits = 0;
    int decimals = 0;
    bool hasPlaceholders = false;
    std::string decimalKinds;  // '0' or '#' per decimal placeholder, in order
};

Section parseSection(std::string_view pattern) {
    Section section;
    bool afterPoint = false;
    int sinceFirstZero = -1;  // integer placeholders from the first "0" on
    auto literal = [&section](std::string_view text) {
        if (section.tokens.empty() || section.tokens.back().kind != Section::Kind::Literal) {
            section.tokens.push_back({Section::Kind::Literal, 0, {}});
        }
        section.tokens.back().text.append(text);
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\\') {
            if (i + 1 < pattern.size()) {
                const std::size_t len = utf8Length(static_cast<unsigned char>(pattern[i + 1]));
                literal(pattern.substr(i + 1, len));
                i += len;
            }
        } else if (c == '#' || c == '0') {
            section.tokens.push_back({Section::Kind::Digit, c, {}});
            section.hasPlaceholders = true;
            if (afterPoint) {
                ++section.decimals;
            } else {
                ++section.integerPlaceholders;
                if (c == '0' && sinceFirstZero < 0) sinceFirstZero = 0;
                if (sinceFirstZero >= 0) ++sinceFirstZero;
            }
        } else if (c == '.' && !afterPoint) {
            section.tokens.push_back({Section::Kind::Point, 0, {}});
            afterPoint = true;
        } else if (c == ',') {
            if (!afterPoint) section.grouping = true;
        } else {
            literal(std::string_view(&pattern[i], 1));
        }
    }
    section.minimumIntegerDigits = sinceFirstZero < 0 ? 0 : sinceFirstZero;
    for (const auto& t : section.tokens) {
        if (t.kind == Section::Kind::Point) section.decimalKinds.clear();
        if (t.kind == Section::Kind::Digit) section.decimalKinds += t.placeholder;
    }
    return section;
}

// Splits at ";" outside backslash escapes; only the first two sections matter.
std::vector<std::string_view> splitSections(std::string_view pattern) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '\\') {
            ++i;
        } else if (pattern[i] == ';') {
            sections.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(pattern.substr(start));
    return sections;
}

bool roundsToZero(double magnitude, const Section& section) {
    return scaledDigits(magnitude, section.decimals).find_first_not_of('0') == std::string::npos;
}

std::string render(const Section& section, double magnitude) {
    const std::string n = scaledDigits(magnitude, section.decimals);
    std::string integer = n.substr(0, n.size() - static_cast<std::size_t>(section.decimals));
    std::string fraction = n.substr(integer.size());
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
    if (integer.size() < static_cast<std::size_t>(section.minimumIntegerDigits)) {
        integer.insert(0, static_cast<std::size_t>(section.minimumIntegerDigits) - integer.size(),
                       '0');
    }
    // Trailing zeros of optional ("#") decimal places are dropped.
    const std::string& decimalKinds = section.decimalKinds;
    std::size_t shownDecimals = fraction.size();
    while (shownDecimals > 0 && fraction[shownDecimals - 1] == '0' &&
           decimalKinds[shownDecimals - 1] == '#') {
        --shownDecimals;
    }

    std::string out;
    std::size_t nextInteger = 0;  // next digit of `integer` to write
    auto writeInteger = [&](std::size_t count) {
        for (std::size_t k = 0; k < count && nextInteger < integer.size(); ++k) {
            out += integer[nextInteger++];
            const std::size_t left = integer.size() - nextInteger;
            if (section.grouping && left > 0 && left % 3 == 0) out += ',';
        }
    };
    const std::size_t places = static_cast<std::size_t>(section.integerPlaceholders);
    const std::size_t overflow = integer.size() > places ? integer.size() - places : 0;
    std::size_t integerIndex = 0;  // placeholders of the integer part met so far
    std::size_t decimalIndex = 0;
    bool afterPoint = false;
    for (const auto& t : section.tokens) {
        switch (t.kind) {
            case Section::Kind::Literal:
                out += t.text;
                break;
            case Section::Kind::Point:
                writeInteger(integer.size());  // digits without a placeholder of their own
                out += '.';
                afterPoint = true;
                break;
            case Section::Kind::Digit:
                if (afterPoint) {
                    if (decimalIndex < shownDecimals) out += fraction[decimalIndex];
                    ++decimalIndex;
                } else {
                    // Placeholder i (0-based) shows digit i - (places - integer digits); the
                    // first one also takes the digits that have no placeholder.
                    const std::size_t firstShown = places - (integer.size() - overflow);
                    if (integerIndex == 0) writeInteger(overflow);
                    if (integerIndex >= firstShown) writeInteger(1);
                    ++integerIndex;
                }
                break;
        }
    }
    writeInteger(integer.size());
    return out;
}

}  // namespace

struct NumberPattern::Parsed {
    bool general = false;
    Section positive;
    bool hasNegative = false;
    Section negative;
};

NumberPattern::NumberPattern(std::string_view pattern) {
    auto parsed = std::make_shared<Parsed>();
    if (pattern.empty()) parsed->general = true;
    if (pattern.size() == 14) {
        std::string lower(pattern);
        for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower == "general number") parsed->general = true;
    }
    if (!parsed->general) {
        const auto parts = splitSections(pattern);
        parsed->positive = parseSection(parts[0]);
        if (parts.size() >= 2 && !parts[1].empty()) {
            parsed->hasNegative = true;
            parsed->negative = parseSection(parts[1]);
        }
    }
    m_parsed = std::move(parsed);
}

std::string NumberPattern::format(double value) const {
    const Parsed& p = *m_parsed;
    if (p.general) return FormatGeneralNumber(value);
    if (!std::isfinite(value)) value = 0.0;
    const double magnitude = std::fabs(value);
    if (!(value < 0)) return render(p.positive, magnitude);
    if (p.hasNegative) {
        if (roundsToZero(magnitude, p.negative)) return render(p.positive, 0.0);
        return render(p.negative, magnitude);
    }
    if (roundsToZero(magnitude, p.positive)) return render(p.positive, 0.0);
    return "-" + render(p.positive, magnitude);
}

std::string FormatNumber(double value, std::string_view pattern) {
    return NumberPattern(pattern).format(value);
}

std::string FormatGeneralNumber(double value) {
    if (!std::isfinite(value) || value == 0.0) return "0";
    const Decimal15 d = toDecimal15(std::fabs(value));
    std::string digits = d.digits;
    digits.erase(digits.find_last_not_of('0') + 1);
    std::string out = value < 0 ? "-" : "";
    const int e = d.exponent;
    if (e >= 15 || e < -4) {
        out += digits[0];
        if (digits.size() > 1) out.append(".").append(digits, 1);
        out += e < 0 ? "E-" : "E+";
        const int a = e < 0 ? -e : e;
        if (a < 10) out += '0';
        char text[8];
        const auto res = std::to_chars(text, text + sizeof text, a);
        out.append(text, res.ptr);
    } else if (e >= 0) {
        const std::size_t integerDigits = static_cast<std::size_t>(e) + 1;
        if (digits.size() <= integerDigits) {
            out += digits + std::string(integerDigits - digits.size(), '0');
        } else {
            out.append(digits, 0, integerDigits).append(".").append(digits, integerDigits);
        }
    } else {
        out.append("0.").append(static_cast<std::size_t>(-e - 1), '0').append(digits);
    }
    return out;
}
