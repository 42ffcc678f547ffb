// An engine on a scratch folder for the script tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/cp1250.h"
#include "engine/engine.h"
#include "engine/random.h"
#include "engine/status_lines.h"

namespace plotrak::testing {

inline std::filesystem::path MakeScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "plotrak-script-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  if (!made) std::abort();
  return made;
}

struct ScriptEngine {
  ScriptEngine() : dir(MakeScratchDir()), engine(dir, clock, random, status) {}
  ~ScriptEngine() { std::filesystem::remove_all(dir); }

  // Writes a base of mother-base entries ({key, answers...}, UTF-8) and loads it.
  void LoadMotherBase(const std::vector<std::vector<std::string>>& entries) {
    KnowledgeBase base;
    size_t slots = 0;
    for (const auto& entry : entries) slots = std::max(slots, entry.size());
    base.Resize(4, static_cast<int>(entries.size()) + 2, static_cast<int>(slots) + 2, true);
    base.baseVersion = "test";
    for (size_t e = 0; e < entries.size(); ++e) {
      for (size_t s = 0; s < entries[e].size(); ++s) {
        base.SetCell(1, static_cast<int>(e) + 1, static_cast<int>(s) + 1, FromUtf8(entries[e][s]));
      }
    }
    const std::filesystem::path path = dir / "baza.ptk";
    SaveBaseFile(base, path);
    if (!engine.LoadBaseFile(path)) std::abort();
  }

  std::filesystem::path dir;
  FixedClock clock{LocalTime{2004, 3, 7, 9, 5, 1}};
  Random random{1};
  StatusLines status;
  Engine engine;
};

}  // namespace plotrak::testing
