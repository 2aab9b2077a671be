#include "rules/numeric.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vb::rules {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos;
}

// The longest number at the start of the text, in the form from_chars reads: sign,
// digits without separators, '.', decimals, 'e', exponent.
struct ScannedNumber {
    std::size_t end = 0;                  // one past the last character that belongs to the number
    bool found = false;                   // false when the text does not start with a number
    std::string plain;                    // the number without thousands separators or '+'
    long long decimalExponentOfLead = 0;  // rough magnitude, used when from_chars overflows
};

ScannedNumber ScanNumber(std::string_view text, std::size_t pos) {
    ScannedNumber n;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        if (text[pos] == '-') n.plain += '-';
        ++pos;
    }
    bool anyDigit = false;
    long long integerDigits = 0;  // significant digits before the point
    long long leadingFractionZeros = 0;
    bool significantSeen = false;

    while (pos < text.size()) {
        if (IsDigit(text[pos])) {
            if (text[pos] != '0') significantSeen = true;
            if (significantSeen) ++integerDigits;
            n.plain += text[pos++];
            anyDigit = true;
        } else if (text[pos] == ',' && anyDigit && pos + 1 < text.size() &&
                   IsDigit(text[pos + 1])) {
            ++pos;  // a thousands separator between two digits
        } else {
            break;
        }
    }
    if (pos < text.size() && text[pos] == '.') {
        const bool decimalsFollow = pos + 1 < text.size() && IsDigit(text[pos + 1]);
        if (anyDigit || decimalsFollow) {
            n.plain += text[pos++];
            while (pos < text.size() && IsDigit(text[pos])) {
                if (!significantSeen) {
                    if (text[pos] == '0')
                        ++leadingFractionZeros;
                    else
                        significantSeen = true;
                }
                n.plain += text[pos++];
                anyDigit = true;
            }
        }
    }
    if (!anyDigit) return {};

    n.found = true;
    n.end = pos;
    n.decimalExponentOfLead = integerDigits > 0 ? integerDigits : -leadingFractionZeros;

    // An exponent belongs to the number only when digits follow its letter (and sign).
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t p = pos + 1;
        bool negative = false;
        if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
        if (p < text.size() && IsDigit(text[p])) {
            n.plain += 'e';
            if (negative) n.plain += '-';
            long long exponent = 0;
            while (p < text.size() && IsDigit(text[p])) {
                if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[p] - '0');
                n.plain += text[p++];
            }
            n.decimalExponentOfLead += negative ? -exponent : exponent;
            n.end = p;
        }
    }
    return n;
}

template <typename Int>
std::optional<Int> RoundHalfEven(double value) {
    if (std::isnan(value)) return std::nullopt;
    double whole = std::floor(value);
    const double fraction = value - whole;  // exact for every double
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
    if (whole < static_cast<double>(std::numeric_limits<Int>::min()) ||
        whole > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(whole);
}

}  // namespace

bool IsNumeric(std::string_view text) {
    const ScannedNumber n = ScanNumber(text, SkipBlanks(text, 0));
    return n.found && SkipBlanks(text, n.end) == text.size();
}

double LeadingNumber(std::string_view text) {
    const ScannedNumber n = ScanNumber(text, SkipBlanks(text, 0));
    if (!n.found) return 0.0;
    double value = 0.0;
    const char* first = n.plain.data();
    const char* last = first + n.plain.size();
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: infinity or zero with the number's sign.
        const bool negative = n.plain.front() == '-';
        value = n.decimalExponentOfLead > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        if (negative) value = -value;
    }
    return value;
}

std::optional<std::int32_t> RoundHalfEvenToInt32(double value) {
    return RoundHalfEven<std::int32_t>(value);
}

std::optional<std::int16_t> RoundHalfEvenToInt16(double value) {
    return RoundHalfEven<std::int16_t>(value);
}

}  // namespace vb::rules
