#include "smd_input/number_text.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <system_error>

namespace varnex {

namespace {
bool IsSpace(char c) { return IsBlank(c) || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// from_chars says only "out of range": decide between overflow and underflow from the decimal
// exponent of the first significant digit.
double OutOfRange(std::string_view number) {
    long pointPos = -1, firstDigit = -1, digitCount = 0;
    std::size_t i = 0;
    for (; i < number.size(); ++i) {
        char c = number[i];
        if (c == '.') {
            pointPos = digitCount;
        } else if (IsDigit(c)) {
            if (firstDigit < 0 && c != '0') firstDigit = digitCount;
            ++digitCount;
        } else {
            break;
        }
    }
    if (pointPos < 0) pointPos = digitCount;
    long exponent = 0;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        std::string_view rest = number.substr(i + 1);
        bool negative = !rest.empty() && rest[0] == '-';
        if (!rest.empty() && (rest[0] == '-' || rest[0] == '+')) rest.remove_prefix(1);
        for (char c : rest) {
            if (!IsDigit(c)) break;
            if (exponent < 100000) exponent = exponent * 10 + (c - '0');
        }
        if (negative) exponent = -exponent;
    }
    long magnitude = (firstDigit < 0 ? 0 : pointPos - firstDigit) + exponent;
    return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}
}  // namespace

bool IsDecimalNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    std::size_t wholeDigits = digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    bool exponent = i < text.size() && (text[i] == 'e' || text[i] == 'E');
    if (exponent) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    if (i != text.size()) return false;
    // Without an exponent only a number of more than 308 whole digits can overflow.
    return (!exponent && wholeDigits <= 300) || std::isfinite(TextToDouble(text));
}

int TextToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

namespace {
constexpr double POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The form every SMD number has, "-123.456789": with at most 15 digits both the digits and the
// power of ten are exact doubles, so one correctly rounded division gives the correctly rounded
// value, the very one from_chars gives. Anything else (exponent, hexadecimal, inf, nan, more
// digits) returns false.
bool ReadPlainDecimal(std::string_view text, double& value) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned long long digits = 0;
    std::size_t first = i;
    while (i < text.size() && IsDigit(text[i])) digits = digits * 10 + static_cast<unsigned>(text[i++] - '0');
    std::size_t count = i - first;
    std::size_t decimals = 0;
    if (i < text.size() && text[i] == '.') {
        std::size_t fractionStart = ++i;
        while (i < text.size() && IsDigit(text[i])) digits = digits * 10 + static_cast<unsigned>(text[i++] - '0');
        decimals = i - fractionStart;
        count += decimals;
    }
    // Past 15 digits the sum may have wrapped: the general route decides.
    if (count == 0 || count > 15) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'x' || text[i] == 'X')) {
        return false;
    }
    double magnitude = static_cast<double>(digits) / POWERS_OF_TEN[decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}
}  // namespace

double TextToDouble(std::string_view text) {
    double plain;
    if (ReadPlainDecimal(text, plain)) return plain;

    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string_view rest = text.substr(i);
    // from_chars would take a second sign; atof does not.
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) return negative ? -0.0 : 0.0;
    double value = 0.0;
    auto parse = [&](std::string_view s, std::chars_format format) {
        auto result = std::from_chars(s.data(), s.data() + s.size(), value, format);
        if (result.ec == std::errc::result_out_of_range) {
            value = format == std::chars_format::hex ? 0.0 : OutOfRange(s);
        } else if (result.ec != std::errc()) {
            value = 0.0;
        }
    };
    if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        parse(rest.substr(2), std::chars_format::hex);
    } else {
        parse(rest, std::chars_format::general);
    }
    return negative ? -value : value;
}

}  // namespace varnex
