// The present time comes from an injected clock so that tests can set and
// advance it instead of sleeping. A clock has two readings: the local date-time
// for time stamps, which steps when the computer's clock is set or daylight
// saving ends, and a monotonic reading for waits and timeouts, which never does.
#pragma once

#include <atomic>

#include "common/DateTime.h"

namespace velk {

class Clock {
 public:
  virtual ~Clock() = default;
  // Local date-time now.
  virtual TDateTime Now() const = 0;
  // Milliseconds from a fixed but arbitrary origin; never goes back.
  virtual double MonotonicMs() const = 0;
};

// The computer's local clock.
class SystemClock final : public Clock {
 public:
  TDateTime Now() const override;
  double MonotonicMs() const override;
  static SystemClock& Instance();
};

// A clock that stands still until it is set or advanced; safe to share between threads.
// Advancing moves both readings; Set steps the local time only, as setting the
// computer's clock does.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(TDateTime start = 0) : now_(start) {}
  TDateTime Now() const override { return now_.load(); }
  double MonotonicMs() const override { return monotonicMs_.load(); }
  void Set(TDateTime value) { now_.store(value); }
  void AdvanceSeconds(double seconds);

 private:
  std::atomic<double> now_;
  std::atomic<double> monotonicMs_{0};
};

// Runs at a fixed offset from another clock (a meter clock that is off by some seconds).
class OffsetClock final : public Clock {
 public:
  OffsetClock(const Clock& base, double offsetSeconds) : base_(base), offsetSeconds_(offsetSeconds) {}
  TDateTime Now() const override;
  double MonotonicMs() const override { return base_.MonotonicMs(); }
  void SetOffsetSeconds(double seconds) { offsetSeconds_.store(seconds); }

 private:
  const Clock& base_;
  std::atomic<double> offsetSeconds_;
};

}  // namespace velk
