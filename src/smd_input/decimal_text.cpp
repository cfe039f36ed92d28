#include "smd_input/decimal_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace varnex {

namespace {
constexpr int SIGNIFICANT = 17;
constexpr int DECIMALS = 6;
}  // namespace

namespace {
// Most values need no digit string: when |value| x 1e6 lies well inside the range where a double
// holds it to a ten-thousandth and well away from a tie, rounding the product gives the same
// digits as the 17-digit route. Returns false when it cannot decide.
bool AppendCommonDecimalText(std::string& out, double value) {
    double scaled = std::fabs(value) * 1e6;
    unsigned long long units = 0;
    if (scaled != 0.0) {
        if (!(scaled >= 0.2 && scaled < 1099511627776.0)) return false;  // 2^40
        double fraction = scaled - std::floor(scaled);
        if (std::fabs(fraction - 0.5) < 0.01) return false;
        units = static_cast<unsigned long long>(scaled + 0.5);
    }
    static constexpr char PAIRS[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char text[32];
    char* end = text + sizeof text;
    char* p = end;
    unsigned long long whole = units / 1000000;
    unsigned fraction = static_cast<unsigned>(units % 1000000);
    for (int i = 0; i < DECIMALS / 2; ++i) {
        p -= 2;
        std::memcpy(p, PAIRS + 2 * (fraction % 100), 2);
        fraction /= 100;
    }
    *--p = '.';
    do {
        *--p = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (std::signbit(value)) *--p = '-';
    out.append(p, static_cast<std::size_t>(end - p));
    return true;
}
}  // namespace

void AppendDecimalText(std::string& out, double value) {
    if (std::isfinite(value) && AppendCommonDecimalText(out, value)) return;
    AppendDecimalTextByDigits(out, value);
}

void AppendDecimalTextByDigits(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "nan";
        return;
    }
    bool negative = std::signbit(value);
    if (std::isinf(value)) {
        out += negative ? "-inf" : "inf";
        return;
    }
    double magnitude = std::fabs(value);

    // D: the digit string; d: the decimal point's place counted from D's start.
    char digits[400];
    int digitCount = 0;
    int pointPos = 0;
    if (magnitude == 0.0) {
        std::memset(digits, '0', DECIMALS);
        digitCount = DECIMALS;
    } else {
        char sci[48];
        auto result = std::to_chars(sci, sci + sizeof sci, magnitude, std::chars_format::scientific,
                                    SIGNIFICANT - 1);
        *result.ptr = '\0';
        // "m.mmmmmmmmmmmmmmmme+XX": 17 digits, then the exponent of the first one.
        char mantissa[SIGNIFICANT];
        mantissa[0] = sci[0];
        std::memcpy(mantissa + 1, sci + 2, SIGNIFICANT - 1);
        int exponent = std::atoi(sci + SIGNIFICANT + 2) + 1;  // |v| = 0.m1m2... x 10^exponent
        int keep = exponent + DECIMALS;
        if (keep > 0) {
            for (int i = 0; i < keep; ++i) digits[i] = i < SIGNIFICANT ? mantissa[i] : '0';
            digitCount = keep;
            char next = keep < SIGNIFICANT ? mantissa[keep] : '0';
            if (next >= '5') {
                int i = keep - 1;
                while (i >= 0 && digits[i] == '9') digits[i--] = '0';
                if (i >= 0) {
                    ++digits[i];
                } else {
                    digits[0] = '1';
                    std::memset(digits + 1, '0', keep);
                    digitCount = keep + 1;
                    ++exponent;
                }
            }
        } else if (keep == 0 && mantissa[0] >= '5') {
            digits[0] = '1';
            digitCount = 1;
            ++exponent;
        }
        pointPos = exponent;
    }

    if (negative) out += '-';
    if (pointPos > 0) {
        out.append(digits, pointPos);
        out += '.';
        out.append(digits + pointPos, digitCount - pointPos);
    } else {
        out += "0.";
        out.append(static_cast<std::size_t>(-pointPos), '0');
        out.append(digits, digitCount);
    }
}

std::string DecimalText(double value) {
    std::string text;
    AppendDecimalText(text, value);
    return text;
}

}  // namespace varnex
