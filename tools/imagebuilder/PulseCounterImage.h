// Builds the memory of a pulse counter (family codes 70 and 71, raw device
// codes 112 and 113) field by field, and the dump a full reading leaves.
//
// Meter memory of the family:
//   RAM 0x0210..0x0215   clock, BCD second, minute, hour, day, month, year (two digits)
//   RAM 0x025A           supply voltage, (U - 2) x 64
//   RAM 0x025B           error code
//   RAM 0x025C + 2i      volume increment of channel i in the current hour, quarters of a pulse
//   EEPROM 0             status flags (bits 6, 7)
//   EEPROM 1             number of channels (low five bits)
//   EEPROM 2..3          serial number
//   EEPROM 6..8          EEPROM size
//   EEPROM 9             day of the reporting period, BCD
//   EEPROM 10..15        initialisation time, BCD year, month, day, hour, minute, second
//   EEPROM 16 + 3i       pulse count of channel i at the last reporting date (3 bytes)
//   EEPROM 64 + 4i       channel block: price and divider bits, seven-character identifier
//   EEPROM 128/131/137   hour ring: first record, last byte, newest record (3 bytes each)
//   EEPROM 143           record length L
//   EEPROM 144 + 4i      volume totals of channels 0..11, 208 + 4(i - 12) of channels 12..15
// Hour records are L bytes: the volumes of the channels, 2 bytes each in quarters of a
// pulse, bit 7 of bytes 1 and 3 marks; a clock record holds BCD second (bit 7 = reset),
// minute, hour, day, month, year - 2000 in bytes 0..5 and 0x8F in its last byte.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imagebuilder/MeterMemory.h"

namespace velk {

struct PulseCounterRecord {
  bool IsClock = false;
  std::vector<std::uint16_t> Volumes;  // raw, channel 0 first
  TDateTime Stamp = 0;                 // clock record
  bool ResetMark = false;

  static PulseCounterRecord Hour(std::vector<std::uint16_t> volumes);
  static PulseCounterRecord Clock(TDateTime stamp, bool resetMark = false);
  std::vector<std::uint8_t> Encode(int recordLength) const;
};

class PulseCounterImageBuilder {
 public:
  static constexpr std::uint32_t EepromSize = 0x8000;
  static constexpr std::uint32_t HourFirst = 0x0100;

  // familyCode 70 (4 channels) or 71 (16 channels).
  explicit PulseCounterImageBuilder(int familyCode = 70);

  PulseCounterImageBuilder& SetSerial(std::uint16_t serial);
  PulseCounterImageBuilder& SetChannelCountByte(std::uint8_t value);  // EEPROM 1 as a whole
  PulseCounterImageBuilder& SetClock(TDateTime meterClock);
  PulseCounterImageBuilder& SetInitTime(TDateTime initTime);
  PulseCounterImageBuilder& SetFirmware(int major, int minor);
  PulseCounterImageBuilder& SetReportDayByte(std::uint8_t value);
  PulseCounterImageBuilder& SetChannelBlock(int channel, std::array<std::uint8_t, 4> block);
  PulseCounterImageBuilder& SetChannelPulses(int channel, std::uint32_t pulses);
  PulseCounterImageBuilder& SetChannelTotal(int channel, std::uint32_t raw);
  PulseCounterImageBuilder& SetChannelIncrement(int channel, std::uint16_t raw);
  PulseCounterImageBuilder& SetRamByte(std::uint16_t ramAddress, std::uint8_t value);
  PulseCounterImageBuilder& SetRecordLength(int length);
  PulseCounterImageBuilder& SetHourSlots(int slots);
  // Oldest first; the newest lands in slot count - 1 unless SetHourNewestSlot says otherwise.
  PulseCounterImageBuilder& AddHourRecord(const PulseCounterRecord& record);
  PulseCounterImageBuilder& SetHourNewestSlot(int slot);

  std::uint32_t SlotAddress(int slot) const { return HourFirst + static_cast<std::uint32_t>(recordLength_ * slot); }

  MeterMemory BuildMemory() const;
  void BuildFullDump(TDateTime readTime, TDumpImage& into) const;

 private:
  MeterMemory base_;
  std::uint16_t serial_ = 1;
  TDateTime clock_ = 0;
  int recordLength_ = 16;
  int hourSlots_ = 64;
  int newestSlot_ = -1;
  std::vector<PulseCounterRecord> hours_;
};

}  // namespace velk
