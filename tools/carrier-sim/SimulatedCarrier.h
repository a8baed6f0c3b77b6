// Simulated data carriers: an НКП-3М (4096 blocks of 512 bytes, the
// identification area, file headers, a clock with its stopped bit, block
// check and restore, clear, the damaged-data checksum) and the ЛТР / ЛТР-2
// (one file per block, the directory answer, delete, undelete, clear, clock).
// The carrier answers request frames; CarrierSimLine puts it on a line.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <vector>

#include "common/Clock.h"
#include "common/DateTime.h"

namespace velk {

enum class CarrierKind { Nkp, Ltr, Ltr2 };

struct CarrierRequest {
  std::uint8_t Code = 0;
  std::uint16_t Param = 0;
  std::uint8_t Count = 0;
  std::array<std::uint8_t, 4> Extra{};
};

// Finds checksum-correct request frames in the bytes a carrier receives.
class CarrierRequestScanner {
 public:
  explicit CarrierRequestScanner(CarrierKind kind) : kind_(kind) {}
  std::vector<CarrierRequest> Feed(std::span<const std::uint8_t> bytes);

 private:
  CarrierKind kind_;
  std::vector<std::uint8_t> buffer_;
};

// A file on an ЛТР carrier: its directory record and the block's payload.
struct LtrCarrierFile {
  std::uint8_t DeviceType = 0;
  std::uint8_t DnCode = 0;             // ЛТР-2
  std::uint16_t SerialNumber = 0;
  std::uint16_t VoltageRaw = 0;        // ЛТР: volts × 8192; ЛТР-2: (volts − 2) × 64 in the low byte
  TDateTime ReadTime = 0;
  std::vector<std::uint8_t> Payload;  // the read answer: 16 193 (ЛТР) or 32 771 (ЛТР-2) bytes
};

class SimulatedCarrier {
 public:
  static constexpr int NkpBlocks = 4096;
  static constexpr int NkpBlockBytes = 512;
  static constexpr std::size_t LtrPayloadBytes = 16193;
  static constexpr std::size_t Ltr2PayloadBytes = 32771;

  SimulatedCarrier(CarrierKind kind, const Clock& clock);
  CarrierKind Kind() const { return kind_; }

  void SetSerial(std::uint16_t serial);
  void SetClockOffsetSeconds(double seconds);
  void StopClock(bool stopped);
  TDateTime CarrierTime() const;

  // НКП-3М: stores the file's bytes (first block = header) after the last file; false when full.
  bool AddNkpFile(std::span<const std::uint8_t> bytes);
  // Lists the block in the faulty-block area (in the first free slot, or in `slot`).
  void MarkFaultyBlock(std::uint16_t block, int slot = -1);
  // The block check reports the block unreadable.
  void SetUnreadableBlock(std::uint16_t block);
  // Reads of the block come with the damaged-data checksum.
  void SetDamagedBlock(std::uint16_t block);
  std::vector<std::uint16_t> FaultyBlocks() const;
  int NkpFileCount() const;

  // ЛТР: the number of blocks (ЛТР-2: 32) and a file in a block.
  void SetMemorySize(int blocks);
  bool AddLtrFile(int block, LtrCarrierFile file);
  // Files present, by block.
  std::vector<int> LtrFileBlocks() const;

  // The answer frame, or nullopt when the carrier stays silent.
  std::optional<std::vector<std::uint8_t>> Answer(const CarrierRequest& request);

  std::vector<CarrierRequest> Requests() const;
  int RequestCount(std::uint8_t code) const;
  void ClearRequests();

 private:
  std::optional<std::vector<std::uint8_t>> AnswerNkp(const CarrierRequest& r);
  std::optional<std::vector<std::uint8_t>> AnswerLtr(const CarrierRequest& r);
  std::vector<std::uint8_t> ControlMemory() const;
  std::vector<std::uint8_t> LtrDirectory() const;
  void SetCarrierTime(TDateTime value);

  CarrierKind kind_;
  const Clock& clock_;
  mutable std::mutex mutex_;
  std::uint16_t serial_ = 1;
  double offsetSeconds_ = 0;
  bool stopped_ = false;
  TDateTime stoppedAt_ = 0;
  // НКП-3М
  std::vector<std::uint8_t> memory_;
  std::vector<std::uint16_t> starts_;
  std::uint16_t freeBlock_ = 0;
  std::array<std::uint16_t, 64> faulty_{};
  std::set<std::uint16_t> unreadable_, damaged_;
  // ЛТР
  struct LtrBlock {
    LtrCarrierFile File;
    bool Deleted = false;
  };
  int memorySize_ = 64;
  std::map<int, LtrBlock> blocks_;
  std::vector<CarrierRequest> requests_;
};

// An answer frame: 00 00 A5, the code, [echo or status bytes], data, checksum (low, high).
std::vector<std::uint8_t> BuildCarrierAnswer(std::uint8_t code, std::span<const std::uint8_t> echo,
                                             std::span<const std::uint8_t> data, bool damagedData = false);

}  // namespace velk
