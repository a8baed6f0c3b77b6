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

SystemClock& SystemClock::Instance() {
  static SystemClock clock;  // stateless
  return clock;
}

void ManualClock::AdvanceSeconds(double seconds) {
  double current = now_.load();
  while (!now_.compare_exchange_weak(current, current + seconds / SecondsPerDay)) {
  }
}

TDateTime OffsetClock::Now() const { return base_.Now() + offsetSeconds_.load() / SecondsPerDay; }

}  // namespace velk
