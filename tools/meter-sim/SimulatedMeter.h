// The meter itself, without a line: it takes request frames, answers them from
// its memory, keeps a running clock on an injected clock (written into its RAM
// clock bytes) and moves its archive rings on when an hour or a day ends.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "common/Clock.h"
#include "imagebuilder/MeterMemory.h"

namespace velk {

struct ReceivedRequest {
  std::optional<std::uint8_t> AddressByte;  // RS485 network address in front of the frame
  std::uint8_t Code = 0;
  std::uint16_t Address = 0;
  std::uint8_t Count = 0;
};

// Finds checksum-correct request frames in the bytes a meter receives; wake-up
// zeros and line noise in between are skipped.
class RequestScanner {
 public:
  explicit RequestScanner(bool addressByteInFront = false) : addressByte_(addressByteInFront) {}
  std::vector<ReceivedRequest> Feed(std::span<const std::uint8_t> bytes);

 private:
  bool addressByte_;
  std::vector<std::uint8_t> buffer_;
};

// An answer frame: [firstByte] 00 A5 code p4 p5 p6 data... CRC (low, high).
std::vector<std::uint8_t> BuildAnswerFrame(std::uint8_t firstByte, std::uint8_t code,
                                           const std::uint8_t (&parameters)[3],
                                           std::span<const std::uint8_t> data);

class SimulatedMeter {
 public:
  // The meter clock runs at `clock` + clockOffsetSeconds.
  SimulatedMeter(MeterMemory memory, const Clock& clock, double clockOffsetSeconds = 0);

  // The answer frame with first byte 0x00, or nothing for a request the meter ignores.
  // Brings the clock and the archive up to date first.
  std::optional<std::vector<std::uint8_t>> Answer(const ReceivedRequest& request);

  // Writes the clock into RAM and moves the rings on for every hour ended since the last call.
  void Tick();

  TDateTime MeterTime() const;
  void SetClockOffsetSeconds(double seconds);
  double ClockOffsetSeconds() const;

  // A copy of the memory as it is now (safe while a reading runs).
  MeterMemory Memory() const;
  void SetMemory(MeterMemory memory);
  // Every request answered or ignored so far, in order of arrival.
  std::vector<ReceivedRequest> Requests() const;
  int RequestCount(std::uint8_t code) const;
  void ClearRequests();

 private:
  void TickLocked();
  std::vector<std::uint8_t> ReadWorkingMemory(std::uint16_t address, int length) const;
  std::vector<std::uint8_t> ReadNonVolatile(std::uint16_t address, int length) const;
  void SetMeterTime(TDateTime meterTime);

  mutable std::mutex mutex_;
  MeterMemory memory_;
  const Clock& clock_;
  double offsetSeconds_;
  long long lastHour_;
  std::vector<ReceivedRequest> requests_;
};

}  // namespace velk
