#include "common/Clock.h"

#include <chrono>

#include "common/Platform.h"

namespace velk {

TDateTime SystemClock::Now() const {
  const auto now = std::chrono::system_clock::now();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  return EncodeDateTime(platform::LocalTimeParts(seconds, static_cast<int>(ms % 1000))).value_or(0);
}

double SystemClock::MonotonicMs() const {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

SystemClock& SystemClock::Instance() {
  static SystemClock clock;  // stateless
  return clock;
}

namespace {
void AtomicAdd(std::atomic<double>& value, double amount) {
  double current = value.load();
  while (!value.compare_exchange_weak(current, current + amount)) {
  }
}
}  // namespace

void ManualClock::AdvanceSeconds(double seconds) {
  AtomicAdd(monotonicMs_, seconds * 1000.0);
  AtomicAdd(now_, seconds / SecondsPerDay);
}

TDateTime OffsetClock::Now() const { return base_.Now() + offsetSeconds_.load() / SecondsPerDay; }

}  // namespace velk
