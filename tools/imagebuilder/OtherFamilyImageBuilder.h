// Memory of the other meter families, as far as a reading needs it: the
// identification, the clock, the serial, the constants that name the meter
// file and the hour archive ring with plausible records.
//
// Family layouts (meter addresses):
//   50, 51 compact heat meter (raw codes 72 and 81): RAM clock at 0x0210..0x0215 (BCD second ..
//     year); EEPROM 1 size index, 2..3 serial, 128/131/137 hour ring first record, last byte and
//     newest record (3 bytes each), 143 record length 16; EEPROM 32 KiB, ring 0x0100..0x7FFF.
//   60 flow meter (raw 96): as 50 with 8-byte records.
//   70, 71 pulse counters (raw 112, 113): RAM clock at 0x0210; EEPROM 1 channel count (low five
//     bits), 2..3 serial, 6..8 EEPROM size (32 KiB), 128/131/137 ring, 143 record length
//     (2 bytes per channel + 2: 10 and 34); a record whose last byte is 0x8F is a clock record.
//   1..49 older heat meter (raw code = family code): working-memory block at address 0 with
//     binary second, minute, hour at 84, 85, 86; EEPROM 16 KiB, EEPROM 256..257 the address the
//     next 13-byte record goes to, ring fixed at 548..16381.
// Families >= 50 keep 8 bytes at 0xC000, of which 6 and 7 are the BCD firmware version.
#pragma once

#include <cstdint>

#include "imagebuilder/FamilyLayout.h"

namespace velk {

class OtherFamilyImageBuilder {
 public:
  // familyCode 1..49, 50, 51, 60, 70 or 71.
  explicit OtherFamilyImageBuilder(int familyCode);

  OtherFamilyImageBuilder& SetSerial(std::uint16_t serial);    // EEPROM 2..3 and the identification answer
  OtherFamilyImageBuilder& SetClock(TDateTime meterClock);     // RAM clock
  OtherFamilyImageBuilder& SetFirmware(int major, int minor);  // 0xC000 bytes 6, 7 (families >= 50)
  OtherFamilyImageBuilder& SetSizeIndex(std::uint8_t index);   // EEPROM 1 (50, 51, 60)
  OtherFamilyImageBuilder& FillHourRecords(int count);         // sample records, oldest first
  OtherFamilyImageBuilder& SetHourNewestSlot(int slot);
  OtherFamilyImageBuilder& SetEepromBytes(std::uint32_t address, const std::vector<std::uint8_t>& bytes);

  int RecordLength() const { return recordLength_; }
  std::uint32_t RingFirst() const { return ringFirst_; }
  std::uint32_t RingLast() const { return ringLast_; }
  int RingSlots() const { return static_cast<int>((ringLast_ + 1 - ringFirst_) / recordLength_); }
  // The value of the ring pointer once built (the newest record, or below 50 the next slot).
  std::uint32_t HourPointer() const;

  MeterMemory BuildMemory() const;
  void BuildFullDump(TDateTime readTime, TDumpImage& into) const;

 private:
  int NewestSlot() const;

  int familyCode_;
  std::uint16_t serial_ = 1;
  TDateTime clock_ = 0;
  MeterMemory base_;
  int recordLength_;
  std::uint32_t ringFirst_, ringLast_;
  int records_ = 0;
  std::optional<int> newestSlot_;
};

}  // namespace velk
