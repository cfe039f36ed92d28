// The fast routes for the numbers nearly every frame line holds, "-12.345678": read and written
// eight bytes at a time, inline where the build reads and writes them. Each gives exactly what
// the general route gives (TextToDouble, IsDecimalNumber, DecimalText) or declines.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstddef>
#include <cstring>

#include "smd_input/number_text.h"

// The fast routes are worth their code only inline, with their constants kept in registers.
#if defined(__GNUC__)
#define VARNEX_ALWAYS_INLINE [[gnu::always_inline]] inline
#else
#define VARNEX_ALWAYS_INLINE inline
#endif

namespace varnex {

namespace usual_number {
constexpr std::uint64_t LOW_NIBBLES = 0x0F0F0F0F0F0F0F0F;
constexpr std::uint64_t HIGH_NIBBLES = 0xF0F0F0F0F0F0F0F0;
constexpr std::uint64_t INTEGER_POWERS_OF_TEN[] = {1, 10, 100, 1000, 10000, 100000, 1000000,
                                                   10000000};
constexpr double POWERS_OF_TEN[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
constexpr bool LITTLE_ENDIAN_WORDS = std::endian::native == std::endian::little;

VARNEX_ALWAYS_INLINE std::uint64_t LoadWord(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

// The value of the word's first count digits (1 to 8).
VARNEX_ALWAYS_INLINE std::uint64_t DigitsValue(std::uint64_t word, int count) {
    std::uint64_t digits = (word & LOW_NIBBLES) << (8 * (8 - count));  // leading zeros
    digits = digits * 10 + (digits >> 8);
    constexpr std::uint64_t MASK = 0x000000FF000000FF;
    constexpr std::uint64_t MUL1 = 100 + (1000000ull << 32);
    constexpr std::uint64_t MUL2 = 1 + (10000ull << 32);
    return (((digits & MASK) * MUL1) + (((digits >> 16) & MASK) * MUL2)) >> 32;
}

// How many bytes of the word at p (p <= end) are digits before end. The word may reach past end:
// those bytes are read but never count.
VARNEX_ALWAYS_INLINE int LeadingDigitsBefore(std::uint64_t word, const char* p, const char* end) {
    std::uint64_t notDigit = ((word & HIGH_NIBBLES) ^ 0x3030303030303030) |
                             (((word & LOW_NIBBLES) + 0x0606060606060606) & HIGH_NIBBLES);
    std::ptrdiff_t left = end - p;
    if (left < 8) notDigit |= ~std::uint64_t{0} << (8 * left);
    return notDigit == 0 ? 8 : std::countr_zero(notDigit) >> 3;
}

template <bool WITH_VALUE>
VARNEX_ALWAYS_INLINE const char* ScanUsualDecimal(const char* p, const char* end, double* value) {
    static_assert(LITTLE_ENDIAN_WORDS, "the digit words are read in little-endian order");
    bool negative = p != end && *p == '-';
    p += negative;
    std::uint64_t wholeWord = LoadWord(p);
    int wholeDigits = LeadingDigitsBefore(wholeWord, p, end);
    if (wholeDigits == 0 || wholeDigits == 8 || p + wholeDigits == end || p[wholeDigits] != '.') {
        return nullptr;
    }
    const char* fraction = p + wholeDigits + 1;
    std::uint64_t fractionWord = LoadWord(fraction);
    int decimals = LeadingDigitsBefore(fractionWord, fraction, end);
    const char* after = fraction + decimals;
    if (decimals == 0 || decimals == 8 || (after != end && !IsBlank(*after))) return nullptr;
    if constexpr (WITH_VALUE) {
        // At most 14 digits: the integer and the power of ten are exact doubles, and one correctly
        // rounded division gives the value the general route gives.
        std::uint64_t digits = DigitsValue(wholeWord, wholeDigits) *
                                   INTEGER_POWERS_OF_TEN[decimals] +
                               DigitsValue(fractionWord, decimals);
        double magnitude = static_cast<double>(static_cast<std::int64_t>(digits)) /
                           POWERS_OF_TEN[decimals];
        *value = negative ? -magnitude : magnitude;
    }
    return after;
}
}  // namespace usual_number

// The usual form of an SMD number, "-12.345678": an optional minus, 1 to 7 whole digits, a point
// and 1 to 7 decimals, then the field's end (a blank or end). Reads the field that starts at p,
// sets value to what TextToDouble gives for it and returns the position just past it; returns
// nullptr for any other form, which the general route then decides. Reads up to 16 bytes past
// p, which must be readable even past end.
VARNEX_ALWAYS_INLINE const char* ReadUsualDecimal(const char* p, const char* end, double& value) {
    return usual_number::ScanUsualDecimal<true>(p, end, &value);
}
// The same check without the value: a field in the usual form is one IsDecimalNumber accepts.
VARNEX_ALWAYS_INLINE const char* SkipUsualDecimal(const char* p, const char* end) {
    return usual_number::ScanUsualDecimal<false>(p, end, nullptr);
}

// Bytes WriteUsualDecimalText writes at most.
constexpr int USUAL_DECIMAL_TEXT_BYTES = 16;

// The units of 1e-6 that DecimalText writes for |value| when rounding the product |value| x 1e6
// cannot be told from the 17-digit route, deciding near ties; false when even that cannot tell.
bool UsualUnitsNearTie(double value, std::uint64_t& units);

// Writes DecimalText(value) at out and returns the end when the value is a usual one: zero, or a
// magnitude from 2e-7 to 1e6 (all but a few values a hair from a tie at the seventh decimal).
// Returns nullptr, having written nothing that counts, for the others.
inline char* WriteUsualDecimalText(char* out, double value) {
    double scaled = std::fabs(value) * 1e6;
    std::uint64_t units;
    if (!(scaled < 1099511627776.0)) return nullptr;  // 2^40; NaN and infinities too
    if (scaled < 0.2) {
        if (scaled != 0.0) return nullptr;
        units = 0;
    } else {
        // Below 2^40 a double holds the product to 2^-13: rounding it gives the 17-digit
        // route's digits unless its fraction is near one half.
        auto whole = static_cast<std::int64_t>(scaled);
        double fraction = scaled - static_cast<double>(whole);
        if (fraction > 0.49 && fraction < 0.51) {
            if (!UsualUnitsNearTie(value, units)) return nullptr;
        } else {
            units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
        }
    }
    static constexpr char PAIRS[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    auto whole = static_cast<std::uint32_t>(units / 1000000);
    auto fraction = static_cast<std::uint32_t>(units - std::uint64_t{whole} * 1000000);
    char* p = out;
    *p = '-';
    p += std::signbit(value);
    if (whole < 10) {
        *p++ = static_cast<char>('0' + whole);
    } else if (whole < 100) {
        std::memcpy(p, PAIRS + 2 * whole, 2);
        p += 2;
    } else {
        int count = 3;
        for (std::uint32_t limit = 1000; count < 7 && whole >= limit; limit *= 10) ++count;
        char* digit = p + count;
        while (digit != p) {
            *--digit = static_cast<char>('0' + whole % 10);
            whole /= 10;
        }
        p += count;
    }
    *p = '.';
    std::uint32_t high = fraction / 10000;
    std::uint32_t low = fraction - high * 10000;
    std::memcpy(p + 1, PAIRS + 2 * high, 2);
    std::memcpy(p + 3, PAIRS + 2 * (low / 100), 2);
    std::memcpy(p + 5, PAIRS + 2 * (low % 100), 2);
    return p + 7;
}

}  // namespace varnex
