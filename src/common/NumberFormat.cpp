#include "common/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
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
// Each thread remembers the picture it used last (plain pointers, nothing to
// free), so a run of numbers in one picture takes the lock once.
const Picture& CachedPicture(const std::string& pattern) {
  thread_local const std::string* lastPattern = nullptr;
  thread_local const Picture* lastPicture = nullptr;
  if (lastPattern && *lastPattern == pattern) return *lastPicture;
  static std::mutex mutex;
  static std::unordered_map<std::string, Picture> pictures;
  const std::lock_guard<std::mutex> lock(mutex);
  auto found = pictures.find(pattern);
  if (found == pictures.end()) found = pictures.emplace(pattern, ParsePicture(pattern)).first;
  lastPattern = &found->first;
  lastPicture = &found->second;
  return found->second;
}

// |value| = 0.Digits * 10^Exponent; no trailing zeros in Digits, no digits for zero.
struct Decimal {
  static constexpr int Significant = 18;
  char Digits[Significant + 1] = {};  // one more for a carry out of the first digit
  int Count = 0;
  int Exponent = 0;
};

void TrimTrailingZeros(Decimal& d) {
  while (d.Count > 0 && d.Digits[d.Count - 1] == '0') --d.Count;
  if (d.Count == 0) d.Exponent = 0;
}

// Eighteen significant digits, as the desktop runtime's extended-precision conversion gives them.
Decimal ToDecimal(double magnitude) {
  Decimal d;
  if (magnitude == 0) return d;
  char text[64] = {};
  std::to_chars(text, text + sizeof text - 1, magnitude, std::chars_format::scientific, 17);  // d.ddddddddddddddddde+XX
  d.Digits[0] = text[0];
  std::memcpy(d.Digits + 1, text + 2, Decimal::Significant - 1);
  d.Count = Decimal::Significant;
  d.Exponent = std::atoi(text + 20) + 1;
  TrimTrailingZeros(d);
  return d;
}

// Keeps `keep` leading digits, rounding the rest half away from zero.
void RoundDigits(Decimal& d, int keep) {
  if (keep >= d.Count) return;
  if (keep < 0) {
    d = {};
    return;
  }
  const bool up = d.Digits[keep] >= '5';
  d.Count = keep;
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.Digits[i] == '9') d.Digits[i--] = '0';
    if (i >= 0) {
      ++d.Digits[i];
    } else {
      std::memmove(d.Digits + 1, d.Digits, d.Count);
      d.Digits[0] = '1';
      ++d.Count;
      ++d.Exponent;
    }
  }
  TrimTrailingZeros(d);
}

char DigitAt(const Decimal& d, int position) {  // position 0 = first digit after "0."
  return position >= 0 && position < d.Count ? d.Digits[position] : '0';
}

// Appends the point and the decimals from digit `start`, if the picture shows any.
void AppendFraction(const Decimal& d, int start, const Picture& p, std::string& out) {
  int shown = p.MaxDecimals;
  while (shown > p.MinDecimals && DigitAt(d, start + shown - 1) == '0') --shown;
  if (shown == 0) return;
  out += '.';
  for (int k = 0; k < shown; ++k) out += DigitAt(d, start + k);
}

void AppendFixedBody(Decimal d, const Picture& p, std::string& out) {
  RoundDigits(d, d.Exponent + p.MaxDecimals);
  const std::size_t begin = out.size();
  if (d.Exponent < p.MinIntegerDigits) out.append(p.MinIntegerDigits - std::max(d.Exponent, 0), '0');
  for (int k = 0; k < d.Exponent; ++k) out += DigitAt(d, k);
  AppendFraction(d, d.Exponent, p, out);
  if (out.size() == begin) out += '0';  // zero under an all-'#' picture
}

void AppendScientificBody(Decimal d, const Picture& p, std::string& out) {
  const int integerDigits = p.IntegerPlaces > 0 ? p.IntegerPlaces : 1;
  RoundDigits(d, integerDigits + p.MaxDecimals);
  const int exponent = d.Count == 0 ? 0 : d.Exponent - integerDigits;
  if (d.Count == 0) {
    out.append(std::max(p.MinIntegerDigits, 1), '0');
  } else {
    for (int k = 0; k < integerDigits; ++k) out += DigitAt(d, k);
  }
  AppendFraction(d, integerDigits, p, out);
  out += 'E';
  if (exponent < 0) out += '-';
  else if (p.ExponentPlus) out += '+';
  char digits[16];
  char* end = std::to_chars(digits, digits + sizeof digits, std::abs(exponent)).ptr;
  if (end - digits < p.ExponentDigits) out.append(p.ExponentDigits - (end - digits), '0');
  out.append(digits, end);
}

}  // namespace

std::string FormatFloat(const std::string& pattern, double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  const Picture& p = CachedPicture(pattern);
  const Decimal d = ToDecimal(std::fabs(value));
  std::string text;
  text += '-';  // dropped below unless a non-zero digit shows: no "-0"
  text += p.Prefix;
  const std::size_t body = text.size();
  if (p.Scientific) AppendScientificBody(d, p, text);
  else AppendFixedBody(d, p, text);
  const bool negative = value < 0 && text.find_first_of("123456789", body) < text.find('E', body);
  text += p.Suffix;
  if (!negative) text.erase(0, 1);
  return text;
}

std::string ZeroPad(long long value, int digits) {
  std::string text = std::to_string(value < 0 ? -static_cast<unsigned long long>(value) : value);
  if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
  return value < 0 ? "-" + text : text;
}

}  // namespace velk
