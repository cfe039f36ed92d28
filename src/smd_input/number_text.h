// Numbers read from text by the C library's prefix rules, whatever the locale.
#pragma once

#include <string_view>

namespace varnex {

// atoi's rule: leading blanks, an optional sign, digits; anything after is ignored and a text
// without digits reads as 0. Values beyond the int range are clamped to it.
int TextToInt(std::string_view text);

// atof's rule: leading blanks, an optional sign, then the longest decimal number (digits with an
// optional point and exponent), a hexadecimal number, "inf"/"infinity" or "nan"; a text without a
// number reads as 0. Out of range values give infinity or zero, as atof does.
double TextToDouble(std::string_view text);

// The whole text is one finite decimal number: sign, digits with an optional point, an optional
// exponent, and nothing else ("0.5", "-3", "1e-3"; not "nan", "1.5abc" or "1e999").
bool IsDecimalNumber(std::string_view text);

// Blanks that separate fields: space, tab, vertical tab and form feed.
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

}  // namespace varnex
