// What the reader needs to know about a meter family: the family code of a raw
// device code, where the clock lies in the working-memory block, the archive
// record size and the expected byte count for the progress bar.
#pragma once

#include <cstdint>

#include "common/DateTime.h"

namespace velk {

// Raw device code of the identification answer (parameter byte 6) to family code.
int FamilyCodeFromRaw(std::uint8_t rawCode);

// Offset p of the meter clock within the clock block (the clock lies at block offset 16 + p).
int ClockOffset(int familyCode);

// Address of the working-memory block that holds the clock: 512, or 0 below family 50.
std::uint16_t ClockBlockAddress(int familyCode);

// Bytes the progress bar expects after the constants have been read. `savedReadTime`
// is the time of the previous reading (0 when none); `currentExpected` stays for
// families without a rule.
std::int32_t BytesExpectedAfterConstants(int familyCode, TDateTime now, TDateTime savedReadTime,
                                         std::int32_t currentExpected);

}  // namespace velk
