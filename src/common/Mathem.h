// Shared numeric helpers: frame checksums, little-endian readers over a meter
// memory image, packed-BCD dates and the water property polynomials.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "common/DateTime.h"

namespace velk {

using ImageView = std::span<const std::uint8_t>;

void XorInto(std::uint8_t a, std::uint8_t& accumulator);
void AddInto(std::uint8_t a, std::uint8_t& accumulator);
// Feeds the eight bits of `a` (most significant first) into the augmented
// CRC-CCITT register (polynomial 0x1021).
void Crc16Step(std::uint8_t a, std::uint16_t& accumulator);

// Readers never copy the image; bytes outside the view read as 0.
std::uint32_t ReadLeUInt(ImageView image, std::uint16_t start, std::uint16_t count);
double ReadLeScaled(ImageView image, std::int32_t start, std::uint16_t count, std::int32_t k);
// Ones'-complement: with the top byte >= 0x80 the value is S - (256^count - 1).
double ReadLeScaledSigned(ImageView image, std::int32_t start, std::uint16_t count, std::int32_t k);

// Six BCD bytes by meaning; 0 when they do not form a date.
TDateTime BcdToDateTime(std::uint8_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour,
                        std::uint8_t minute, std::uint8_t second);
struct BcdDateTime {
  std::uint8_t Year, Month, Day, Hour, Minute, Second;
};
BcdDateTime DateTimeToBcd(TDateTime value);
std::uint8_t ToBcd(std::int64_t n);
std::array<std::uint8_t, 4> SplitU32(std::uint32_t value);

double WaterEnthalpy(double t);
double WaterDensityRatio(double t);

// Round half to even, as the decoders and report builders expect.
std::int64_t nint(double value);

}  // namespace velk
