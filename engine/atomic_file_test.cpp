#include "engine/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "engine/knowledge_base.h"
#include "engine/test_support.h"

namespace plotrak {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spit(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

unsigned ModeOf(const fs::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(AtomicFile, ReplacementKeepsTheModeAndANewFileGetsTheOneAsked) {
  testing::ScratchDir dir;
  const fs::path file = dir.path() / "plik";
  ReplaceFileAtomically(file, "nowy", 0600);
  EXPECT_EQ(Slurp(file), "nowy");
  EXPECT_EQ(ModeOf(file), 0600u);
  for (unsigned mode : {0640u, 0604u, 0444u}) {
    ::chmod(file.c_str(), mode);
    ReplaceFileAtomically(file, "zmieniony", 0600);
    EXPECT_EQ(ModeOf(file), mode);
    EXPECT_EQ(Slurp(file), "zmieniony");
  }
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"plik"});
  // a failure leaves the old file and no temporary file
  EXPECT_THROW(ReplaceFileAtomically(dir.path() / "brak" / "plik", "x"), std::runtime_error);
  fs::create_directory(dir.path() / "folder");
  EXPECT_THROW(ReplaceFileAtomically(dir.path() / "folder", "x"), std::runtime_error);
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"folder", "plik"}));
}

TEST(AtomicFile, StaleTemporariesOfOurNamingGoAndNothingElse) {
  testing::ScratchDir dir;
  const std::vector<std::string> stale = {"baza.ptk.aB3xYz.tmp", "baza.ptk.Q1w2E3",
                                          "baza.ptk.tmp4242"};
  const std::vector<std::string> kept = {"baza.ptk",         "baza.ptk.bak",  "baza.ptk.backup",
                                         "baza.ptk.abc.tmp", "baza.ptk.tmp",  "setup.ini.Q1w2E3",
                                         "xbaza.ptk.Q1w2E3", "baza.ptk.tmp4x"};
  for (const auto& name : stale) Spit(dir.path() / name, "x");
  for (const auto& name : kept) Spit(dir.path() / name, "x");
  EXPECT_EQ(RemoveStaleTemporaries(dir.path() / "baza.ptk"), static_cast<int>(stale.size()));
  auto sorted = kept;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(Names(dir.path()), sorted);
  EXPECT_EQ(RemoveStaleTemporaries(dir.path() / "missing" / "baza.ptk"), 0);
}

// A save keeps the base it replaces as baza.ptk.bak, once per run: a base damaged outside
// the program can be recovered from it after the program has saved over it.
TEST(AtomicFile, FirstSaveOfARunKeepsTheReplacedBase) {
  testing::TestEngine t;
  t.LoadBase({{"$CZESC$", "Witaj"}}, {{"pytanie", "odp"}});
  const fs::path base = t.engine.DataFile("baza.ptk");
  const fs::path backup = t.engine.DataFile("baza.ptk.bak");
  const std::string original = Slurp(base);
  ::chmod(base.c_str(), 0640);
  t.engine.base.SetCell(kStaticBase, 1, 2, "druga");
  SaveBaseFile(t.engine.base, base);
  EXPECT_EQ(Slurp(backup), original);
  EXPECT_NE(Slurp(base), original);
  EXPECT_EQ(ModeOf(base), 0640u);
  t.engine.base.SetCell(kStaticBase, 1, 2, "trzecia");
  SaveBaseFile(t.engine.base, base);
  EXPECT_EQ(Slurp(backup), original);  // one generation: the base the run started with
  EXPECT_EQ(Names(t.dir.path()), (std::vector<std::string>{"baza.ptk", "baza.ptk.bak"}));
}

}  // namespace
}  // namespace plotrak
