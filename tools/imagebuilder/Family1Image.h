// Builds the memory of an older heat meter (family codes 1..49, the code being
// the firmware version times ten) field by field, and the dumps a reading of it
// leaves behind. Fields are placed by their image offsets in the dump (image
// offset = RAM offset + 256 for the working-memory block read from address 0,
// EEPROM address + 512):
//   256 + ...   working memory: 292 hours of operation (2), 298/312/326 volumes
//               V1, V2, V3-V4 (4, quarters), 302/316/330 temperatures T1..T3 (2, 1/256 degC),
//               341 minutes, 417/422 heat Q1, Q2 (5, 1/4096), 438/442 pressures (2, 1/4096),
//               447 supply voltage (2, 1/8192), 474 + 4i pulses and 475 + 4i period of
//               channel i, 493/498/503 masses G3-G4, G1, G2 (5, 1/1024)
//   512 + ...   EEPROM: 720/721 configuration of V1, V2 and V3, V4; 731 cold-water
//               temperature (2, 1/256 degC); 736 scheme; 768 the slot the next hour record goes to
//               (EEPROM 256, 2 bytes); 784 hours of operation total; 786/790/794 volume
//               totals; 798/803 heat totals; 814/815 error codes; 816/820/824 mass totals
// The hour ring holds 1218 records of 13 bytes from EEPROM 0x0224.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imagebuilder/MeterMemory.h"

namespace velk {

struct Family1Record {
  std::uint16_t Q1 = 0;                    // bytes 0..1: heat, ones'-complement, 1/16 units
  std::uint8_t T1 = 70, T2 = 50, T3 = 10;  // bytes 2, 5, 8: whole degrees
  std::uint16_t V1 = 0, V2 = 0;            // bytes 3..4, 6..7: quarters
  std::uint16_t V3 = 0;                    // bytes 9..10: V3 - V4, ones'-complement quarters
  std::uint8_t P1 = 0, P2 = 0;             // bytes 11, 12: 1/16 kgf/cm2

  std::vector<std::uint8_t> Encode() const;
};

class Family1ImageBuilder {
 public:
  static constexpr std::uint32_t EepromSize = 0x4000;
  static constexpr std::uint32_t RingFirst = 0x0224;
  static constexpr std::uint32_t RingLast = 0x3FFF;
  static constexpr int RecordLength = 13;
  static constexpr int RingSlots = 1218;

  explicit Family1ImageBuilder(int deviceCode = 23);

  Family1ImageBuilder& SetSerial(std::uint16_t serial);  // text header and identification answer
  // A little-endian field of `width` bytes at an image offset of 256 and above.
  Family1ImageBuilder& SetField(std::uint32_t imageOffset, std::uint64_t value, int width);
  Family1ImageBuilder& SetFieldBytes(std::uint32_t imageOffset, const std::vector<std::uint8_t>& bytes);

  // Records oldest first; the newest lands in `newestSlot` (default: count - 1).
  Family1ImageBuilder& AddHourRecords(const std::vector<Family1Record>& records);
  Family1ImageBuilder& SetNewestSlot(int slot);

  MeterMemory BuildMemory() const;
  // Full reading: DumpLength 16896, the text header written.
  void BuildFullDump(TDateTime readTime, TDumpImage& into) const;
  // Changes reading: memory up to EEPROM 548, then the records appended from image 1060 in
  // stored order, their size in [152..155].
  void BuildAppendedDump(TDateTime readTime, TDumpImage& into) const;

 private:
  int code_;
  std::uint16_t serial_ = 1;
  MeterMemory base_;
  std::vector<Family1Record> records_;
  std::optional<int> newestSlot_;
};

}  // namespace velk
