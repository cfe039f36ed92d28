#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "smd_input/decimal_text.h"
#include "test_support.h"

namespace varnex {

namespace {
struct DECIMAL_CASE {
    double value;
    std::string text;
};

const DECIMAL_CASE DECIMAL_TABLE[] = {
    {0.0, "0.000000"},
    {-0.0, "-0.000000"},
    {12.345678, "12.345678"},
    {0.000123, "0.000123"},
    {0.0000006, "0.000001"},
    {0.0000004, "0.000000"},
    {0.9999996, "1.000000"},
    {9.9999996, "10.000000"},
    {0.0078125, "0.007813"},    // a tie: away from zero, not to even
    {123456.7, "123456.700000"},
    {0.00000005, "0.0000000"},  // seven zeros
    {0.000000001, "0.00000000"},  // eight zeros
    {1152921504606846976.0, "1152921504606847000.000000"},  // digits past the 17th are zeros
    {12.3456789, "12.345679"},
    // Stored a hair below the tie, 0.1234565 reads 0.12345650000000000 in 17 digits, which
    // rounds up, where an exact formatter would round down.
    {0.1234565, "0.123457"},
    {1.0000005, "1.000001"},
    // 1e-300 = 0.1e-299: the point, then 299 zeros, and no digit.
    {1e-300, "0." + std::string(299, '0')},
    {-1e-8, "-0.0000000"},
    {1.7976931348623157e308, "17976931348623157" + std::string(292, '0') + ".000000"},
    {INFINITY, "inf"},
    {-INFINITY, "-inf"},
    {NAN, "nan"},
};
}  // namespace

TEST(DecimalText, WorkedExamplesGiveTheirText) {
    for (const DECIMAL_CASE& c : DECIMAL_TABLE) {
        EXPECT_EQ(DecimalText(c.value), c.text) << "value " << c.value;
    }
}

TEST(DecimalText, ShortcutAgreesWithTheDigitStringEverywhere) {
    // Values of every magnitude the files hold, products like the build's, and values next to
    // ties at the seventh decimal.
    CTestRandom random(0x9E3779B97F4A7C15ull);
    auto next = [&random]() { return random.Next(); };
    int checked = 0;
    for (int i = 0; i < 200000; ++i) {
        double unit = static_cast<double>(next() >> 11) / 9007199254740992.0;
        double value = (unit - 0.5) * std::pow(10.0, static_cast<int>(next() % 20) - 9);
        if (i % 4 == 1) value = std::round(value * 1e7) / 1e7 + 5e-7;  // near a tie
        if (i % 4 == 2) value = (unit * 200.0 - 100.0) * 1.2523763407477821;
        if (i % 4 == 3) value = (std::round(value * 1e6) + 0.5 + (unit - 0.5) * 1e-8) / 1e6;
        std::string fast = DecimalText(value);
        std::string byDigits;
        AppendDecimalTextByDigits(byDigits, value);
        ASSERT_EQ(fast, byDigits) << "value " << value;
        ++checked;
    }
    EXPECT_EQ(checked, 200000);
}

}  // namespace varnex
