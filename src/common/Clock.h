// The present time comes from an injected clock so that tests can set and
// advance it instead of sleeping.
#pragma once

#include <atomic>

#include "common/DateTime.h"

namespace velk {

class Clock {
 public:
  virtual ~Clock() = default;
  // Local date-time now.
  virtual TDateTime Now() const = 0;
};

// The computer's local clock.
class SystemClock final : public Clock {
 public:
  TDateTime Now() const override;
  static SystemClock& Instance();
};

// A clock that stands still until it is set or advanced; safe to share between threads.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(TDateTime start = 0) : now_(start) {}
  TDateTime Now() const override { return now_.load(); }
  void Set(TDateTime value) { now_.store(value); }
  void AdvanceSeconds(double seconds);

 private:
  std::atomic<double> now_;
};

// Runs at a fixed offset from another clock (a meter clock that is off by some seconds).
class OffsetClock final : public Clock {
 public:
  OffsetClock(const Clock& base, double offsetSeconds) : base_(base), offsetSeconds_(offsetSeconds) {}
  TDateTime Now() const override;
  void SetOffsetSeconds(double seconds) { offsetSeconds_.store(seconds); }

 private:
  const Clock& base_;
  std::atomic<double> offsetSeconds_;
};

}  // namespace velk
