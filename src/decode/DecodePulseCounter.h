// Decoder of the 4- and 16-channel pulse counters, device codes 70 and 71:
// channel identifiers, prices and totals, and the hour archive with one
// volume per channel.
#pragma once

#include <cstdint>
#include <string>

#include "decode/DecoderTable.h"

namespace velk {

void DecodePulseCounter(const TDecodeInput& input, TDecodedValues& values);

// Seven characters from the four bytes of a channel block: the low nibble of
// the first byte, then both nibbles of the next three, in the display alphabet.
std::string PulseChannelId(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3);

}  // namespace velk
