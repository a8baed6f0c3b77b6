#include "common/Mathem.h"

#include <cmath>

namespace velk {

namespace {

std::uint8_t ByteAt(ImageView image, std::int64_t index) {
  if (index < 0 || index >= static_cast<std::int64_t>(image.size())) return 0;
  return image[static_cast<std::size_t>(index)];
}

// Sum of count bytes, least significant first, in double precision (exact up to 2^53).
double LittleEndianSum(ImageView image, std::int64_t start, std::uint16_t count) {
  double sum = 0;
  for (std::uint16_t i = 0; i < count; ++i) sum += std::ldexp(ByteAt(image, start + i), 8 * i);
  return sum;
}

// Two packed-BCD digits as a number; -1 when a digit is not decimal.
int BcdValue(std::uint8_t byte) {
  const int high = byte >> 4, low = byte & 0x0F;
  if (high > 9 || low > 9) return -1;
  return high * 10 + low;
}

int BcdOr(std::uint8_t byte, int fallback) {
  const int value = BcdValue(byte);
  return value < 0 ? fallback : value;
}

}  // namespace

void XorInto(std::uint8_t a, std::uint8_t& accumulator) { accumulator ^= a; }

void AddInto(std::uint8_t a, std::uint8_t& accumulator) {
  accumulator = static_cast<std::uint8_t>(accumulator + a);
}

void Crc16Step(std::uint8_t a, std::uint16_t& accumulator) {
  for (int r = 7; r >= 0; --r) {
    const unsigned bit = (a >> r) & 1u;
    const bool carry = accumulator >= 0x8000;
    if (carry) accumulator &= 0x7FFF;
    accumulator = static_cast<std::uint16_t>((accumulator * 2u + bit) & 0xFFFFu);
    if (carry) accumulator ^= 0x1021;
  }
}

std::uint32_t ReadLeUInt(ImageView image, std::uint16_t start, std::uint16_t count) {
  std::uint32_t value = 0;
  const int significant = count < 4 ? count : 4;  // higher bytes wrap away modulo 2^32
  for (int i = 0; i < significant; ++i)
    value |= static_cast<std::uint32_t>(ByteAt(image, start + i)) << (8 * i);
  return value;
}

double ReadLeScaled(ImageView image, std::int32_t start, std::uint16_t count, std::int32_t k) {
  return std::ldexp(LittleEndianSum(image, start, count), -k);
}

double ReadLeScaledSigned(ImageView image, std::int32_t start, std::uint16_t count, std::int32_t k) {
  if (count == 0) return 0;
  double sum = LittleEndianSum(image, start, count);
  if (ByteAt(image, static_cast<std::int64_t>(start) + count - 1) >= 0x80)
    sum -= std::ldexp(1.0, 8 * count) - 1;
  return std::ldexp(sum, -k);
}

TDateTime BcdToDateTime(std::uint8_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour,
                        std::uint8_t minute, std::uint8_t second) {
  if (year == 0xFF || month == 0 || month == 0xFF || day == 0 || day == 0xFF || hour == 0xFF ||
      minute == 0xFF || second == 0xFF) {
    year = 0, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  }
  int y = BcdOr(year, 0), mo = BcdOr(month, 1), d = BcdOr(day, 1);
  int h = BcdOr(hour, 0), mi = BcdOr(minute, 0), s = BcdOr(second, 0);
  if (s == 60) {
    s = 0;
    if (++mi > 59) {
      mi = 0;
      ++h;
    }
  }
  if (y >= 1 && y <= 89) {
    y += 2000;
  } else {
    y += 1900;  // 90..99 are 1990..1999, 0 is 1900
  }
  const auto date = EncodeDate(y, mo, d);
  const auto time = EncodeTime(h, mi, s);
  if (!date || !time) return 0;
  return *date + *time;
}

BcdDateTime DateTimeToBcd(TDateTime value) {
  const DateTimeParts p = DecodeDateTime(value);
  const int year = p.Year >= 2000 ? p.Year - 2000 : p.Year - 1900;
  return {ToBcd(year), ToBcd(p.Month), ToBcd(p.Day), ToBcd(p.Hour), ToBcd(p.Minute), ToBcd(p.Second)};
}

std::uint8_t ToBcd(std::int64_t n) {
  const std::int64_t tens = n / 10 - 10 * (n / 100);
  const std::int64_t units = n - 10 * (n / 10);
  return static_cast<std::uint8_t>(tens * 16 + units);
}

std::array<std::uint8_t, 4> SplitU32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

double WaterEnthalpy(double t) {
  return 4.19954 * t + 0.736605 - 0.000432195 * t * t + 0.0000032542 * t * t * t;
}

double WaterDensityRatio(double t) { return 1.00406371 - 0.0001894151 * t - 0.0000025948424 * t * t; }

std::int64_t nint(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  double result = floor;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0)) result = floor + 1;
  return static_cast<std::int64_t>(result);
}

}  // namespace velk
