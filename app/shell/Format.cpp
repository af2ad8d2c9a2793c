#include "Format.h"
#include "TextHelpers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace kx {
namespace {

// A finite non-negative number as decimal digits: value = 0.D * 10^pointPos,
// i.e. pointPos digits of D stand before the decimal point (pointPos may be
// negative or beyond the end of D). D has no leading zero; zero is D empty.
struct Decimal {
    std::string digits;
    int pointPos = 0;
};

// The value's 15 significant digits, correctly rounded, trailing zeros removed.
Decimal toDecimal(double magnitude) {
    Decimal d;
    if (magnitude == 0.0 || !std::isfinite(magnitude)) return d;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    std::string_view s(buf, static_cast<size_t>(res.ptr - buf));  // d.ddddddddddddddde+XX
    size_t e = s.find('e');
    for (size_t i = 0; i < e; ++i)
        if (s[i] != '.') d.digits.push_back(s[i]);
    int exp10 = 0;
    std::string_view es = s.substr(e + 1);
    if (!es.empty() && es[0] == '+') es.remove_prefix(1);
    std::from_chars(es.data(), es.data() + es.size(), exp10);
    d.pointPos = exp10 + 1;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// Keeps the first `keep` digits of d, rounding half away from zero on the
// digit that follows. A carry out of the first digit moves the point.
void roundToDigits(Decimal& d, int keep) {
    if (keep >= static_cast<int>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
            d.digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[static_cast<size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.pointPos;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

char digitAt(const Decimal& d, int index) {
    return index >= 0 && index < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(index)]
                                                                   : '0';
}

// The pieces of a numeric pattern.
struct NumberPattern {
    std::string prefix, suffix;  // literal text around the number
    int intRequired = 0;         // "0" before the point
    int intPlaces = 0;           // "0" and "#" before the point
    bool point = false;
    int fracRequired = 0;  // "0" after the point
    int fracPlaces = 0;    // "0" and "#" after the point
    bool scientific = false;
    char expLetter = 'E';
    bool expAlwaysSign = false;
    int expMinDigits = 0;
};

bool isTextPattern(std::string_view pattern) {
    return pattern.find('@') != std::string_view::npos;
}

NumberPattern parseNumberPattern(std::string_view p) {
    NumberPattern np;
    size_t i = 0;
    auto isNumChar = [](char c) { return c == '0' || c == '#' || c == '.'; };
    while (i < p.size() && !isNumChar(p[i])) np.prefix.push_back(p[i++]);
    bool afterPoint = false;
    for (; i < p.size(); ++i) {
        char c = p[i];
        if (c == '0' || c == '#') {
            if (afterPoint) {
                ++np.fracPlaces;
                // A required digit after optional ones still counts as required
                // up to its own position.
                if (c == '0') np.fracRequired = np.fracPlaces;
            } else {
                ++np.intPlaces;
                if (c == '0') ++np.intRequired;
            }
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
            np.point = true;
        } else if ((c == 'E' || c == 'e') && i + 1 < p.size() && (p[i + 1] == '+' || p[i + 1] == '-')) {
            np.scientific = true;
            np.expLetter = c;
            np.expAlwaysSign = p[i + 1] == '+';
            i += 2;
            while (i < p.size() && (p[i] == '0' || p[i] == '#')) {
                if (p[i] == '0') ++np.expMinDigits;
                ++i;
            }
            break;
        } else {
            break;
        }
    }
    np.suffix = std::string(p.substr(i));
    return np;
}

// The digits left-padded with zeros to at least width digits.
std::string zeroPadded(std::string digits, int width) {
    if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
    return digits;
}

// The exponent as written after a mantissa: the letter, a minus (or a plus
// when always signed) and at least minDigits digits ("E+05", "E-10", "E05").
std::string exponentText(char letter, int exponent, bool alwaysSign, int minDigits) {
    std::string out(1, letter);
    if (exponent < 0)
        out.push_back('-');
    else if (alwaysSign)
        out.push_back('+');
    return out + zeroPadded(std::to_string(exponent < 0 ? -exponent : exponent), minDigits);
}

// The pattern's prefix and the number without its exponent: the sign (none
// for a value rounded to zero), the integer part, the point, and the
// decimals read from digit fracStart of d on, with the optional trailing
// zeros dropped.
std::string mantissaText(bool negative, const Decimal& d, const std::string& intPart, int fracStart,
                         const NumberPattern& np) {
    std::string frac;
    for (int i = 0; i < np.fracPlaces; ++i) frac.push_back(digitAt(d, fracStart + i));
    while (static_cast<int>(frac.size()) > np.fracRequired && frac.back() == '0') frac.pop_back();
    std::string out = np.prefix;
    if (negative && !d.digits.empty()) out.push_back('-');
    out += intPart;
    if (np.point) out.push_back('.');
    return out + frac;
}

std::string formatFixed(double value, const NumberPattern& np) {
    Decimal d = toDecimal(std::fabs(value));
    roundToDigits(d, d.pointPos + np.fracPlaces);
    std::string intPart;
    for (int i = 0; i < d.pointPos; ++i) intPart.push_back(digitAt(d, i));
    return mantissaText(value < 0, d, zeroPadded(intPart, np.intRequired), d.pointPos, np) + np.suffix;
}

std::string formatScientific(double value, const NumberPattern& np) {
    const int intDigits = std::max(np.intPlaces, 1);
    Decimal d = toDecimal(std::fabs(value));
    int exponent = 0;
    if (!d.digits.empty()) {
        roundToDigits(d, intDigits + np.fracPlaces);
        exponent = d.pointPos - intDigits;
    }
    std::string intPart;
    for (int i = 0; i < intDigits; ++i) intPart.push_back(digitAt(d, i));
    if (d.digits.empty()) intPart = std::string(static_cast<size_t>(std::max(np.intRequired, 1)), '0');
    return mantissaText(value < 0, d, intPart, intDigits, np) +
           exponentText(np.expLetter, exponent, np.expAlwaysSign, np.expMinDigits) + np.suffix;
}

std::string formatText(std::string_view text, std::string_view pattern) {
    bool left = pattern.find('!') != std::string_view::npos;
    size_t width = 0;
    for (char c : pattern)
        if (c == '@') ++width;
    std::string out(text);
    if (out.size() < width) {
        std::string pad(width - out.size(), ' ');
        out = left ? out + pad : pad + out;
    }
    return out;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Converts an already validated decimal text (no leading "+"). Overflow gives
// nothing; underflow gives a signed zero.
std::optional<double> convertDecimal(std::string_view s) {
    double v = 0;
    auto res = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        size_t e = s.find_first_of("eE");
        bool negExp = e != std::string_view::npos && e + 1 < s.size() && s[e + 1] == '-';
        if (!negExp) return std::nullopt;
        return s.front() == '-' ? -0.0 : 0.0;
    }
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

std::string Format(double value, std::string_view pattern) {
    if (pattern.empty()) return NumberToText(value);
    if (isTextPattern(pattern)) return formatText(NumberToText(value), pattern);
    if (!std::isfinite(value)) return NumberToText(value);
    NumberPattern np = parseNumberPattern(pattern);
    return np.scientific ? formatScientific(value, np) : formatFixed(value, np);
}

std::string Format(std::string_view text, std::string_view pattern) {
    if (isTextPattern(pattern)) return formatText(text, pattern);
    auto v = ParseNumber(text);
    if (!v) return std::string(text);
    return Format(*v, pattern);
}

std::optional<double> ParseNumber(std::string_view text) {
    std::string_view s = TrimBlanks(text);
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    size_t start = i;
    size_t mantissaDigits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++mantissaDigits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < s.size() && isDigit(s[i])) ++i, ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
    std::string body;
    if (negative) body.push_back('-');
    body.append(s.substr(start));
    return convertDecimal(body);
}

bool IsNumeric(std::string_view text) { return ParseNumber(text).has_value(); }

double Val(std::string_view text) {
    std::string s;
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && isBlank(text[i])) ++i;
    };
    skip();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') s.push_back('-');
        ++i;
    }
    size_t digits = 0;
    bool point = false;
    for (;; ++i) {
        skip();
        if (i >= text.size()) break;
        char c = text[i];
        if (isDigit(c)) {
            s.push_back(c);
            ++digits;
        } else if (c == '.' && !point) {
            point = true;
            s.push_back(c);
        } else {
            break;
        }
    }
    if (digits == 0) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        size_t save = i;
        std::string exp = "e";
        ++i;
        skip();
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) exp.push_back(text[i++]);
        size_t expDigits = 0;
        for (;; ++i) {
            skip();
            if (i >= text.size() || !isDigit(text[i])) break;
            exp.push_back(text[i]);
            ++expDigits;
        }
        if (expDigits > 0)
            s += exp;
        else
            i = save;
    }
    auto v = convertDecimal(s);
    if (!v) return s.front() == '-' ? std::numeric_limits<double>::lowest() : std::numeric_limits<double>::max();
    return *v;
}

