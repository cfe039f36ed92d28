// Fixed-decimal texts, which the world method's and the feet stage's lines, the reports and the
// previews are written with: every one must be charconv's correctly rounded text, the halves and
// the near-halves that a quick rounding would get wrong included.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "motion/fixed_text.h"

namespace varnex {
namespace {

std::string Charconv(double value, int decimals) {
    char text[400];
    auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string s = error == std::errc() ? std::string(text, end) : "nan";
    if (s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos) s.erase(0, 1);
    return s;
}

TEST(FixedText, IsTheCorrectlyRoundedTextOfEveryValue) {
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> exponent(-12.0, 16.0), unit(-1.0, 1.0);
    std::uniform_int_distribution<int> decimalsOf(0, 10);
    int checked = 0;
    auto check = [&](double value, int decimals) {
        ASSERT_EQ(FixedText(value, decimals), Charconv(value, decimals))
            << std::hexfloat << value << " to " << decimals << " decimals";
        ++checked;
    };
    for (int i = 0; i < 300000; ++i) {
        int decimals = decimalsOf(random);
        check(unit(random) * std::pow(10.0, exponent(random)), decimals);
        // A half at that many decimals and its neighbours a few units in the last place away.
        double half = (std::floor(unit(random) * 1e6) + 0.5) / std::pow(10.0, decimals);
        for (int step = -3; step <= 3; ++step) {
            double v = half;
            for (int k = 0; k < std::abs(step); ++k) {
                v = std::nextafter(v, step < 0 ? -INFINITY : INFINITY);
            }
            check(v, decimals);
        }
    }
    for (double v : {0.0, -0.0, 0.5, -0.5, 1.5, 2.5, 0.125, 0.375, -0.004, 0.05, 0.15, 0.25,
                     1e-320, -1e-320, 4503599627370495.5, 4503599627370496.0, 9.999999999e15,
                     123456789.123456789, -0.0000004, 0.0000005, 0.00000049999999999999994,
                     std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()}) {
        for (int decimals = 0; decimals <= 10; ++decimals) check(v, decimals);
    }
    EXPECT_GT(checked, 2000000);
}

}  // namespace
}  // namespace varnex
