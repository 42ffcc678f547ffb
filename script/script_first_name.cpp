// First names: captured from what people say by the names list, given back in title case.
#include "engine/engine.h"
#include "engine/normalize.h"
#include "script/script_call.h"

namespace plotrak {

std::string FirstNameValue(const Engine& engine, const InterlocutorRecord& record) {
  const std::string& name = record.firstName;
  if (name.empty()) return "";
  // The list's own spelling keeps the Polish letters the stored form folds ("Michał").
  for (size_t i = 0; i < engine.names.size() && i < engine.nameSpellings.size(); ++i) {
    if (engine.names[i] == name) return engine.nameSpellings[i];
  }
  std::string out(1, name[0]);
  for (size_t i = 1; i < name.size(); ++i) {
    const char c = name[i];
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return out;
}

void CaptureFirstName(Engine& engine, const std::string& speaker, const std::string& input) {
  InterlocutorRecord& record = WriteRecord(engine, speaker);
  engine.script.nameCaptured = false;
  const std::string upper = UpperAscii(input);
  // First entry of the list that occurs anywhere, even inside a longer word.
  for (const std::string& name : engine.names) {
    if (name.empty() || upper.find(name) == std::string::npos) continue;
    record.firstName = name;
    engine.script.nameCaptured = true;
    return;
  }
}

bool FirstNameTest(const Engine& engine, const std::string& speaker, std::string_view selector,
                   std::string_view expected) {
  const bool known = !ReadRecord(engine, speaker).firstName.empty();
  if (selector == "czy_jest") {
    return (expected == "true" && known) || (expected == "false" && !known);
  }
  // "czy_zmienil": was the name taken from this message?
  const bool captured = engine.script.nameCaptured;
  if (!known) return expected == "false";
  return expected == "true" ? captured : !captured;
}

}  // namespace plotrak
