// The family decoder of each device family.
#pragma once

#include <cstdint>

#include "common/Clock.h"
#include "common/DumpImage.h"
#include "decode/DecodedValues.h"

namespace velk {

// Item index of the read mode " Режим чтения данных " that reads only the current values.
constexpr int ReadModeCurrentValuesOnly = 2;

// What a family decoder reads. The image is the dump as read, bytes past
// DumpLength being 0; `PresentClock` gives the computer's present time.
struct TDecodeInput {
  const TDumpImage& Image;
  const Clock& PresentClock;
  int ReadMode = 0;  // item index of the read-mode group (0 full, 1 changes, 2 current values)
};

// A family decoder fills `values` from the image; it throws on data it cannot convert.
using DecoderFunction = void (*)(const TDecodeInput& input, TDecodedValues& values);

// The decoder of a device code, nullptr for a code that has none.
DecoderFunction FindDecoder(std::uint32_t deviceCode);

}  // namespace velk
