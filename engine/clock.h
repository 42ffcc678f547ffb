// The local clock and calendar, behind an interface so tests can set the time.
#pragma once

#include <cstdint>

namespace plotrak {

struct LocalTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() const = 0;
};

// The machine's local time.
class SystemClock : public Clock {
 public:
  LocalTime Now() const override;
};

// A clock that stays where tests put it.
class FixedClock : public Clock {
 public:
  explicit FixedClock(LocalTime t = {}) : time(t) {}
  LocalTime Now() const override { return time; }
  // Moves the time on by whole seconds, carrying into minutes, hours and days (months of
  // 31 days are enough for the tests that use it).
  void Advance(int seconds);
  LocalTime time;
};

// The engine's second counter: second + 60*minute + 3600*hour + 86400*day +
// 31536000*year, in 32-bit arithmetic that wraps; the month does not enter.
int32_t NowSeconds(const LocalTime& t);

}  // namespace plotrak
