// Builds the memory of a compact heat meter (family codes 50 and 51, raw device
// codes 72 and 81) or of the flow meter (family code 60, raw device code 96) field
// by field, and the dumps a reading of it leaves behind.
//
// Meter memory of these families:
//   0xC000 + 6, + 7      firmware version, BCD major and minor
//   RAM 0x0210..0x0215   clock, BCD second, minute, hour, day, month, year (two digits)
//   EEPROM 0..1          size index (below firmware 1.15 the word at 0 modulo 100, later
//                        EEPROM 1 as BCD; the flow meter: EEPROM 1)
//   EEPROM 2..3          serial number
//   EEPROM 10..15        initialisation time, BCD year, month, day, hour, minute, second
//   EEPROM 16..18        configuration bytes of the flow channels
//   EEPROM 128/131/137   hour ring: first record, last byte, newest record (3 bytes each)
//   EEPROM 143           record length
// Further fields (current values, totals) are written with SetRam / SetEeprom at the
// addresses their decoders read. The hour ring lies at 0x0100..0x7FFF; records are
// 16 bytes (compact meters) or 8 bytes (flow meter) apart.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imagebuilder/MeterMemory.h"

namespace velk {

// A 16-byte hour record of the compact heat meters.
struct Family2Record {
  enum class Kind { Normal, Clock, Blank };
  Kind Type = Kind::Normal;
  std::uint16_t Q1 = 0;                    // bytes 0..1, quarters
  std::uint16_t T1 = 0x4700, T2 = 0x3300;  // bytes 2..5: (degrees + 1) x 256
  std::uint16_t V1 = 0, V2 = 0, V3 = 0;    // bytes 6..11, quarters
  std::uint32_t WorkTotal = 0;             // bytes 12..14: running total of work minutes
  std::uint8_t K1 = 0;                     // byte 15
  TDateTime Stamp = 0;                     // clock record: bytes 0..5, 0 in 7..11, 0xFF in 15
  bool ResetMark = false;

  static std::uint16_t Temperature(double degrees);
  static Family2Record Clock(TDateTime stamp, bool resetMark = false);
  static Family2Record Blank();
  std::vector<std::uint8_t> Encode() const;
};

// An 8-byte hour record of the flow meter.
struct FlowMeterRecord {
  enum class Kind { Normal, Clock, Blank };
  Kind Type = Kind::Normal;
  std::uint16_t V1 = 0;       // bytes 0..1, quarters
  std::uint16_t T1 = 0x1500;  // bytes 2..3: (degrees + 1) x 256
  TDateTime Stamp = 0;        // clock record: bytes 0..5, byte 6 the voltage, 0x8F in byte 7
  bool ResetMark = false;
  std::uint8_t Voltage = 0x60;  // (U - 2) x 64

  static FlowMeterRecord Clock(TDateTime stamp, bool resetMark = false);
  static FlowMeterRecord Blank();
  std::vector<std::uint8_t> Encode() const;
};

class CompactMeterImageBuilder {
 public:
  static constexpr std::uint32_t EepromSize = 0x8000;
  static constexpr std::uint32_t HourFirst = 0x0100;

  // familyCode 50, 51 or 60.
  explicit CompactMeterImageBuilder(int familyCode = 50);

  int RecordLength() const { return recordLength_; }
  int RingSlots() const { return static_cast<int>((EepromSize - HourFirst) / recordLength_); }

  CompactMeterImageBuilder& SetSerial(std::uint16_t serial);
  CompactMeterImageBuilder& SetFirmware(std::uint8_t majorBcd, std::uint8_t minorBcd);
  CompactMeterImageBuilder& SetClock(TDateTime meterClock);
  CompactMeterImageBuilder& SetInitTime(TDateTime initTime);
  CompactMeterImageBuilder& SetRam(std::uint16_t ramAddress, std::uint32_t value,
                                   int width);  // 0x0200..0x02FF
  CompactMeterImageBuilder& SetEeprom(std::uint32_t address, std::uint32_t value, int width);

  // Records oldest first; the newest lands in `newestSlot` (default: count - 1).
  CompactMeterImageBuilder& AddHourRecord(const std::vector<std::uint8_t>& record);
  CompactMeterImageBuilder& SetNewestSlot(int slot);

  MeterMemory BuildMemory() const;
  // Full reading: DumpLength 33280.
  void BuildFullDump(TDateTime readTime, TDumpImage& into) const;
  // Changes reading: the records appended from image 768 in stored order, their size in [152..155].
  void BuildAppendedDump(TDateTime readTime, TDumpImage& into) const;

 private:
  int recordLength_;
  MeterMemory base_;
  std::vector<std::vector<std::uint8_t>> records_;
  std::optional<int> newestSlot_;
};

}  // namespace velk
