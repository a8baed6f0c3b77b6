// What differs between the meter families in where they keep things: the
// clock in the working-memory block, the archive rings and the records a meter
// writes when an hour (or a day) ends.
#pragma once

#include <cstdint>

#include "imagebuilder/MeterMemory.h"

namespace velk {

// Sets the clock place, the ring layouts and the record makers for `memory.FamilyCode`
// (1..49, 50, 51, 53..56, 60, 70, 71). The ring descriptor fields must be in the memory already.
void ApplyFamilyLayout(MeterMemory& memory);
// The raw device code a meter of the family reports (the first of the family's codes).
std::uint8_t RawCodeOfFamily(int familyCode);
// EEPROM size of the family; the pulse counters keep theirs at EEPROM 6..8 (32 KiB here).
std::uint32_t EepromSizeOfFamily(int familyCode);
// Bytes of one hour record of the family (70, 71: 2 per channel + 2).
int HourRecordLength(int familyCode);

}  // namespace velk
