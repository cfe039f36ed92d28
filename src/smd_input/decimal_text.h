// The one text form of every decimal number Varnex writes.
#pragma once

#include <string>

namespace varnex {

// Six decimals, built like the C runtime's _fcvt: |value| is taken to 17 significant digits,
// then rounded half away from zero at the sixth decimal; "0." before a value below 1, "-" when the
// sign bit is set (negative zero too); magnitudes below 1e-7 print as "0." and more than six zeros.
// Infinities and NaN give "inf", "-inf" and "nan"; the commands refuse them before writing.
std::string DecimalText(double value);

// Appends DecimalText(value) to out, without a temporary string.
void AppendDecimalText(std::string& out, double value);

// The same text, always built from the 17-digit string (AppendDecimalText takes the shortcut of
// WriteUsualDecimalText, which must agree with this).
void AppendDecimalTextByDigits(std::string& out, double value);

}  // namespace varnex
