// Numbers of reports and drawings written with a fixed number of decimals, whatever the locale.
#pragma once

#include <string>

namespace varnex {

// value rounded to `decimals` decimals ("-1.50", "0.000000"); a value that rounds to zero has no
// minus sign; infinities and NaN give "inf", "-inf", "nan".
void AppendFixed(std::string& out, double value, int decimals);
std::string FixedText(double value, int decimals);

}  // namespace varnex
