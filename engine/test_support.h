// Helpers shared by the engine tests: a scratch folder and an engine on a fixed clock.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace plotrak::testing {

// A fresh folder under the system temp dir, removed with the object.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// An engine on a scratch folder with a fixed clock and a seeded generator.
struct TestEngine {
  explicit TestEngine(uint32_t seed = 1);
  ScratchDir dir;
  FixedClock clock{LocalTime{2026, 12, 7, 12, 0, 0}};
  Random random;
  StatusLines status;
  Engine engine;
  // Loads a base made of the given sections; each entry is {key, answers...} in UTF-8.
  using Entries = std::vector<std::vector<std::string>>;
  void LoadBase(const Entries& mother, const Entries& stat = {}, const Entries& dynamic = {},
                const std::string& version = "test");
};

// Builds base file bytes from UTF-8 entries (texts converted to Windows-1250).
std::string MakeBaseBytes(const std::string& version, const std::vector<TestEngine::Entries>& sections);

}  // namespace plotrak::testing
