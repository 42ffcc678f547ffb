#include "ptk/names_list.h"

#include <unordered_map>

#include "engine/cp1250.h"
#include "ptk/source_text.h"

namespace plotrak::ptk {

std::string StoredNameForm(std::string_view cp1250) {
  static const std::string kFrom = FromUtf8("ŃĄŁŻŹÓĘŚĆ");
  static const std::string kTo = "NALZZOESC";
  std::string stored;
  for (char c : UpperCp1250(cp1250)) {
    if (c == ' ') continue;
    const size_t at = kFrom.find(c);
    stored += at == std::string::npos ? c : kTo[at];
  }
  return stored;
}

std::vector<NameLine> ParseNamesSource(std::string_view utf8) {
  std::vector<NameLine> names;
  std::unordered_map<std::string, int> seen;
  int lineNumber = 0;
  size_t pos = 0;
  while (pos < utf8.size()) {
    size_t end = utf8.find('\n', pos);
    if (end == std::string_view::npos) end = utf8.size();
    std::string_view line = utf8.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    if (line.empty() || line.front() == '#') continue;

    NameLine name{UnescapeField(line, lineNumber), "", lineNumber};
    name.stored = StoredNameForm(name.name);
    if (auto it = seen.find(name.stored); it != seen.end()) {
      throw SourceError(lineNumber,
                        ToUtf8(name.stored) + " is already on line " + std::to_string(it->second));
    }
    // Quadratic, but the list is a few thousand short names at most.
    for (const auto& earlier : names) {
      if (name.stored.find(earlier.stored) != std::string::npos) {
        throw SourceError(lineNumber,
                          ToUtf8(name.stored) + " contains " + ToUtf8(earlier.stored) + " (line " +
                              std::to_string(earlier.line) +
                              "), which would be captured first: list the longer name earlier");
      }
    }
    seen.emplace(name.stored, lineNumber);
    names.push_back(std::move(name));
  }
  return names;
}

std::string NamesFileBytes(const std::vector<NameLine>& names) {
  std::string bytes;
  for (const auto& n : names) {
    bytes += n.name;
    bytes += '\n';
  }
  return bytes;
}

}  // namespace plotrak::ptk
