// The memory of a simulated meter, as the meter itself holds it, and the dump
// image a reader stores after reading it. The family builders fill it field by
// field; the meter simulator serves it and lets its clock and archive run.
//
// Meter address spaces:
//   - identification answer: short serial (answer bytes 4..5) and raw device code (byte 6);
//   - identification memory at 0xC000 (families >= 50): 8 bytes, bytes 6 and 7 are the
//     firmware version as two BCD bytes (major, minor);
//   - working memory (RAM): the 256-byte block at 0x0200..0x02FF for families >= 50, the block
//     at 0 for families below 50; it holds the meter clock;
//   - non-volatile memory (EEPROM) from address 0: constants in 0..255, archive rings above.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "common/DateTime.h"
#include "common/DumpImage.h"

namespace velk {

// Where a family keeps one archive ring in non-volatile memory.
struct RingLayout {
  // EEPROM addresses of the 3-byte descriptor fields "first record" and "last byte";
  // nullopt when the family has a fixed ring (FixedFirst..FixedLast).
  std::optional<std::uint32_t> FirstField;
  std::optional<std::uint32_t> LastField;
  std::uint32_t FixedFirst = 0;
  std::uint32_t FixedLast = 0;
  // EEPROM address of the pointer to the newest record, PointerWidth bytes wide.
  std::uint32_t PointerField = 0;
  int PointerWidth = 3;
  // Distance between records in bytes.
  int RecordLength = 32;
  // The pointer names the slot the next record goes to (families below 50), not the newest record.
  bool PointerIsNext = false;
};

// A record maker gets the end of the hour (or day) the record covers and returns its bytes.
using RecordMaker = std::function<std::vector<std::uint8_t>(TDateTime periodEnd)>;

struct MeterMemory {
  int FamilyCode = 0;                         // internal family code (53 for raw code 83, ...)
  std::uint8_t RawDeviceCode = 0;             // identification answer byte 6; the dump's type byte
  std::uint16_t ShortSerial = 0;              // identification answer bytes 4..5
  std::array<std::uint8_t, 8> IdentMemory{};  // memory at 0xC000 (families >= 50)
  std::array<std::uint8_t, 256> Ram{};        // working-memory block with the clock
  std::uint16_t RamBlockAddress = 0x0200;     // address the reader asks the block at
  std::vector<std::uint8_t> Eeprom;           // non-volatile memory from address 0

  // The clock in the RAM block: six BCD bytes second, minute, hour, day, month, year (two
  // digits) from ClockOffset; families below 50 keep binary second, minute, hour there instead.
  int ClockOffset = 18;
  bool BinaryTimeOnly = false;

  std::optional<RingLayout> HourRing;
  std::optional<RingLayout> DayRing;
  RecordMaker NewHourRecord;  // what the meter writes when an hour ends
  RecordMaker NewDayRecord;   // what it writes when a day ends (families with a day ring)

  std::uint32_t ReadEeprom(std::uint32_t address, int width) const;
  void WriteEeprom(std::uint32_t address, std::uint32_t value, int width);
  void WriteEepromBytes(std::uint32_t address, std::span<const std::uint8_t> bytes);

  // Ring descriptor values as the meter keeps them.
  std::uint32_t RingFirst(const RingLayout& ring) const;
  std::uint32_t RingLast(const RingLayout& ring) const;
  std::uint32_t RingPointer(const RingLayout& ring) const;
  void SetRingPointer(const RingLayout& ring, std::uint32_t pointer);
  // Writes `record` (cut or padded with 0xFF to the record length) into the next slot, back at the
  // first record after the last, and moves the pointer on.
  void AdvanceRing(const RingLayout& ring, std::span<const std::uint8_t> record);

  // Writes `clock` into the RAM clock bytes.
  void WriteClock(TDateTime clock);
};

// Little-endian and BCD field writers over a byte span (bounds-checked: writes outside are dropped).
void PutLe(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value, int width);
std::uint32_t GetLe(std::span<const std::uint8_t> bytes, std::size_t offset, int width);
std::uint8_t Bcd(int value);  // 0..99 as two packed decimal digits
// Six BCD bytes second, minute, hour, day, month, year (two digits) from `offset`.
void PutBcdClock(std::span<std::uint8_t> bytes, std::size_t offset, TDateTime clock);

// The image a full reading leaves behind: [128] raw code, [138..143] the computer clock at the
// start of the reading (BCD), [160..167] identification memory (families >= 50), [256..511] the
// RAM block, [512 + a] EEPROM byte a. DumpLength = 512 + EEPROM size (16896 below family 50,
// where the clock block is read from address 0). The text header 0..127 stays zero.
void WriteFullReadingDump(const MeterMemory& memory, TDateTime readTime, TDumpImage& into);

// The image of a changes reading: as above up to [767], then the EEPROM ranges [from, to) appended
// one after the other from `appendOffset` (768; 1060 below family 50), their total size in
// [152..155]; DumpLength = appendOffset + that size.
struct EepromRange {
  std::uint32_t From = 0, To = 0;
};
void WriteAppendedReadingDump(const MeterMemory& memory, TDateTime readTime,
                              std::span<const EepromRange> ranges, TDumpImage& into);

// The dump file's text header at 0..127: "Vers <code>\r\nSN <serial>\r\nReadTime <seconds>", the
// seconds counted from 1969-12-31 19:00:00 local time.
void WriteDumpTextHeader(TDumpImage& image, int deviceCode, int serial, TDateTime readTime);

}  // namespace velk
