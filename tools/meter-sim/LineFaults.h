// Faults a simulated line can put on a meter's answers. Each rule picks the
// requests it hits (by code and address, after letting `Skip` matching ones
// pass) and hits `Times` of them.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "meter-sim/SimulatedMeter.h"

namespace velk {

enum class FaultKind {
  Noise,            // Param bytes of line noise before the answer (default 3)
  CorruptChecksum,  // the last CRC byte flipped
  DropByte,         // the byte at position Param left out (default: the middle one)
  Stall,            // after Param bytes (default: half) the line stays silent for Param2 ms
  NoAnswer,         // the answer never comes
  Reorder,          // the answer is held back and sent after the next one
  BreakConnection,  // after Param bytes the TCP connection is closed (no effect on a pseudo-terminal)
};

struct FaultRule {
  FaultKind Kind = FaultKind::NoAnswer;
  std::optional<std::uint8_t> Code;      // only requests with this code
  std::optional<std::uint16_t> Address;  // and this address
  int Skip = 0;                          // matching requests let through before the first hit
  int Times = 1;                         // hits; -1 for every matching request
  int Param = -1;
  int Param2 = 200;
};

// Parses "kind[:code[:address[:times[:param[:param2]]]]]" with kind one of noise, crc, drop,
// stall, none, reorder, break; numbers in decimal or 0x hex, "*" for any code or address.
std::optional<FaultRule> ParseFaultRule(const std::string& text, std::string& error);

// The rules in force and how often each has struck.
class FaultPlan {
 public:
  FaultPlan() = default;
  explicit FaultPlan(std::vector<FaultRule> rules);
  FaultPlan(const FaultPlan& other);
  FaultPlan& operator=(const FaultPlan& other);

  void Add(const FaultRule& rule);
  void Clear();
  // The rules that strike this request (each counts the request).
  std::vector<FaultRule> Strike(const ReceivedRequest& request);
  int Hits() const;

 private:
  struct Entry {
    FaultRule Rule;
    int Seen = 0;
    int Hit = 0;
  };
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
};

}  // namespace velk
