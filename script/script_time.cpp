// Time and the bot's own age.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "engine/cp1250.h"
#include "script/script_call.h"

namespace plotrak {

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// The bot was born at midnight, 8 August 2003.
constexpr int kBirthYear = 2003, kBirthMonth = 8, kBirthDay = 8;

// The day count of the date of `now`.
int64_t Today(const LocalTime& now) {
  return DaysFromCivil(now.year, static_cast<unsigned>(now.month), static_cast<unsigned>(now.day));
}

}  // namespace

int BotAgeDays(const LocalTime& now) {
  const int64_t days = Today(now) - DaysFromCivil(kBirthYear, kBirthMonth, kBirthDay);
  const int64_t seconds = days * 86400 + now.hour * 3600 + now.minute * 60 + now.second;
  return static_cast<int>(std::llabs(seconds) / 86400);
}

namespace {

// The bot's last birthday, `days` days after its birth: the day it turned `*years` old, as a
// day count from the birth. Counted on the calendar, so leap days do not make the age drift.
int64_t LastBirthday(int days, int* years) {
  const int64_t birth = DaysFromCivil(kBirthYear, kBirthMonth, kBirthDay);
  int y = kBirthYear + days / 366;  // never past the last birthday; then step up to it
  while (DaysFromCivil(y + 1, kBirthMonth, kBirthDay) - birth <= days) ++y;
  *years = y - kBirthYear;
  return DaysFromCivil(y, kBirthMonth, kBirthDay) - birth;
}

}  // namespace

int BotAgeYears(int days) {
  int years = 0;
  LastBirthday(days, &years);
  return years;
}

int BotAgeRest(int days) {
  int years = 0;
  return days - static_cast<int>(LastBirthday(days, &years));
}

std::string ClockText(const LocalTime& now) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d", now.hour, now.minute);
  return buffer;
}

std::string CalendarText(const LocalTime& now) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%d-%02d-%02d", now.year, now.month, now.day);
  return buffer;
}

namespace {

// Easter Sunday of a year (the Gregorian computus), as {month, day}.
std::pair<int, int> EasterOf(int y) {
  const int a = y % 19, b = y / 100, c = y % 100, d = b / 4, e = b % 4, f = (b + 8) / 25;
  const int g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30, i = c / 4, k = c % 4;
  const int l = (32 + 2 * e + 2 * i - h - k) % 7, m = (a + 11 * h + 22 * l) / 451;
  return {(h + l - 7 * m + 114) / 31, (h + l - 7 * m + 114) % 31 + 1};
}

}  // namespace

std::string WeekdayText(const LocalTime& now, std::string_view when) {
  static const char* const kNames[] = {"czwartek",     "piątek", "sobota", "niedziela",
                                       "poniedziałek", "wtorek", "środa"};  // 1970-01-01 first
  const int64_t day = Today(now) + (when == "jutro" ? 1 : when == "wczoraj" ? -1 : 0);
  return FromUtf8(kNames[((day % 7) + 7) % 7]);
}

std::string DaysUntilText(const LocalTime& now, std::string_view monthDay) {
  int month = 0, day = 0;
  char tail = 0;
  const std::string text(monthDay);
  static const int kLongest[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (std::sscanf(text.c_str(), "%d-%d%c", &month, &day, &tail) != 2 || month < 1 || month > 12 ||
      day < 1 || day > kLongest[month - 1]) {
    return "";
  }
  const int64_t today = Today(now);
  int64_t target =
      DaysFromCivil(now.year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  if (target < today)
    target = DaysFromCivil(now.year + 1, static_cast<unsigned>(month), static_cast<unsigned>(day));
  const int64_t left = target - today;
  return std::to_string(left) + (left == 1 ? FromUtf8(" dzień") : " dni");
}

std::string NextEasterText(const LocalTime& now) {
  static const char* const kMonths[] = {"marca", "kwietnia"};
  int year = now.year;
  auto [month, day] = EasterOf(year);
  if (DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) < Today(now))
    std::tie(month, day) = EasterOf(++year);
  return std::to_string(day) + " " + kMonths[month - 3] + " " + std::to_string(year);
}

}  // namespace plotrak
