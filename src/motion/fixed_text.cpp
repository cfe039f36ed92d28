#include "motion/fixed_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace varnex {

namespace {
void AppendByCharconv(std::string& out, double value, int decimals) {
    char text[400];  // the longest double in fixed notation, with its decimals
    auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) {
        out += "nan";
        return;
    }
    const char* begin = text;
    if (*begin == '-') {
        bool zero = true;
        for (const char* c = begin + 1; c != end; ++c) zero = zero && (*c == '0' || *c == '.');
        if (zero) ++begin;
    }
    out.append(begin, static_cast<std::size_t>(end - begin));
}

constexpr double POWERS_OF_TEN[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr int FAST_DECIMALS = 9;
}  // namespace

void AppendFixed(std::string& out, double value, int decimals) {
    // The value times 10^decimals (an exact power), rounded once: rounding keeps order and a
    // half below 2^52 is a double, so the product is on the same side of every half as the exact
    // one, or on it; only those on a half go the exact way (charconv's tie rule), and every text
    // is charconv's, at a fraction of its cost.
    if (decimals >= 0 && decimals <= FAST_DECIMALS && std::isfinite(value)) {
        double scaled = std::fabs(value) * POWERS_OF_TEN[decimals];
        if (scaled < 0x1p52) {
            double whole = std::floor(scaled);
            double fraction = scaled - whole;  // exact below 2^52
            if (fraction != 0.5) {
                auto digits = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1u : 0u);
                // -0.00 is written 0.00, as a value that rounds to zero has no minus sign.
                const bool minus = std::signbit(value) && digits != 0;
                char text[32];
                char* end = text + sizeof text;
                char* begin = end;
                int written = 0;
                do {
                    if (written == decimals && decimals > 0) *--begin = '.';
                    *--begin = static_cast<char>('0' + digits % 10);
                    digits /= 10;
                    ++written;
                } while (digits != 0 || written <= decimals);
                if (minus) *--begin = '-';
                out.append(begin, static_cast<std::size_t>(end - begin));
                return;
            }
        }
    }
    AppendByCharconv(out, value, decimals);
}

std::string FixedText(double value, int decimals) {
    std::string text;
    AppendFixed(text, value, decimals);
    return text;
}

}  // namespace varnex
