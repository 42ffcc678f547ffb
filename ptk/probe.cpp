// ptk probe: lines through a fresh engine per conversation, and what answered them.
#include "ptk/probe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>

#include "engine/bot_command.h"
#include "engine/clock.h"
#include "engine/conversation_lifetime.h"
#include "engine/cp1250.h"
#include "engine/engine.h"
#include "engine/random.h"
#include "engine/respond.h"
#include "engine/status_lines.h"
#include "ptk/base_image.h"
#include "ptk/file_io.h"

namespace plotrak::ptk {

namespace fs = std::filesystem;

namespace {

std::string Trimmed(std::string_view s) {
  const size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string_view::npos) return "";
  const size_t e = s.find_last_not_of(" \t\r");
  return std::string(s.substr(b, e - b + 1));
}

// A private folder for the engine's files, removed with the object.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "ptk-probe-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch folder");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// "mother 12" -> {1, 12}; "static 3" -> {2, 3}; anything else -> {0, 0}.
std::pair<int, int> EntryOfTrace(const std::string& how) {
  for (const auto& [prefix, section] : {std::pair{"mother ", 1}, std::pair{"static ", 2}}) {
    const std::string p = prefix;
    if (how.rfind(p, 0) == 0) return {section, std::atoi(how.c_str() + p.size())};
  }
  return {0, 0};
}

std::string Percent(int part, int whole) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f%%", whole ? 100.0 * part / whole : 100.0);
  return buf;
}

}  // namespace

std::vector<ProbeBlock> ParseProbeBlocks(std::string_view utf8) {
  std::vector<ProbeBlock> blocks(1);
  std::istringstream in{std::string(utf8)};
  std::string line;
  while (std::getline(in, line)) {
    const std::string t = Trimmed(line);
    if (t.empty()) {
      if (!blocks.back().empty()) blocks.emplace_back();
    } else if (t[0] != '#') {
      blocks.back().push_back(t);
    }
  }
  if (blocks.back().empty()) blocks.pop_back();
  return blocks;
}

bool IsSpecificAnswer(const BaseSource& base, const std::string& how) {
  if (how == "command" || how == "open-program") return true;
  const auto [section, entry] = EntryOfTrace(how);
  if (section == 2) return true;
  if (section != 1) return false;
  const auto& mother = base.Section(1);
  // Entries past the source were added while the probe ran; none is a catch-all.
  if (entry < 1 || entry > static_cast<int>(mother.size())) return true;
  return mother[entry - 1].key.text != "$@@@$";
}

std::vector<std::vector<ProbeAnswer>> RunProbe(const BaseSource& base,
                                               const std::string& namesBytes,
                                               const std::vector<ProbeBlock>& blocks,
                                               const ProbeOptions& options) {
  const std::string baseBytes = BuildBaseBytes(base);
  ScratchDir scratch;
  WriteWholeFile(scratch.path() / "imiona.ptk", namesBytes);
  std::vector<std::vector<ProbeAnswer>> results;
  for (const ProbeBlock& block : blocks) {
    WriteWholeFile(scratch.path() / "baza.ptk", baseBytes);
    FixedClock clock(LocalTime{2026, 12, 7, 14, 0, 0});
    Random random(options.seed);
    StatusLines status;
    Engine engine(scratch.path(), clock, random, status);
    engine.settings.serviceLog = false;
    if (!engine.LoadBaseFile(scratch.path() / "baza.ptk"))
      throw std::runtime_error("the base cannot be loaded");
    if (!LoadNames(engine)) throw std::runtime_error("the names list cannot be loaded");
    const BotCommandState commands;
    auto& answers = results.emplace_back();
    for (const std::string& line : block) {
      ProbeAnswer a;
      a.text = line;
      const std::string text = FromUtf8(line);
      try {
        std::string answer = Respond(engine, "TY", text, options.learn, kChannelProgram);
        std::string reply = BotCommand(engine, commands, text, false);
        if (!reply.empty()) {
          answer = std::move(reply);
          engine.trace.how = "command";
        }
        a.answer = ToUtf8(answer);
        a.how = engine.trace.how;
      } catch (const std::exception& e) {
        a.answer = std::string("(error: ") + e.what() + ")";
        a.how = "error";
      }
      std::tie(a.section, a.entry) = EntryOfTrace(a.how);
      a.specific = IsSpecificAnswer(base, a.how);
      answers.push_back(std::move(a));
      clock.Advance(20);  // a person types a line every 20 seconds or so
    }
  }
  return results;
}

