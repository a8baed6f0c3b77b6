#include "decode/views/CellFormat.h"

#include <cmath>
#include <cstdio>

#include "common/NumberFormat.h"

namespace velk {

std::string FixedWidth(double value, int width, int decimals) {
  if (!std::isfinite(value)) return FormatFloat("0", value);
  char text[400];
  std::snprintf(text, sizeof text, "%*.*f", width, decimals, value);
  return text;
}

std::string FixedWidth(long long value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%*lld", width, value);
  return text;
}

std::string HexText(std::uint64_t value, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
  return text;
}

std::string HoursMinutesText(long long minutes) {
  const long long hours = minutes / 60;
  const long long rest = minutes % 60;
  return FormatFloat("#####0", static_cast<double>(hours)) + ":" + ZeroPad(rest < 0 ? -rest : rest, 2);
}

}  // namespace velk
