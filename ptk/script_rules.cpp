#include "ptk/script_rules.h"

#include "engine/cp1250.h"
#include "engine/normalize.h"
#include "script/script_names.h"
#include "script/whole_number.h"

namespace plotrak::ptk {

namespace {

const std::string& Arg(const ScriptCall& call, size_t slot) {
  static const std::string kEmpty;
  return slot <= call.args.size() ? call.args[slot - 1] : kEmpty;
}

std::string Quoted(std::string_view cp1250) {
  return "\"" + ToUtf8(cp1250) + "\"";
}

bool IsCount(const std::string& text) {
  return !text.empty() && text[0] >= '1' && text[0] <= '9' &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

// Conditions that no person and no input can ever pass, given their arguments.
bool NeverPasses(const ScriptFunction& fn, const ScriptCall& call, bool isKey) {
  const std::string& a1 = Arg(call, 1);
  const std::string& a2 = Arg(call, 2);
  const std::string yes = isKey ? "TRUE" : "true", no = isKey ? "FALSE" : "false";
  switch (fn.id) {
    case ScriptFunctionId::kMath:
      return fn.selector == kOtherSelector;
    case ScriptFunctionId::kNameTest:
      // the existence test's verdict is only ever "true" or "false"
      return a1 == "czy_jest" && a2 != yes && a2 != no;
    case ScriptFunctionId::kMailKnown:
      return a2 != yes && a2 != no;
    case ScriptFunctionId::kGameCheck:
      return a2 != "mniej" && a2 != "wiecej" && a2 != "dobrze" && a2 != "zle";
    case ScriptFunctionId::kMoodRange: {
      const auto lo = TryParseWholeNumber(a1), hi = TryParseWholeNumber(a2);
      return lo && hi && *lo >= *hi;  // lo < mood <= hi
    }
    case ScriptFunctionId::kAgeRange: {
      const auto lo = TryParseWholeNumber(a2), hi = TryParseWholeNumber(Arg(call, 3));
      return lo && hi && *lo > *hi;
    }
    case ScriptFunctionId::kRepeated:
      return !IsCount(a1);  // compared as text with a count from 1 up
    default:
      return false;
  }
}

}  // namespace

CallJudgement JudgeCall(const ScriptCall& call, bool isKey) {
  CallJudgement j;
  const ScriptPlace place = isKey ? ScriptPlace::kKey : ScriptPlace::kAnswer;
  const char* where = isKey ? "a key" : "an answer";
  if (call.name.empty()) {
    j.problems.push_back("empty call \"||\": it does nothing");
    return j;
  }
  const ScriptFunction* fn = FindScriptFunction(place, call.name, Arg(call, 1));
  if (fn == nullptr) {
    if (IsScriptName(place, call.name)) {
      j.problems.push_back("\"" + ToUtf8(call.name) + "\" does nothing with the selector " +
                           Quoted(Arg(call, 1)));
    } else {
      const ScriptPlace other = isKey ? ScriptPlace::kAnswer : ScriptPlace::kKey;
      std::string hint;
      if (IsScriptName(other, call.name)) {
        hint = isKey ? " (it works only in answers)" : " (it works only in keys)";
      } else if (!isKey) {
        for (const auto& row : ScriptFunctions(place)) {
          if (UpperAscii(row.name) == UpperAscii(call.name)) {
            hint = " (it is recognised only as \"" + std::string(row.name) + "\")";
            break;
          }
        }
      }
      j.problems.push_back("unknown script function " + Quoted(call.name) + " in " + where + hint);
    }
    return j;
  }
  for (size_t slot = 1; slot <= 3; ++slot) {
    if ((fn->wholeNumberSlots & (1u << (slot - 1))) && !TryParseWholeNumber(Arg(call, slot))) {
      j.problems.push_back("argument " + std::to_string(slot) + " of " + Quoted(call.name) +
                           " must be a whole number, not " + Quoted(Arg(call, slot)));
    }
  }
  if (fn->selector == kOtherSelector) {
    j.problems.push_back(Quoted(Arg(call, 1)) + " is not a selector word of " + Quoted(call.name));
  }
  switch (fn->kind) {
    case CallKind::kValue:
      j.givesText = true;
      break;
    case CallKind::kValueOrCondition:
      j.givesText = true;
      j.canFail = true;
      break;
    case CallKind::kCondition:
    case CallKind::kEffectAndCondition:
      j.canFail = true;
      break;
    case CallKind::kEffect:
      break;
  }
  j.neverPasses = (j.canFail || fn->kind == CallKind::kCondition) && NeverPasses(*fn, call, isKey);
  return j;
}

}  // namespace plotrak::ptk
