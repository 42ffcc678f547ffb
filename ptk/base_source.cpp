#include "ptk/base_source.h"

#include "ptk/source_text.h"

namespace plotrak::ptk {

namespace {

constexpr const char* kHeaders[3] = {"[MATKA]", "[STATYCZNA]", "[DYNAMICZNA]"};
constexpr std::string_view kVersionTag = "WERSJA:";

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// The text after a tag such as "K:": one space after the colon belongs to the layout.
std::string_view FieldAfter(std::string_view line, size_t tagLength) {
  std::string_view rest = line.substr(tagLength);
  if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  return rest;
}

void PrintField(std::string& out, std::string_view tag, const std::string& text) {
  out += tag;
  out += ' ';
  out += EscapeField(text);
  out += '\n';
}

}  // namespace

const char* SectionHeader(int section) {
  return kHeaders[section - 1];
}

BaseSource ParseBaseSource(std::string_view utf8) {
  BaseSource source;
  int section = 0;  // none yet
  int lineNumber = 0;
  size_t pos = 0;
  if (utf8.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;  // a byte-order mark some editors add
  while (pos < utf8.size()) {
    size_t end = utf8.find('\n', pos);
    if (end == std::string_view::npos) end = utf8.size();
    const std::string_view raw = utf8.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;

    const std::string_view line = TrimRight(TrimLeft(raw));
    if (line.empty() || line.front() == '#') continue;

    if (line.front() == '[') {
      int found = 0;
      for (int s = 1; s <= 3; ++s) {
        if (line == kHeaders[s - 1]) found = s;
      }
      if (found == 0) {
        throw SourceError(lineNumber, "unknown section \"" + std::string(line) +
                                          "\" (use [MATKA], [STATYCZNA] or [DYNAMICZNA])");
      }
      if (found <= section) {
        throw SourceError(lineNumber, std::string(line) +
                                          " comes too late: the sections go [MATKA], "
                                          "[STATYCZNA], [DYNAMICZNA], each once");
      }
      section = found;
      continue;
    }

    if (line.substr(0, kVersionTag.size()) == kVersionTag) {
      if (source.hasVersion) throw SourceError(lineNumber, "a second WERSJA: line");
      if (section != 0) throw SourceError(lineNumber, "WERSJA: must come before the sections");
      source.version = {UnescapeField(FieldAfter(line, kVersionTag.size()), lineNumber),
                        lineNumber};
      source.hasVersion = true;
      continue;
    }

    const bool isKey = line.substr(0, 2) == "K:";
    const bool isAnswer = line.substr(0, 2) == "A:";
    if (!isKey && !isAnswer) {
      throw SourceError(lineNumber,
                        "expected \"K:\", \"A:\", a [section], \"WERSJA:\" or a # comment");
    }
    if (section == 0) throw SourceError(lineNumber, "an entry before the first [section]");
    SourceField field{UnescapeField(FieldAfter(line, 2), lineNumber), lineNumber};
    auto& entries = source.Section(section);
    if (isKey) {
      entries.push_back({std::move(field), {}});
    } else {
      if (entries.empty())
        throw SourceError(lineNumber, "an answer before the first K: of its section");
      entries.back().answers.push_back(std::move(field));
    }
  }
  return source;
}

std::string PrintBaseSource(const BaseSource& source) {
  std::string out;
  PrintField(out, kVersionTag, source.version.text);
  for (int s = 1; s <= 3; ++s) {
    out += '\n';
    out += kHeaders[s - 1];
    out += '\n';
    for (const auto& entry : source.Section(s)) {
      out += '\n';
      PrintField(out, "K:", entry.key.text);
      for (const auto& answer : entry.answers) PrintField(out, "A:", answer.text);
    }
  }
  return out;
}

}  // namespace plotrak::ptk
