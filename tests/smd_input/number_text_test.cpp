#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "smd_input/frame_keys.h"
#include "smd_input/number_text.h"
#include "test_support.h"

namespace varnex {

TEST(NumberText, IntegersFollowTheAtoiPrefixRule) {
    const std::pair<const char*, int> CASES[] = {
        {"12", 12},   {"  -1", -1},    {"+7abc", 7}, {"abc", 0}, {"", 0}, {"102:5", 102},
        {"99999999999999", 2147483647}, {"-99999999999999", -2147483647 - 1}};
    for (const auto& [text, value] : CASES) EXPECT_EQ(TextToInt(text), value) << text;
}

TEST(NumberText, DecimalsFollowTheAtofPrefixRule) {
    const std::pair<const char*, double> CASES[] = {
        {"1.5", 1.5}, {" -0.25xyz", -0.25}, {"+.5", 0.5},  {"5.", 5.0},   {"1e3", 1000.0},
        {"1e", 1.0},  {"abc", 0.0},         {"--5", 0.0},  {"0x10", 16.0}};
    for (const auto& [text, value] : CASES) EXPECT_EQ(TextToDouble(text), value) << text;
    EXPECT_TRUE(std::signbit(TextToDouble("-0")));
    EXPECT_TRUE(std::isinf(TextToDouble("1e999")));
    EXPECT_TRUE(std::isinf(TextToDouble("-inf")));
    EXPECT_TRUE(std::isnan(TextToDouble("nan")));
    EXPECT_EQ(TextToDouble("1e-999"), 0.0);
    EXPECT_EQ(TextToDouble("0.000000000000000000000000000001e-400"), 0.0);
}

TEST(NumberText, DecimalPointIsAPointWhateverTheLocale) {
    // A window toolkit may switch the C locale to the user's; the readers must not follow.
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old != nullptr ? old : "C";
    if (std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(TextToDouble("1.25"), 1.25);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(NumberText, PlainDecimalsReadExactlyAsTheGeneralRoute) {
    // The shortcut for "-123.456789" must give the correctly rounded double, bit for bit.
    const char* const TEXTS[] = {"0.1",        "-0.000001",          "123456.789012",
                                 "0.30000000000000004", "999999999999999", "1.2345678901234",
                                 "-3.141593",  "36.800000",          "0.000000000000001",
                                 "5e-1",       "12.5x",              "7."};
    const double VALUES[] = {0.1,        -0.000001, 123456.789012,   0.30000000000000004,
                             999999999999999.0, 1.2345678901234, -3.141593, 36.8,
                             0.000000000000001, 0.5, 12.5, 7.0};
    for (std::size_t i = 0; i < std::size(TEXTS); ++i) {
        EXPECT_EQ(TextToDouble(TEXTS[i]), VALUES[i]) << TEXTS[i];
    }
    char text[32];
    CTestRandom random(88172645463325252ull);
    for (int i = 0; i < 100000; ++i) {
        std::uint64_t state = random.Next();
        long long whole = static_cast<long long>(state % 2000000000ull) - 1000000000;
        std::snprintf(text, sizeof text, "%lld.%06llu", whole / 1000,
                      static_cast<unsigned long long>((state >> 32) % 1000000));
        ASSERT_EQ(TextToDouble(text), std::strtod(text, nullptr)) << text;
    }
}

TEST(NumberText, DecimalNumbersAreWholeFieldsOfFiniteValue) {
    for (const char* text : {"0", "-0.0", "+1.5", ".5", "5.", "1e-3", "1E+300", "-12.345678"}) {
        EXPECT_TRUE(IsDecimalNumber(text)) << text;
    }
    for (const char* text : {"", "-", ".", "nan", "inf", "1.5abc", "1e", "1e999", "0x10", "1 2",
                             "--1", "1.2.3"}) {
        EXPECT_FALSE(IsDecimalNumber(text)) << text;
    }
    EXPECT_TRUE(IsDecimalNumber(std::string(300, '9')));
    EXPECT_FALSE(IsDecimalNumber(std::string(400, '9')));
}

// A position field is a number when the C library's strtod reads it whole, as atof would read it.
TEST(NumberText, PositionFieldsAreNumbersThatStrtodReadsWhole) {
    std::setlocale(LC_NUMERIC, "C");
    for (const char* text :
         {"0", "-1.5", "+.5", "5.", "1e-3", "1E+300", "1e999", "nan", "-inf", "Infinity", "NAN",
          "0x1p3", "0X.8P-1", "0x1F", "", "-", ".", "1e", "1e+", "0x", "0xg", "abc", "1.5abc",
          "--1", "1.2.3", "infx", "0x1p", "1 2"}) {
        char* end = nullptr;
        std::strtod(text, &end);
        bool whole = *text != '\0' && *end == '\0';
        EXPECT_EQ(IsNumberField(text), whole) << text;
    }
}

}  // namespace varnex
