// A serial port wired straight to a simulated carrier in the same process
// (no pseudo-terminal): what is written reaches the carrier at once and its
// answer, with the fault plan applied, waits to be read. A responder can
// stand in for the carrier to send hand-made answers.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "carrier-sim/CarrierSimLine.h"
#include "carrier-sim/SimulatedCarrier.h"
#include "common/ByteStream.h"
#include "meter-sim/LineFaults.h"

namespace velk {

class CarrierSimPort final : public SerialPort {
 public:
  using Responder = std::function<std::vector<std::uint8_t>(std::span<const std::uint8_t> written)>;

  CarrierSimPort(SimulatedCarrier& carrier, FaultPlan& faults);
  explicit CarrierSimPort(Responder responder);

  bool Write(std::span<const std::uint8_t> bytes) override;
  std::optional<std::uint8_t> ReadByte(int timeoutMs) override;
  bool Failed() const override { return closed_; }
  void Close() override { closed_ = true; }
  void SetDtr(bool on) override {}
  void SetRts(bool on) override;
  void PurgeQueues() override;
  bool SetBaudRate(int baudRate) override { return true; }

  // Called on the writing thread before each write reaches the carrier; a test
  // may block in it to hold a command at a chosen request.
  std::function<void(std::span<const std::uint8_t> written)> BeforeWrite;

  // What the port was asked to do, for the tests.
  std::vector<std::vector<std::uint8_t>> Writes() const;
  int RtsDrops() const;

 private:
  struct Chunk {
    std::vector<std::uint8_t> Bytes;
    int PauseMs = 0;
    std::chrono::steady_clock::time_point ReadyAt{};
    std::size_t Pos = 0;
  };
  SimulatedCarrier* carrier_ = nullptr;
  FaultPlan* faults_ = nullptr;
  Responder responder_;
  std::unique_ptr<CarrierRequestScanner> scanner_;
  mutable std::mutex mutex_;
  std::deque<Chunk> pending_;
  std::vector<std::vector<std::uint8_t>> writes_;
  int rtsDrops_ = 0;
  bool closed_ = false;
};

}  // namespace velk
