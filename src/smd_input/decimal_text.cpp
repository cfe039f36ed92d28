#include "smd_input/decimal_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "smd_input/usual_number.h"

namespace varnex {

namespace {
constexpr int SIGNIFICANT = 17;
constexpr int DECIMALS = 6;
}  // namespace

bool UsualUnitsNearTie(double value, std::uint64_t& units) {
    // Near a tie both the rounding of the product and the 17-digit rounding matter. The product's
    // rounding error is exact (Dekker's product; 1e6 needs no split), which gives the true
    // fraction to within 2^-53; the 17-digit rounding moves it by at most scaled x 0.5e-16. Only
    // values within both of the tie take the digit string.
    double a = std::fabs(value);
    double scaled = a * 1e6;
    double whole = std::floor(scaled);
    double fraction = scaled - whole;  // exact below 2^52
    double split = 134217729.0 * a;    // 2^27 + 1
    double high = split - (split - a);
    double low = a - high;
    double error = -((scaled - high * 1e6) - low * 1e6);
    double trueFraction = fraction + error;
    double margin = scaled * 1e-16 + 1e-15;
    if (trueFraction > 0.5 + margin) {
        units = static_cast<std::uint64_t>(whole) + 1;
        return true;
    }
    if (trueFraction < 0.5 - margin) {
        units = static_cast<std::uint64_t>(whole);
        return true;
    }
    return false;
}

void AppendDecimalText(std::string& out, double value) {
    char text[USUAL_DECIMAL_TEXT_BYTES];
    if (char* end = WriteUsualDecimalText(text, value)) {
        out.append(text, static_cast<std::size_t>(end - text));
        return;
    }
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
