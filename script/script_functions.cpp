// RunScriptFunction: what each row of the dispatch tables does with the speaker's record.
#include <algorithm>
#include <cstdint>
#include <string>

#include "engine/conversation_log.h"
#include "engine/engine.h"
#include "engine/normalize.h"
#include "script/arithmetic.h"
#include "script/script_call.h"
#include "script/whole_number.h"

namespace plotrak {

namespace {

CallOutcome Value(std::string text) {
  return CallOutcome{false, std::move(text)};
}
CallOutcome Test(bool holds) {
  return CallOutcome{!holds, ""};
}
CallOutcome Nothing() {
  return CallOutcome{};
}

int32_t Clamp32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// The last input's tagged result: answers test it with up to five "MATH" guards, several
// times per message.
const std::string& ArithmeticOf(const Engine& engine, const std::string& input) {
  static std::string lastInput, lastResult;
  static bool computed = false, lastNumberWords = false;
  const bool numberWords = engine.settings.numberWords;
  if (!computed || input != lastInput || numberWords != lastNumberWords) {
    lastResult = ArithmeticOfMessage(input, numberWords);
    lastInput = input;
    lastNumberWords = numberWords;
    computed = true;
  }
  return lastResult;
}

CallOutcome Math(const Engine& engine, const std::string& selectorWritten,
                 const std::string& input) {
  const std::string& r = ArithmeticOf(engine, input);
  const std::string selector = UpperAscii(selectorWritten);
  if (selector == "WYNIK") {
    size_t skip = 0;
    while (skip < 2 && skip < r.size() && r[skip] == '#') ++skip;
    if (skip == r.size()) return Test(false);
    return Value(r.substr(skip));
  }
  if (selector == "OK") return Test(!r.empty() && r[0] != '#' && r[0] != '$');
  if (selector == "PRZYBLIZENIE") return Test(r.size() >= 2 && r[0] == '#' && r[1] != '#');
  if (selector == "BLAD") return Test(!r.empty() && r[0] == '$');
  if (selector == "ZADUZO") return Test(r.rfind("##", 0) == 0);
  return Test(false);
}

// "UCZUCIA" in a key: the mood changes at most once per message; the key fails at mood 0.
CallOutcome MoodOperation(InterlocutorRecord& record, const std::string& selectorWritten,
                          const std::string& amountText) {
  const std::string op = UpperAscii(selectorWritten);
  const bool withAmount = op == "DODAJ" || op == "ODEJMIJ" || op == "MAX";
  const int64_t amount = withAmount ? ParseWholeNumber(amountText) : 0;
  bool stopped = false;
  if (op == "DODAJ" || op == "ODEJMIJ") {
    if (record.moodChangedThisTurn) {
      stopped = true;
    } else if (op == "DODAJ") {
      record.mood = Clamp32(std::min<int64_t>(record.mood + amount, record.moodMax));
    } else {
      record.mood = Clamp32(std::max<int64_t>(record.mood - amount, 0));
    }
  } else if (op == "MAX" && record.moodMax > amount) {
    record.moodMax = static_cast<int32_t>(amount);
    if (record.mood > record.moodMax) record.mood = record.moodMax;
  }
  if (!stopped) record.moodChangedThisTurn = 1;
  return Test(record.mood != 0);
}

bool MoodInRange(const ScriptCallContext& call) {
  const int32_t low = ParseWholeNumber(call.args[0]);
  const int32_t high = ParseWholeNumber(call.args[1]);
  const int32_t mood = ReadRecord(call.engine, call.speaker).mood;
  return low < mood && mood <= high;
}

CallOutcome BotAge(const ScriptCallContext& call) {
  const int days = BotAgeDays(call.engine.clock.Now());
  if (UpperAscii(call.args[0]) == "LAT") return Value(std::to_string(BotAgeYears(days)));
  return Value(std::to_string(BotAgeRest(days)));
}

CallOutcome GameCheck(const ScriptCallContext& call) {
  InterlocutorRecord& record = WriteRecord(call.engine, call.speaker);
  if (GuessVerdict(record, call.input) == call.args[1]) return Nothing();
  // A rejected answer takes back the counts of its two evaluations.
  if (GuessVerdict(record, call.input) != "zle") record.guessTries -= 2;
  return Test(false);
}

CallOutcome AgeCapture(const ScriptCallContext& call) {
  InterlocutorRecord& record = WriteRecord(call.engine, call.speaker);
  const std::string& input = call.input;
  const size_t first = input.find_first_of("0123456789");
  if (first == std::string::npos) return Nothing();
  size_t end = first;
  while (end < input.size() && input[end] >= '0' && input[end] <= '9') ++end;
  record.age = TryParseWholeNumber(std::string_view(input).substr(first, end - first)).value_or(0);
  return Nothing();
}

}  // namespace

bool RecordFieldIs(const Engine& engine, const std::string& speaker, ScriptFunctionId test,
                   std::string_view value) {
  const InterlocutorRecord& record = ReadRecord(engine, speaker);
  return SameUpperAscii(test == ScriptFunctionId::kMarkerIs ? record.lastMarker : record.topic,
                        value);
}

const InterlocutorRecord& ReadRecord(const Engine& engine, const std::string& speaker) {
  static const InterlocutorRecord kEmpty;
  const int index = engine.people.FindInterlocutor(speaker);
  return index > 0 ? engine.people[index] : kEmpty;
}

InterlocutorRecord& WriteRecord(Engine& engine, const std::string& speaker) {
  return engine.people[engine.people.FindOrAddInterlocutor(speaker)];
}

CallOutcome RunScriptFunction(const ScriptFunction& function, const ScriptCallContext& call) {
  Engine& engine = call.engine;
  const auto& args = call.args;
  using Id = ScriptFunctionId;
  switch (function.id) {
    case Id::kClock:
      return Value(ClockText(engine.clock.Now()));
    case Id::kVersion:
      return Value(engine.base.baseVersion);
    case Id::kTalkedToday:
      return Value(std::to_string(engine.stats.startedToday));
    case Id::kTalkedTotal:
      return Value(std::to_string(engine.stats.startedSinceStart));
    case Id::kUptime:
      return Value(DurationText(engine.uptimeSeconds));
    case Id::kCalendar:
      return Value(CalendarText(engine.clock.Now()));
    case Id::kWeekday:
      return Value(WeekdayText(engine.clock.Now(), args[0]));
    case Id::kDaysUntil:
      return Value(DaysUntilText(engine.clock.Now(), args[0]));
    case Id::kEaster:
      return Value(NextEasterText(engine.clock.Now()));
    case Id::kBotAge:
      return BotAge(call);
    case Id::kNameTest:
      return Test(FirstNameTest(engine, call.speaker, args[0], args[1]));
    case Id::kNameValue:
      return Value(FirstNameValue(engine, ReadRecord(engine, call.speaker)));
    case Id::kMoodValue: {
      InterlocutorRecord& record = WriteRecord(engine, call.speaker);
      record.moodChangedThisTurn = 1;
      return Value(std::to_string(record.mood));
    }
    case Id::kMoodRange:
      return Test(MoodInRange(call));
    case Id::kMath:
      return Math(engine, args[0], call.input);
    case Id::kSetMarker:
      WriteRecord(engine, call.speaker).lastMarker = args[0];
      engine.script.lastMarkerSet = true;
      return Nothing();
    case Id::kEndConversation: {
      InterlocutorRecord& record = WriteRecord(engine, call.speaker);
      if (!record.endedThisTurn) EndConversation(record);
      record.endedThisTurn = 1;
      return Nothing();
    }
    case Id::kIsWoman: {
      const bool female = ReadRecord(engine, call.speaker).female != 0;
      return Test(args[0] == "true" ? female : !female);
    }
    case Id::kGameDraw: {
      InterlocutorRecord& record = WriteRecord(engine, call.speaker);
      record.guessNumber = engine.random.Uniform(1, 30);
      record.guessTries = 0;
      return Nothing();
    }
    case Id::kGameCheck:
      return GameCheck(call);
    case Id::kGameTry:
      return Value(std::to_string(GuessNumberOfTry(ReadRecord(engine, call.speaker).guessTries)));
    case Id::kGameDigits:
      return Value(DigitsOf(call.input));
    case Id::kSetTopic:
      WriteRecord(engine, call.speaker).topic = args[0];
      return Nothing();
    case Id::kAgeRange: {
      const int32_t low = ParseWholeNumber(args[1]);
      const int32_t high = ParseWholeNumber(args[2]);
      const InterlocutorRecord& record = ReadRecord(engine, call.speaker);
      return Test((low <= record.age && record.age <= high) || record.ageClearedThisTurn);
    }
    case Id::kAgeValue:
      return Value(std::to_string(ReadRecord(engine, call.speaker).age));
    case Id::kAgeClear: {
      InterlocutorRecord& record = WriteRecord(engine, call.speaker);
      record.age = 0;
      record.ageClearedThisTurn = 1;
      return Nothing();
    }
    case Id::kMailKnown: {
      const bool known = !ReadRecord(engine, call.speaker).email.empty();
      return Test(args[1] == (known ? "true" : "false"));
    }
    case Id::kMailValue:
      return Value(ReadRecord(engine, call.speaker).email);
    case Id::kDrawnIs: {
      const int32_t expected = ParseWholeNumber(args[0]);
      return Test(ReadRecord(engine, call.speaker).drawnNumber == expected);
    }
    case Id::kNameCapture:
      CaptureFirstName(engine, call.speaker, call.input);
      return Nothing();
    case Id::kMoodOperation:
      return MoodOperation(WriteRecord(engine, call.speaker), args[0], args[1]);
    case Id::kHasMath:
      return Test(!ArithmeticOf(engine, call.input).empty());
    case Id::kRepeated:
      return Test(std::to_string(ReadRecord(engine, call.speaker).repeatCount) == args[0]);
    case Id::kZeroDelay:
      WriteRecord(engine, call.speaker).zeroDelay = 1;
      return Nothing();
    case Id::kMarkerIs:
    case Id::kTopicIs:
      return Test(RecordFieldIs(engine, call.speaker, function.id, args[0]));
    case Id::kSetWoman:
      WriteRecord(engine, call.speaker).female = UpperAscii(args[0]) == "TRUE" ? 1 : 0;
      return Nothing();
    case Id::kDraw: {
      const int32_t n = ParseWholeNumber(args[0]);
      WriteRecord(engine, call.speaker).drawnNumber = engine.random.Uniform(1, n);
      return Nothing();
    }
    case Id::kAgeCapture:
      return AgeCapture(call);
    case Id::kMailCapture:
      CaptureEmail(engine, call.speaker, call.input);
      return Nothing();
  }
  return Nothing();
}

}  // namespace plotrak
