// Decoder of the two-system heat meters, device codes 53..56: schemes,
// channel constants, the values on the display at reading, totals, and the
// hour and day archives (rings of 32-byte records in EEPROM).
#pragma once

#include "decode/DecoderTable.h"

namespace velk {

void DecodeMeterFamily5(const TDecodeInput& input, TDecodedValues& values);

// The archive reference clock: the meter clock, unless the reading block's
// time is plausible (before now, after initialisation, after 2002) and
// differs from the meter clock by more than half an hour.
TDateTime ChooseReferenceClock(TDateTime meterClock, TDateTime readTime, TDateTime initTime, TDateTime now);

}  // namespace velk
