#include "decode/views/CellFormat.h"

#include <charconv>
#include <cmath>

#include "common/NumberFormat.h"

namespace velk {

namespace {

std::string PadLeft(std::string text, int width) {
  if (static_cast<int>(text.size()) < width)
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  return text;
}

}  // namespace

std::string FixedWidth(double value, int width, int decimals) {
  if (!std::isfinite(value)) return FormatFloat("0", value);
  char text[400];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return PadLeft(std::string(text, result.ptr), width);
}

std::string FixedWidth(long long value, int width) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return PadLeft(std::string(text, result.ptr), width);
}

std::string HexText(std::uint64_t value, int digits) {
  static constexpr char hex[] = "0123456789ABCDEF";
  char text[16];
  int n = 0;
  do {
    text[n++] = hex[value & 0x0F];
    value >>= 4;
  } while (value != 0 && n < 16);
  std::string out(static_cast<std::size_t>(digits > n ? digits - n : 0), '0');
  while (n > 0) out += text[--n];
  return out;
}

std::string HoursMinutesText(long long minutes) {
  const long long hours = minutes / 60;
  const long long rest = minutes % 60;
  return FormatFloat("#####0", static_cast<double>(hours)) + ":" + ZeroPad(rest < 0 ? -rest : rest, 2);
}

}  // namespace velk
