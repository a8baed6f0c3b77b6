// Number texts of the data views.
#pragma once

#include <cstdint>
#include <string>

namespace velk {

// The value right-aligned in `width` characters with `decimals` decimals ("  1.250").
std::string FixedWidth(double value, int width, int decimals);
// A whole number right-aligned in `width` characters.
std::string FixedWidth(long long value, int width);
// Upper-case hexadecimal with at least `digits` digits.
std::string HexText(std::uint64_t value, int digits);
// Minutes as whole hours ("#####0") ":" minutes ("00").
std::string HoursMinutesText(long long minutes);

}  // namespace velk
