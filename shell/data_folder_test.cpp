#include "shell/data_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "engine/test_support.h"

namespace plotrak {
namespace {

using testing::ScratchDir;
namespace fs = std::filesystem;

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spit(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

// An installation in a scratch folder: prefix/bin for the program, prefix/share/plotrak for
// the shipped data, and a home of its own.
struct Installation {
  ScratchDir root;
  fs::path bin = root.path() / "prefix" / "bin";
  fs::path share = root.path() / "prefix" / "share" / "plotrak";
  fs::path home = root.path() / "home";
  Installation() {
    fs::create_directories(bin);
    fs::create_directories(home);
    Spit(share / "baza.ptk", "shipped base");
    Spit(share / "imiona.ptk", "Ala\r\n");
  }
  DataFolderInputs Inputs() const {
    DataFolderInputs in;
    in.executableDir = bin;
    in.home = home.string();
    in.shareDirs = {bin.parent_path() / "share" / "plotrak"};
    return in;
  }
};

TEST(DataFolderTest, InstalledProgramGetsASeededFolderOfItsOwnAndNeverWritesTheShippedFiles) {
  Installation inst;
  const DataFolder first = ChooseDataFolder(inst.Inputs());
  const fs::path mine = inst.home / ".local" / "share" / "plotrak";
  EXPECT_EQ(first.folder, mine);
  EXPECT_FALSE(first.portable);
  EXPECT_TRUE(first.error.empty()) << first.error;
  EXPECT_NE(first.note.find(mine.string()), std::string::npos);
  EXPECT_EQ(Slurp(mine / "baza.ptk"), "shipped base");
  EXPECT_EQ(Slurp(mine / "imiona.ptk"), "Ala\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(mine.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // What the user's copy learned stays; a later start copies nothing over it.
  Spit(mine / "baza.ptk", "learned base");
  fs::remove(mine / "imiona.ptk");
  const DataFolder again = ChooseDataFolder(inst.Inputs());
  EXPECT_EQ(Slurp(mine / "baza.ptk"), "learned base");
  EXPECT_EQ(Slurp(mine / "imiona.ptk"), "Ala\r\n");
  EXPECT_EQ(Slurp(inst.share / "baza.ptk"), "shipped base");

  // $XDG_DATA_HOME wins over the home folder when it is absolute, and only then.
  DataFolderInputs xdg = inst.Inputs();
  xdg.xdgDataHome = (inst.root.path() / "xdg").string();
  EXPECT_EQ(ChooseDataFolder(xdg).folder, inst.root.path() / "xdg" / "plotrak");
  EXPECT_EQ(Slurp(inst.root.path() / "xdg" / "plotrak" / "baza.ptk"), "shipped base");
  xdg.xdgDataHome = "relative/xdg";
  EXPECT_EQ(ChooseDataFolder(xdg).folder, mine);
}

TEST(DataFolderTest, PortableFolderAndDirOptionNeedNoSeeding) {
  Installation inst;
  // The executable's folder with a base of its own and writable: portable use, no note.
  Spit(inst.bin / "baza.ptk", "portable base");
  DataFolder portable = ChooseDataFolder(inst.Inputs());
  EXPECT_EQ(portable.folder, inst.bin);
  EXPECT_TRUE(portable.portable);
  EXPECT_TRUE(portable.note.empty());
  EXPECT_FALSE(fs::exists(inst.home / ".local"));

  // --dir overrides both and is used as it is.
  DataFolderInputs withDir = inst.Inputs();
  withDir.dirOption = inst.root.path() / "elsewhere";
  const DataFolder chosen = ChooseDataFolder(withDir);
  EXPECT_EQ(chosen.folder, inst.root.path() / "elsewhere");
  EXPECT_FALSE(chosen.portable);
  EXPECT_FALSE(chosen.note.empty());
  EXPECT_FALSE(fs::exists(inst.root.path() / "elsewhere" / "baza.ptk"));

  // A read-only executable folder is not portable even with a base in it (as root every
  // folder is writable, so this part only runs for other users).
  if (::geteuid() != 0) {
    fs::permissions(inst.bin, fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_FALSE(ChooseDataFolder(inst.Inputs()).portable);
    fs::permissions(inst.bin, fs::perms::owner_write, fs::perm_options::add);
  }
}

TEST(DataFolderTest, AFolderThatCannotBeMadeIsReported) {
  Installation inst;
  Spit(inst.home / ".local", "a file where a folder should be");
  const DataFolder failed = ChooseDataFolder(inst.Inputs());
  EXPECT_NE(failed.error.find("cannot create the data folder"), std::string::npos);
}

}  // namespace
}  // namespace plotrak