double SpecificShare(const std::vector<std::vector<ProbeAnswer>>& results) {
  int lines = 0, specific = 0;
  for (const auto& block : results) {
    for (const auto& a : block) {
      ++lines;
      specific += a.specific;
    }
  }
  return lines ? static_cast<double>(specific) / lines : 1.0;
}

std::vector<std::string> SourceHeadings(std::string_view utf8) {
  std::vector<std::string> headings(1);
  std::istringstream in{std::string(utf8)};
  std::string line, current;
  while (std::getline(in, line)) {
    const std::string t = Trimmed(line);
    if (t.rfind("#", 0) == 0 && t.find("----") != std::string::npos) {
      current = Trimmed(t.substr(t.find_last_of('-') + 1));
    }
    headings.push_back(current);
  }
  return headings;
}

std::string ProbeReportText(const BaseSource& base, const std::vector<std::string>& headings,
                            const std::vector<std::vector<ProbeAnswer>>& results,
                            bool summaryOnly) {
  std::ostringstream out;
  const auto& mother = base.Section(1);
  const auto& statics = base.Section(2);
  auto lineOf = [&](int section, int entry) {
    const auto& entries = section == 1 ? mother : statics;
    return entry >= 1 && entry <= static_cast<int>(entries.size()) ? entries[entry - 1].key.line
                                                                   : 0;
  };
  auto headingOf = [&](int line) {
    return line > 0 && line < static_cast<int>(headings.size()) && !headings[line].empty()
               ? headings[line]
               : std::string("(no heading)");
  };

  int lines = 0, specific = 0;
  std::map<std::string, int> byKind, byHeading;
  std::vector<bool> fired(mother.size() + 1, false);
  for (size_t b = 0; b < results.size(); ++b) {
    if (!summaryOnly) out << "== conversation " << b + 1 << "\n";
    for (const ProbeAnswer& a : results[b]) {
      ++lines;
      specific += a.specific;
      std::string kind = a.how.empty() ? "none" : a.how.substr(0, a.how.find(' '));
      if (a.section == 1 && !a.specific) kind = "catch-all";
      ++byKind[kind];
      if (a.section == 1 && a.entry <= static_cast<int>(mother.size())) fired[a.entry] = true;
      const int line = lineOf(a.section, a.entry);
      if (a.section == 1) ++byHeading[headingOf(line)];
      if (summaryOnly) continue;
      out << "TY: " << a.text << "\nPLOTRAK: " << a.answer << "\n   [" << a.how;
      if (line > 0) out << ", line " << line;
      out << (a.specific ? "" : ", NOT SPECIFIC") << "]\n";
    }
  }
  out << "== summary\nlines: " << lines << ", conversations: " << results.size()
      << "\nspecific: " << specific << " (" << Percent(specific, lines) << ")\nby kind:";
  for (const auto& [kind, count] : byKind) out << " " << kind << " " << count << ";";
  out << "\nmother keys by heading:\n";
  for (const auto& [heading, count] : byHeading) out << "  " << count << "  " << heading << "\n";
  int unfired = 0;
  std::ostringstream list;
  for (size_t e = 1; e < fired.size(); ++e) {
    if (fired[e]) continue;
    ++unfired;
    list << "  line " << mother[e - 1].key.line << ": " << ToUtf8(mother[e - 1].key.text) << "\n";
  }
  out << "mother keys that never answered: " << unfired << " of " << mother.size() << "\n"
      << list.str();
  return out.str();
}

}  // namespace plotrak::ptk
