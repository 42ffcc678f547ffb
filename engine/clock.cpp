#include "engine/clock.h"

#include <ctime>

namespace plotrak {

LocalTime SystemClock::Now() const {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void FixedClock::Advance(int seconds) {
  long total = time.second + 60L * time.minute + 3600L * time.hour + seconds;
  long days = total / 86400;
  total %= 86400;
  time.hour = static_cast<int>(total / 3600);
  time.minute = static_cast<int>(total % 3600 / 60);
  time.second = static_cast<int>(total % 60);
  time.day += static_cast<int>(days);
  while (time.day > 31) {
    time.day -= 31;
    if (++time.month > 12) {
      time.month = 1;
      ++time.year;
    }
  }
}

int32_t NowSeconds(const LocalTime& t) {
  uint32_t v = static_cast<uint32_t>(t.second) + 60u * static_cast<uint32_t>(t.minute) +
               3600u * static_cast<uint32_t>(t.hour) + 86400u * static_cast<uint32_t>(t.day) +
               31536000u * static_cast<uint32_t>(t.year);
  return static_cast<int32_t>(v);
}

}  // namespace plotrak
