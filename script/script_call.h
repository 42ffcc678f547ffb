// One dispatched script call and the helpers the function families share.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/clock.h"
#include "engine/interlocutor.h"
#include "script/script_names.h"

namespace plotrak {

class Engine;

struct ScriptCallContext {
  Engine& engine;
  const std::string& speaker;
  const std::string& input;                // the text the evaluator holds (normalised for keys)
  const std::array<std::string, 3>& args;  // argument slots 1..3 at [0..2]
};

struct CallOutcome {
  bool failed = false;  // a condition that did not hold
  std::string text;     // what a value call inserts
};

// Runs the function of a row. Throws ConversionError for a whole-number slot that is not
// one, and std::runtime_error for an I/O error on "emaile.txt".
CallOutcome RunScriptFunction(const ScriptFunction& function, const ScriptCallContext& call);

// The speaker's record for reading: an empty record (texts empty, numbers 0) when there is
// none. The reference stays valid until a record is added.
const InterlocutorRecord& ReadRecord(const Engine& engine, const std::string& speaker);
// The tests "CZY_OSTATNI" (kMarkerIs) and "CZY_TEMAT" (kTopicIs): whether the speaker's last
// marker or topic is `value`, ASCII letters in any case.
bool RecordFieldIs(const Engine& engine, const std::string& speaker, ScriptFunctionId test,
                   std::string_view value);
// The speaker's record for changing; created when missing. Valid until a record is added.
InterlocutorRecord& WriteRecord(Engine& engine, const std::string& speaker);

// Families (one file each).
std::string FirstNameValue(const Engine& engine, const InterlocutorRecord& record);
void CaptureFirstName(Engine& engine, const std::string& speaker, const std::string& input);
bool FirstNameTest(const Engine& engine, const std::string& speaker, std::string_view selector,
                   std::string_view expected);

// The guessing game's verdict on the input ("mniej", "wiecej", "dobrze" or "zle"); counts
// the try unless it is "zle".
std::string GuessVerdict(InterlocutorRecord& record, const std::string& input);
// Every digit of the text, in order.
std::string DigitsOf(std::string_view text);
// The number of the current guess from the try counter.
int GuessNumberOfTry(int32_t tries);

void CaptureEmail(Engine& engine, const std::string& speaker, const std::string& input);

// The bot's age on a date ("LAT": whole years, "RESZTA": the remaining days).
int BotAgeDays(const LocalTime& now);
int BotAgeYears(int days);
int BotAgeRest(int days);
std::string ClockText(const LocalTime& now);
std::string CalendarText(const LocalTime& now);
// The day of the week ("poniedziałek"; tomorrow's or yesterday's for `when` "jutro" or
// "wczoraj"), the days left until the next month-day "MM-DD" ("17 dni", "1 dzień", "0 dni" on
// the day; empty for a malformed date) and the date of the next Easter Sunday ("28 marca
// 2027"; today's when today is Easter).
std::string WeekdayText(const LocalTime& now, std::string_view when = "");
std::string DaysUntilText(const LocalTime& now, std::string_view monthDay);
std::string NextEasterText(const LocalTime& now);

}  // namespace plotrak
