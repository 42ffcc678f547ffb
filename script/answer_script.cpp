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

// A call read in place: its name, up to three arguments, and the index of its closing bar
// (npos for a call left open at the end of the text, which the callers drop).
struct CallView {
  std::string_view name;
  std::array<std::string_view, 3> args;  // arguments past the third are dropped
  bool hasArgs = false;                  // the name is followed by "&"
  size_t close = std::string_view::npos;
};

CallView ScanCall(std::string_view text, size_t open) {
  CallView call;
  size_t i = open + 1;
  const size_t nameEnd = NextDelimiter(text, i);
  if (nameEnd == std::string_view::npos) return call;
  call.name = text.substr(i, nameEnd - i);
  i = nameEnd;
  size_t slot = 0;
  while (text[i] == '&') {
    const size_t argEnd = NextDelimiter(text, i + 1);
    if (argEnd == std::string_view::npos) return call;
    if (slot < call.args.size()) call.args[slot] = text.substr(i + 1, argEnd - i - 1);
    call.hasArgs = true;
    ++slot;
    i = argEnd;
  }
  call.close = i;
  return call;
}

// ScanCall into the argument slots: a call with "&" empties and fills them, a call without
// leaves them as they were. Returns the closing bar's index or npos.
size_t ReadCall(std::string_view text, size_t open, std::string& name,
                std::array<std::string, 3>& args) {
  const CallView call = ScanCall(text, open);
  if (call.close == std::string_view::npos) return call.close;
  name.assign(call.name);
  if (call.hasArgs) {
    for (size_t k = 0; k < args.size(); ++k) args[k].assign(call.args[k]);
  }
  return call.close;
}

// The rows of the marker and topic tests; their names stand once in the key table, so a
// name equal to one of them is what FindScriptFunction would find.
std::array<const ScriptFunction*, 2> GateRows() {
  std::array<const ScriptFunction*, 2> rows{};
  size_t n = 0;
  for (const ScriptFunction& row : ScriptFunctions(ScriptPlace::kKey)) {
    if (row.id == ScriptFunctionId::kMarkerIs || row.id == ScriptFunctionId::kTopicIs) {
      if (n < rows.size()) rows[n++] = &row;
    }
  }
  return rows;
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
  // Read in place: keys that wait for a marker or a topic are tried on every text.
  const CallView call = ScanCall(key, open);
  if (call.close == std::string_view::npos) return false;
  static const std::array<const ScriptFunction*, 2> kGates = GateRows();
  for (const ScriptFunction* row : kGates) {
    if (row && SameUpperAscii(call.name, row->name)) {
      return !RecordFieldIs(engine, speaker, row->id, call.args[0]);
    }
  }
  return false;
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
