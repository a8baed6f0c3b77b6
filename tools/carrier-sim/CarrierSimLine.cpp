#include "carrier-sim/CarrierSimLine.h"

#include <algorithm>
#include <chrono>

#include "testlines/TestLine.h"

namespace velk {

namespace {
constexpr int LineWriteTimeoutMs = 5000;
}  // namespace

FaultedAnswer ApplyCarrierFaults(std::vector<std::uint8_t> answer, const std::vector<FaultRule>& faults) {
  FaultedAnswer out;
  std::vector<std::uint8_t> noise;
  std::size_t stallAfter = answer.size();
  int pause = 0;
  for (const auto& f : faults) {
    switch (f.Kind) {
      case FaultKind::NoAnswer: return {};
      case FaultKind::Noise: {
        const int n = f.Param < 0 ? 3 : f.Param;
        // Line noise that never forms the 0x00 0xA5 sync.
        for (int i = 0; i < n; ++i) noise.push_back(static_cast<std::uint8_t>(0x11 + (i * 37) % 0x80));
        break;
      }
      case FaultKind::CorruptChecksum:
        if (!answer.empty()) answer.back() ^= 0x5A;
        break;
      case FaultKind::DropByte: {
        if (answer.empty()) break;
        const std::size_t at = f.Param < 0 ? answer.size() / 2 : std::min<std::size_t>(f.Param, answer.size() - 1);
        answer.erase(answer.begin() + static_cast<std::ptrdiff_t>(at));
        break;
      }
      case FaultKind::Stall:
        stallAfter = f.Param < 0 ? answer.size() / 2 : static_cast<std::size_t>(f.Param);
        pause = f.Param2;
        break;
      default: break;
    }
  }
  answer.insert(answer.begin(), noise.begin(), noise.end());
  stallAfter = std::min(stallAfter + noise.size(), answer.size());
  out.First.assign(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(stallAfter));
  out.Rest.assign(answer.begin() + static_cast<std::ptrdiff_t>(stallAfter), answer.end());
  out.PauseMs = pause;
  return out;
}

CarrierSimLine::CarrierSimLine(SimulatedCarrier& carrier, FaultPlan& faults) : carrier_(carrier), faults_(faults) {}

CarrierSimLine::~CarrierSimLine() { Stop(); }

bool CarrierSimLine::Start(std::string& error) {
  line_ = testlines::OpenPseudoTerminalLine(devicePath_, error);
  if (!line_) return false;
  stop_ = false;
  thread_ = std::thread([this] { Serve(); });
  return true;
}

void CarrierSimLine::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  line_.reset();
}

std::string CarrierSimLine::DevicePath() const { return devicePath_; }

void CarrierSimLine::Serve() {
  CarrierRequestScanner scanner(carrier_.Kind());
  std::vector<std::uint8_t> buffer(4096);
  while (!stop_) {
    const std::size_t n = line_->Read(buffer, 20);
    if (n == 0) continue;
    for (const auto& request : scanner.Feed(std::span(buffer).first(n))) {
      auto answer = carrier_.Answer(request);
      const auto faults = faults_.Strike(ReceivedRequest{std::nullopt, request.Code, request.Param, request.Count});
      if (!answer) continue;
      const FaultedAnswer out = ApplyCarrierFaults(std::move(*answer), faults);
      if (!out.First.empty()) line_->Write(out.First, LineWriteTimeoutMs);
      if (out.PauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(out.PauseMs));
      if (!out.Rest.empty()) line_->Write(out.Rest, LineWriteTimeoutMs);
    }
  }
}

}  // namespace velk
