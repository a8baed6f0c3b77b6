#include "carrier-sim/CarrierSimPort.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace velk {

CarrierSimPort::CarrierSimPort(SimulatedCarrier& carrier, FaultPlan& faults)
    : carrier_(&carrier), faults_(&faults), scanner_(std::make_unique<CarrierRequestScanner>(carrier.Kind())) {}

CarrierSimPort::CarrierSimPort(Responder responder) : responder_(std::move(responder)) {}

bool CarrierSimPort::Write(std::span<const std::uint8_t> bytes) {
  if (closed_) return false;
  if (BeforeWrite) BeforeWrite(bytes);
  std::vector<Chunk> answers;
  if (responder_) {
    answers.push_back({responder_(bytes), 0});
  } else {
    for (const auto& request : scanner_->Feed(bytes)) {
      auto answer = carrier_->Answer(request);
      const auto faults = faults_->Strike(ReceivedRequest{std::nullopt, request.Code, request.Param, request.Count});
      if (!answer) continue;
      FaultedAnswer out = ApplyCarrierFaults(std::move(*answer), faults);
      answers.push_back({std::move(out.First), 0});
      if (!out.Rest.empty()) answers.push_back({std::move(out.Rest), out.PauseMs});
    }
  }
  std::lock_guard lock(mutex_);
  writes_.emplace_back(bytes.begin(), bytes.end());
  const auto now = std::chrono::steady_clock::now();
  for (auto& a : answers) {
    a.ReadyAt = now + std::chrono::milliseconds(a.PauseMs);
    if (!a.Bytes.empty()) pending_.push_back(std::move(a));
  }
  return true;
}

std::optional<std::uint8_t> CarrierSimPort::ReadByte(int timeoutMs) {
  std::unique_lock lock(mutex_);
  if (closed_) return std::nullopt;
  if (pending_.empty()) {
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(timeoutMs, 1)));
    return std::nullopt;
  }
  Chunk& chunk = pending_.front();
  const auto now = std::chrono::steady_clock::now();
  if (chunk.ReadyAt > now) {
    // The line is silent until the stalled part of the answer comes.
    const auto wait = std::min(chunk.ReadyAt - now, std::chrono::steady_clock::duration(std::chrono::milliseconds(timeoutMs)));
    lock.unlock();
    std::this_thread::sleep_for(wait);
    return std::nullopt;
  }
  const std::uint8_t b = chunk.Bytes[chunk.Pos++];
  if (chunk.Pos == chunk.Bytes.size()) pending_.pop_front();
  return b;
}

void CarrierSimPort::SetRts(bool on) {
  std::lock_guard lock(mutex_);
  if (!on) ++rtsDrops_;
}

void CarrierSimPort::PurgeQueues() {
  // Bytes still on their way stay: only what has arrived would be purged, and
  // this port delivers answers only after the request.
}

std::vector<std::vector<std::uint8_t>> CarrierSimPort::Writes() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

int CarrierSimPort::RtsDrops() const {
  std::lock_guard lock(mutex_);
  return rtsDrops_;
}

}  // namespace velk
