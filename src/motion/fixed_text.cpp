#include "motion/fixed_text.h"

#include <charconv>

namespace varnex {

void AppendFixed(std::string& out, double value, int decimals) {
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

std::string FixedText(double value, int decimals) {
    std::string text;
    AppendFixed(text, value, decimals);
    return text;
}

}  // namespace varnex
