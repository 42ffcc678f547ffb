// ptk probe: a base author's trial run. Lines a person might type go through the engine
// exactly as the console hands them over (Respond for "TY" on the local tab, then
// BotCommand), and every answer is shown with how it was found.
//
// Input (UTF-8): one conversation per block, blocks separated by blank lines; lines whose
// first non-blank character is "#" are comments. Every block starts with a fresh engine
// (the base as given, no people, no pending questions) and the same seed, so a block's
// answers do not depend on the blocks before it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ptk/base_source.h"

namespace plotrak::ptk {

using ProbeBlock = std::vector<std::string>;  // the lines of one conversation, UTF-8

std::vector<ProbeBlock> ParseProbeBlocks(std::string_view utf8);

struct ProbeOptions {
  uint32_t seed = 1;
  bool learn = true;  // the local tab's "ucz sie z programu", on by default
};

// How one line was answered.
struct ProbeAnswer {
  std::string text;    // what was said, UTF-8
  std::string answer;  // UTF-8
  std::string how;     // the engine's trace: "mother 12", "static 3", "functional", ...
  int section = 0;     // 1 mother, 2 static when an entry answered; 0 otherwise
  int entry = 0;       // the entry of that section
  bool specific = false;
};

// Runs every block against a fresh engine built from `base`, with the names list
// `namesBytes` (the bytes of an imiona.ptk). Uses a private scratch folder that it removes.
// Throws std::runtime_error when the base or the names cannot be loaded.
std::vector<std::vector<ProbeAnswer>> RunProbe(const BaseSource& base,
                                               const std::string& namesBytes,
                                               const std::vector<ProbeBlock>& blocks,
                                               const ProbeOptions& options);

// An answer is specific when an entry written for it gave it: a mother key that is not a
// bare "$@@@$" without conditions, a static question, or a command.
bool IsSpecificAnswer(const BaseSource& base, const std::string& how);

// The report: each line with its answer and trace (unless `summaryOnly`), then the share
// of specific answers, the hits per kind and per heading of the source, and the mother
// keys that never answered. `headings` maps a source line to the heading above it (may be
// empty when the base did not come from a source text).
std::string ProbeReportText(const BaseSource& base, const std::vector<std::string>& headings,
                            const std::vector<std::vector<ProbeAnswer>>& results, bool summaryOnly);

// For every line of a source text, the title of the "# ---- title" comment above it
// (index = line number, 1-based; empty before the first one).
std::vector<std::string> SourceHeadings(std::string_view utf8);

// The share of specific answers, 0..1 (1 for no lines).
double SpecificShare(const std::vector<std::vector<ProbeAnswer>>& results);

}  // namespace plotrak::ptk
