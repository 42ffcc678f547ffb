// The scanner of keys and answers: "|name|" and "|name&arg&arg...|" calls inside a text.
#include "script/answer_script.h"

#include <array>
#include <string>
#include <string_view>

#include "engine/engine.h"
#include "engine/normalize.h"
#include "script/script_call.h"
#include "script/script_names.h"

namespace plotrak {

namespace {

// Where the next "&" or "|" stands at or after `from`, or npos: every call of every key tried
// is read with it, and a plain loop beats find_first_of's search per character.
size_t NextDelimiter(std::string_view text, size_t from) {
  for (size_t i = from; i < text.size(); ++i)
    if (text[i] == '&' || text[i] == '|') return i;
  return std::string_view::npos;
}

// Reads the call whose opening bar is at `open`. Fills the name and, when the name is
// followed by "&", empties and fills the argument slots (arguments past the third are
// dropped). Returns the index of the closing bar, or npos for a call left open at the end
// of the text, which the callers drop.
size_t ReadCall(std::string_view text, size_t open, std::string& name,
                std::array<std::string, 3>& args) {
  size_t i = open + 1;
  const size_t nameEnd = NextDelimiter(text, i);
  if (nameEnd == std::string_view::npos) return std::string_view::npos;
  name.assign(text.substr(i, nameEnd - i));
  i = nameEnd;
  if (text[i] == '&') {
    for (std::string& slot : args) slot.clear();
    size_t slot = 0;
    while (text[i] == '&') {
      const size_t argEnd = NextDelimiter(text, i + 1);
      if (argEnd == std::string_view::npos) return std::string_view::npos;
      if (slot < args.size()) args[slot].assign(text.substr(i + 1, argEnd - i - 1));
      ++slot;
      i = argEnd;
    }
  }
  return i;
}

}  // namespace

bool CheckKeyConditions(Engine& engine, std::string_view key, const std::string& speaker,
                        const std::string& input) {
  // In a key the slots outlive a call: a call without "&" sees the previous arguments.
  std::array<std::string, 3> args;
  std::string name;
  size_t i = 0;
  while ((i = key.find('|', i)) != std::string_view::npos) {
    const size_t close = ReadCall(key, i, name, args);
    if (close == std::string_view::npos) return true;
    const ScriptFunction* function = FindScriptFunction(ScriptPlace::kKey, name, args[0]);
    if (function) {
      const CallOutcome outcome =
          RunScriptFunction(*function, ScriptCallContext{engine, speaker, input, args});
      if (outcome.failed) return false;
    }
    i = close + 1;
  }
  return true;
}

bool FirstConditionFails(Engine& engine, std::string_view key, const std::string& speaker) {
  const size_t open = key.find('|');
  if (open == std::string_view::npos) return false;
  std::array<std::string, 3> args;
  std::string name;
  if (ReadCall(key, open, name, args) == std::string_view::npos) return false;
  const ScriptFunction* function = FindScriptFunction(ScriptPlace::kKey, name, args[0]);
  if (!function ||
      (function->id != ScriptFunctionId::kMarkerIs && function->id != ScriptFunctionId::kTopicIs)) {
    return false;
  }
  static const std::string kNoInput;  // neither test reads the input
  return RunScriptFunction(*function, ScriptCallContext{engine, speaker, kNoInput, args}).failed;
}

std::string ExpandAnswer(Engine& engine, const std::string& answerTemplate,
                         const std::string& speaker, const std::string& input) {
  std::string out;
  std::array<std::string, 3> args;
  std::string name;
  size_t i = 0;
  while (i < answerTemplate.size()) {
    const size_t bar = answerTemplate.find('|', i);
    out.append(answerTemplate, i, bar == std::string::npos ? std::string::npos : bar - i);
    if (bar == std::string::npos) break;
    for (std::string& slot : args) slot.clear();
    const size_t close = ReadCall(answerTemplate, bar, name, args);
    if (close == std::string::npos) break;
    const ScriptFunction* function = FindScriptFunction(ScriptPlace::kAnswer, name, args[0]);
    if (function) {
      CallOutcome outcome =
          RunScriptFunction(*function, ScriptCallContext{engine, speaker, input, args});
      // A failed condition empties the whole answer; the rest is not evaluated.
      if (outcome.failed) return "";
      out += outcome.text;
    }
    i = close + 1;
  }
  return out;
}

}  // namespace plotrak
