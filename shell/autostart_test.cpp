#include "shell/autostart.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "engine/test_support.h"

namespace plotrak {
namespace {

// Points HOME at a scratch folder for the test's life.
class AutostartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* home = std::getenv("HOME")) saved_ = home;
    setenv("HOME", dir.path().c_str(), 1);
  }
  void TearDown() override { setenv("HOME", saved_.c_str(), 1); }
  std::string Entry() {
    std::ifstream in(AutostartFile());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  testing::ScratchDir dir;
  std::string saved_;
};

TEST_F(AutostartTest, WritesTheEntryWithTheFullPathAndRemovesIt) {
  EXPECT_EQ(AutostartFile(), dir.path() / ".config/autostart/plotrak.desktop");
  SetAutostart(true, "/opt/plotrak/plotrak");
  const std::string entry = Entry();
  EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_NE(entry.find("\nExec=/opt/plotrak/plotrak\n"), std::string::npos);
  EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
  SetAutostart(false, "/opt/plotrak/plotrak");
  EXPECT_FALSE(std::filesystem::exists(AutostartFile()));
  SetAutostart(false, "/opt/plotrak/plotrak");  // a second removal is silent
}

TEST_F(AutostartTest, PathsAreQuotedAndEscapedForTheExecLine) {
  struct Case {
    const char* path;
    const char* exec;  // as it stands in the file
  } cases[] = {
      {"/home/ja/moje programy/plo\"trak", "\"/home/ja/moje programy/plo\\\\\"trak\""},
      {"/opt/100%/plotrak", "\"/opt/100%%/plotrak\""},
      {"/opt/a$b/plotrak", "\"/opt/a\\\\$b/plotrak\""},
      {"/opt/a\\b", "\"/opt/a\\\\\\\\b\""},
      {"/opt/x\nExec=/bin/evil", "\"/opt/x\\nExec=/bin/evil\""},
  };
  for (const Case& c : cases) {
    SetAutostart(true, c.path);
    EXPECT_NE(Entry().find(std::string("\nExec=") + c.exec + "\n"), std::string::npos)
        << c.path << "\n"
        << Entry();
    EXPECT_EQ(Entry().find("\nExec=/bin/evil"), std::string::npos);
  }
}

TEST_F(AutostartTest, AFolderThatCannotBeMadeIsSkippedSilently) {
  std::ofstream(dir.path() / ".config") << "a file where the folder should be";
  EXPECT_NO_THROW(SetAutostart(true, "/opt/plotrak/plotrak"));
  EXPECT_FALSE(std::filesystem::exists(AutostartFile()));
}

}  // namespace
}  // namespace plotrak
