// The two dispatch tables of the answer-script language, as data: which function names a
// key and an answer accept, how a name and its selector word (argument 1) are compared,
// what kind of call each is and which argument slots must hold whole numbers. The
// evaluators dispatch through these tables and the base checker reads them.
#pragma once

#include <span>
#include <string_view>

namespace plotrak {

enum class ScriptPlace { kKey, kAnswer };

// How a name or a selector word is compared: upper-cased by the ASCII rule first, or as
// written. In keys everything is compared upper-cased.
enum class NameCase { kAnyCase, kExact };

enum class CallKind {
  kValue,              // replaced by a text
  kEffect,             // removed without trace
  kCondition,          // removed; when its test fails the whole answer is empty / key fails
  kValueOrCondition,   // inserts a text, fails when there is none ("MATH" with "WYNIK")
  kEffectAndCondition  // changes the record, then tests it ("UCZUCIA" in keys)
};

enum class ScriptFunctionId {
  // answers
  kClock,
  kVersion,
  kTalkedToday,
  kTalkedTotal,
  kUptime,
  kCalendar,
  kWeekday,
  kDaysUntil,
  kEaster,
  kBotAge,
  kNameTest,
  kNameValue,
  kMoodValue,
  kMoodRange,
  kMath,
  kSetMarker,
  kEndConversation,
  kIsWoman,
  kGameDraw,
  kGameCheck,
  kGameTry,
  kGameDigits,
  kSetTopic,
  kAgeRange,
  kAgeValue,
  kAgeClear,
  kMailKnown,
  kMailValue,
  kDrawnIs,
  // keys only
  kNameCapture,
  kMoodOperation,
  kHasMath,
  kRepeated,
  kZeroDelay,
  kMarkerIs,
  kSetWoman,
  kTopicIs,
  kDraw,
  kAgeCapture,
  kMailCapture,
};

// Bits of ScriptFunction::wholeNumberSlots.
inline constexpr unsigned kSlot1 = 1, kSlot2 = 2, kSlot3 = 4;

// A selector that stands for every word the earlier rows of the same name did not take.
inline constexpr std::string_view kOtherSelector = "*";

// One row: a name, and for functions that look at argument 1, one selector word. A row
// with an empty selector takes the call whatever argument 1 holds.
struct ScriptFunction {
  std::string_view name;
  NameCase nameCase;
  std::string_view selector;
  NameCase selectorCase;
  CallKind kind;
  unsigned wholeNumberSlots;  // kSlot1 | kSlot2 | kSlot3; a non-number raises ConversionError
  ScriptFunctionId id;
};

// The rows of a place, in evaluation order.
std::span<const ScriptFunction> ScriptFunctions(ScriptPlace place);

// The row a call runs, or nullptr when the call does nothing (unknown name, or a known
// name with a selector that no row takes). In keys the name and selector are compared
// upper-cased.
const ScriptFunction* FindScriptFunction(ScriptPlace place, std::string_view name,
                                         std::string_view selector);

// Whether some row of the place has this name (under its comparison rule).
bool IsScriptName(ScriptPlace place, std::string_view name);

}  // namespace plotrak
