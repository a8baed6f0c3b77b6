// Picture-format numbers ("#0.000", "###0.##", "#.###E-0", "00000", ...):
// '0' is a digit that is always shown, '#' one shown only when significant,
// '.' the decimal point (always "." in this program), "E-0"/"E+0" an exponent.
#pragma once

#include <string>

namespace velk {

std::string FormatFloat(const std::string& pattern, double value);
// Integer with leading zeros to `digits` places (the "00000" patterns).
std::string ZeroPad(long long value, int digits);

}  // namespace velk
