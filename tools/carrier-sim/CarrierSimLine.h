// Puts a simulated carrier on a pseudo-terminal: a thread reads the requests
// that arrive on the line, lets the carrier answer and writes the answers,
// changed by the fault plan (noise, corrupted checksum, dropped byte, stall,
// no answer).
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "carrier-sim/SimulatedCarrier.h"
#include "meter-sim/LineFaults.h"

namespace velk {

namespace testlines {
class LineEnd;
}

// The answer with the faults applied, as chunks to write with a pause before each.
struct FaultedAnswer {
  std::vector<std::uint8_t> First;
  int PauseMs = 0;
  std::vector<std::uint8_t> Rest;
};
FaultedAnswer ApplyCarrierFaults(std::vector<std::uint8_t> answer, const std::vector<FaultRule>& faults);

class CarrierSimLine {
 public:
  CarrierSimLine(SimulatedCarrier& carrier, FaultPlan& faults);
  ~CarrierSimLine();

  // Opens the pseudo-terminal and starts serving; false with `error` set on failure.
  bool Start(std::string& error);
  void Stop();
  // The device path a program opens as its serial port.
  std::string DevicePath() const;

 private:
  void Serve();

  SimulatedCarrier& carrier_;
  FaultPlan& faults_;
  std::unique_ptr<testlines::LineEnd> line_;
  std::string devicePath_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace velk
