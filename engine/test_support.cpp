#include "engine/test_support.h"

#include <fstream>
#include <random>

#include "engine/cp1250.h"
#include "engine/text_codec.h"

namespace plotrak::testing {

ScratchDir::ScratchDir() {
  static std::mt19937_64 gen{std::random_device{}()};
  path_ = std::filesystem::temp_directory_path() /
          ("plotrak-test-" + std::to_string(gen()));
  std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

TestEngine::TestEngine(uint32_t seed) : random(seed), engine(dir.path(), clock, random, status) {}

std::string MakeBaseBytes(const std::string& version, const std::vector<TestEngine::Entries>& sections) {
  std::string out = EncodeText(FromUtf8(version));
  for (const auto& entries : sections) {
    out += '\xC8';
    for (const auto& entry : entries) {
      for (size_t i = 0; i < entry.size(); ++i) {
        out += i == 0 ? '\xC9' : '\xCA';
        out += EncodeText(FromUtf8(entry[i]));
      }
    }
  }
  return out;
}

void TestEngine::LoadBase(const Entries& mother, const Entries& stat, const Entries& dynamic,
                          const std::string& version) {
  const auto path = dir.path() / "baza.ptk";
  std::ofstream(path, std::ios::binary) << MakeBaseBytes(version, {mother, stat, dynamic});
  engine.LoadBaseFile(path);
}

}  // namespace plotrak::testing