std::string NumberToText(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    Decimal d = toDecimal(std::fabs(value));
    if (d.digits.empty()) return "0";
    std::string out = value < 0 ? "-" : "";
    const int exp10 = d.pointPos - 1;
    if (exp10 >= -4 && exp10 < 15) {
        if (d.pointPos <= 0) {
            out += "0.";
            out.append(static_cast<size_t>(-d.pointPos), '0');
            out += d.digits;
        } else {
            for (int i = 0; i < d.pointPos; ++i) out.push_back(digitAt(d, i));
            if (static_cast<int>(d.digits.size()) > d.pointPos) {
                out.push_back('.');
                out += d.digits.substr(static_cast<size_t>(d.pointPos));
            }
        }
        return out;
    }
    out.push_back(d.digits[0]);
    if (d.digits.size() > 1) {
        out.push_back('.');
        out += d.digits.substr(1);
    }
    return out + exponentText('E', exp10, true, 2);
}

std::string Str(double value) {
    std::string t = NumberToText(value);
    return (value < 0 || std::isnan(value)) ? t : " " + t;
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    double lower = std::floor(value);
    double diff = value - lower;
    if (diff > 0.5) return lower + 1.0;
    if (diff < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::string FormatFaithfully(double value, std::string_view pattern) {
    std::string text = Format(value, pattern);
    const std::size_t exponent = pattern.find_first_of("Ee");
    const std::size_t point = pattern.find('.');
    if (!std::isfinite(value) || exponent == std::string_view::npos || point == std::string_view::npos ||
        point > exponent)
        return text;
    std::string wider(pattern);
    for (int extra = 0; extra < 15 && ParseNumber(text) != value; ++extra) {
        wider.insert(exponent, "#");
        text = Format(value, wider);
    }
    return text;
}

}  // namespace kx
