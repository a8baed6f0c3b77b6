#include "common/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace velk {

namespace {

// A picture such as "##00.0##" or "#.###E-0" taken apart.
struct Picture {
  std::string Prefix, Suffix;  // literal text around the number
  int IntegerPlaces = 0;       // placeholders before the point
  int MinIntegerDigits = 0;    // from the first '0' before the point
  int MaxDecimals = 0;         // placeholders after the point
  int MinDecimals = 0;         // up to the last '0' after the point
  bool Scientific = false;
  bool ExponentPlus = false;  // "E+": sign always shown
  int ExponentDigits = 0;
};

bool IsPlaceholder(char c) { return c == '0' || c == '#'; }

Picture ParsePicture(const std::string& pattern) {
  Picture p;
  std::size_t i = 0;
  while (i < pattern.size() && !IsPlaceholder(pattern[i]) && pattern[i] != '.') p.Prefix += pattern[i++];
  int firstZero = -1;
  for (; i < pattern.size() && IsPlaceholder(pattern[i]); ++i) {
    if (pattern[i] == '0' && firstZero < 0) firstZero = p.IntegerPlaces;
    ++p.IntegerPlaces;
  }
  if (firstZero >= 0) p.MinIntegerDigits = p.IntegerPlaces - firstZero;
  if (i < pattern.size() && pattern[i] == '.') {
    for (++i; i < pattern.size() && IsPlaceholder(pattern[i]); ++i) {
      ++p.MaxDecimals;
      if (pattern[i] == '0') p.MinDecimals = p.MaxDecimals;
    }
  }
  if (i + 1 < pattern.size() && (pattern[i] == 'E' || pattern[i] == 'e') &&
      (pattern[i + 1] == '+' || pattern[i + 1] == '-')) {
    p.Scientific = true;
    p.ExponentPlus = pattern[i + 1] == '+';
    for (i += 2; i < pattern.size() && pattern[i] == '0'; ++i) ++p.ExponentDigits;
  }
  p.Suffix = pattern.substr(i);
  return p;
}

// The pictures in use are a handful of fixed texts, each parsed once. One map
// for the process (its entries never move), not one per thread: a thread-local
// object with a destructor is not freed safely at thread exit by every runtime.
const Picture& CachedPicture(const std::string& pattern) {
  static std::mutex mutex;
  static std::unordered_map<std::string, Picture> pictures;
  const std::lock_guard<std::mutex> lock(mutex);
  auto found = pictures.find(pattern);
  if (found == pictures.end()) found = pictures.emplace(pattern, ParsePicture(pattern)).first;
  return found->second;
}

// |value| = 0.Digits * 10^Exponent; no trailing zeros in Digits, empty Digits for zero.
struct Decimal {
  std::string Digits;
  int Exponent = 0;
};

void TrimTrailingZeros(Decimal& d) {
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  if (d.Digits.empty()) d.Exponent = 0;
}

// Eighteen significant digits, as the desktop runtime's extended-precision conversion gives them.
Decimal ToDecimal(double magnitude) {
  Decimal d;
  if (magnitude == 0) return d;
  char text[64] = {};
  std::to_chars(text, text + sizeof text - 1, magnitude, std::chars_format::scientific, 17);  // d.ddddddddddddddddde+XX
  d.Digits = std::string(1, text[0]) + std::string(text + 2, 17);
  d.Exponent = std::atoi(text + 20) + 1;
  TrimTrailingZeros(d);
  return d;
}

// Keeps `keep` leading digits, rounding the rest half away from zero.
void RoundDigits(Decimal& d, int keep) {
  if (keep >= static_cast<int>(d.Digits.size())) return;
  if (keep < 0) {
    d = {};
    return;
  }
  const bool up = d.Digits[keep] >= '5';
  d.Digits.resize(keep);
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.Digits[i] == '9') d.Digits[i--] = '0';
    if (i >= 0) {
      ++d.Digits[i];
    } else {
      d.Digits.insert(d.Digits.begin(), '1');
      ++d.Exponent;
    }
  }
  TrimTrailingZeros(d);
}

char DigitAt(const Decimal& d, int position) {  // position 0 = first digit after "0."
  return position >= 0 && position < static_cast<int>(d.Digits.size()) ? d.Digits[position] : '0';
}

std::string Fraction(const Decimal& d, int start, const Picture& p) {
  std::string fraction;
  for (int k = 0; k < p.MaxDecimals; ++k) fraction += DigitAt(d, start + k);
  while (static_cast<int>(fraction.size()) > p.MinDecimals && fraction.back() == '0') fraction.pop_back();
  return fraction.empty() ? "" : "." + fraction;
}

std::string FixedBody(Decimal d, const Picture& p) {
  RoundDigits(d, d.Exponent + p.MaxDecimals);
  std::string integer;
  for (int k = 0; k < d.Exponent; ++k) integer += DigitAt(d, k);
  if (static_cast<int>(integer.size()) < p.MinIntegerDigits) {
    integer.insert(0, p.MinIntegerDigits - integer.size(), '0');
  }
  const std::string fraction = Fraction(d, d.Exponent, p);
  if (integer.empty() && fraction.empty()) return "0";  // zero under an all-'#' picture
  return integer + fraction;
}

std::string ScientificBody(Decimal d, const Picture& p) {
  const int integerDigits = p.IntegerPlaces > 0 ? p.IntegerPlaces : 1;
  RoundDigits(d, integerDigits + p.MaxDecimals);
  const int exponent = d.Digits.empty() ? 0 : d.Exponent - integerDigits;
  std::string integer;
  for (int k = 0; k < integerDigits; ++k) integer += DigitAt(d, k);
  if (d.Digits.empty()) integer = std::string(std::max(p.MinIntegerDigits, 1), '0');
  std::string digits = std::to_string(std::abs(exponent));
  if (static_cast<int>(digits.size()) < p.ExponentDigits)
    digits.insert(0, p.ExponentDigits - digits.size(), '0');
  const std::string sign = exponent < 0 ? "-" : p.ExponentPlus ? "+" : "";
  return integer + Fraction(d, integerDigits, p) + "E" + sign + digits;
}

}  // namespace

std::string FormatFloat(const std::string& pattern, double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  const Picture& p = CachedPicture(pattern);
  const Decimal d = ToDecimal(std::fabs(value));
  const std::string body = p.Scientific ? ScientificBody(d, p) : FixedBody(d, p);
  // No "-0": the sign shows only when a non-zero digit does.
  const bool negative = value < 0 && body.find_first_of("123456789") < body.find('E');
  return (negative ? "-" : "") + p.Prefix + body + p.Suffix;
}

std::string ZeroPad(long long value, int digits) {
  std::string text = std::to_string(value < 0 ? -static_cast<unsigned long long>(value) : value);
  if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
  return value < 0 ? "-" + text : text;
}

}  // namespace velk
