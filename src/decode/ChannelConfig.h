// The configuration byte of a flow channel, as the heat meters keep it in EEPROM:
// bits 2, 1, 0 choose the pulse divider (1000, 100, 10, else 1), bits 3 and 4 the
// base price (neither 250, one of them 500, both 1000 litres), bit 7 the volume
// multiplier 10 of every channel but the first.
#pragma once

#include <cstdint>

namespace velk {

struct ChannelConstants {
  std::int32_t Divider = 1;
  std::int32_t Multiplier = 1;
  double Price = 0;  // litres per pulse: base price / divider
};

constexpr std::int32_t DividerOfConfig(std::uint8_t config) {
  return (config & 0x04) ? 1000 : (config & 0x02) ? 100 : (config & 0x01) ? 10 : 1;
}

constexpr ChannelConstants ChannelOfConfigByte(std::uint8_t config, bool firstChannel) {
  ChannelConstants c;
  c.Divider = DividerOfConfig(config);
  c.Multiplier = (config & 0x80) && !firstChannel ? 10 : 1;
  const bool bit3 = (config & 0x08) != 0, bit4 = (config & 0x10) != 0;
  const double base = bit3 && bit4 ? 1000 : (bit3 || bit4) ? 500 : 250;
  c.Price = base / c.Divider;
  return c;
}

}  // namespace velk
