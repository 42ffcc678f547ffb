// The window-less program end to end: the built binary, fed through a pipe, on a scratch
// folder with its own HOME.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/test_support.h"

namespace plotrak {
namespace {

using testing::MakeBaseBytes;
using testing::ScratchDir;

struct ProgramRun {
  int status = -1;
  std::string out, err;
};

std::string Slurp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Write("baza.ptk", MakeBaseBytes("konsola 1", {{{"$@CZESC@$", "Witaj w konsoli"},
                                                   {"$1111111111$", "Zagramy w coś?"}},
                                                  {{"JAK MASZ NA IMIE", "Plotrak"}},
                                                  {{"CO ROBISZ"}}}));
    Write("imiona.ptk", "Ala\r\n");
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir.path() / name, std::ios::binary) << bytes;
  }
  ProgramRun Plotrak(const std::string& input, const std::string& args = "--console") {
    const auto in = dir.path() / "in.txt", out = dir.path() / "out.txt",
               err = dir.path() / "err.txt";
    std::ofstream(in, std::ios::binary) << input;
    const std::string command = "HOME='" + dir.path().string() + "' " PLOTRAK_BINARY " " + args +
                                " --dir '" + dir.path().string() + "' < '" + in.string() + "' > '" +
                                out.string() + "' 2> '" + err.string() + "'";
    ProgramRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = Slurp(out);
    run.err = Slurp(err);
    return run;
  }
  ScratchDir dir;
};

TEST_F(ConsoleTest, AnswersEachLineAndWritesTheSettingsAtTheEnd) {
  const ProgramRun run = Plotrak("cześć\n!BaseVersion\n", "--console --seed 1 --trace");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "PLOTRAK: Witaj w konsoli\nPLOTRAK: konsola 1\n");
  EXPECT_NE(run.err.find("mother 1\n"), std::string::npos);
  EXPECT_NE(run.err.find("command\n"), std::string::npos);
  const std::string ini = Slurp(dir.path() / "setup.ini");
  EXPECT_EQ(ini.rfind("[WWW]\r\nport=1000\r\n", 0), 0u);
  EXPECT_NE(ini.find("adres aktualizacji="), std::string::npos);
  EXPECT_NE(Slurp(dir.path() / "logi/program/TY.htm").find("Witaj w konsoli"), std::string::npos);
}

TEST_F(ConsoleTest, SettingsFileChangesWhatTheProgramDoes) {
  Write("setup.ini",
        "[komendy]\r\nwylacz komendy=1\r\n[inne]\r\nustalone / losowane=0\r\n"
        "log serwisowy=0\r\n");
  const ProgramRun run = Plotrak("!info\n!baseversion\n");
  EXPECT_EQ(run.status, 0) << run.err;
  // commands off: the engine answers; slider at 0: always the functional question
  EXPECT_EQ(run.out, "PLOTRAK: Zagramy w coś?\nPLOTRAK: Zagramy w coś?\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "servicelog.ptk"));
  EXPECT_NE(Slurp(dir.path() / "setup.ini").find("wylacz komendy=1\r\n"), std::string::npos);
}

TEST_F(ConsoleTest, ConversionErrorInTheSettingsShowsOnStderrInPolish) {
  Write("setup.ini", "[Gadu-Gadu]\r\nstatus=dwa\r\n");
  const ProgramRun run = Plotrak("");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.err.find("[status] Błąd: 'dwa'  nie jest prawidłową wartością całkowitą\n"),
            std::string::npos)
      << run.err;
}

TEST_F(ConsoleTest, MissingDataFilesStopWithStatusOne) {
  std::filesystem::remove(dir.path() / "imiona.ptk");
  ProgramRun run = Plotrak("cześć\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Plik imiona.ptk nie odnaleziony\n");
  std::filesystem::remove(dir.path() / "baza.ptk");
  run = Plotrak("cześć\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Problem z otwarciem bazy danych\n");
  EXPECT_EQ(run.out, "");
}

TEST_F(ConsoleTest, WithoutConsoleOrWithABadSeedItExitsWithTwo) {
  for (const char* args : {"", "--console --seed -1", "--console --seed 4294967296",
                           "--console --seed 12x", "--console --seed"}) {
    const ProgramRun run = Plotrak("", args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_NE(run.err.find("--console"), std::string::npos) << args;
  }
  EXPECT_EQ(Plotrak("", "--console --seed 4294967295").status, 0);
}

TEST_F(ConsoleTest, AReaderThatGoesAwayLosesTheAnswersButNotTheSettings) {
  const std::string command = "{ sleep 1; echo cześć; } | HOME='" + dir.path().string() +
                              "' " PLOTRAK_BINARY " --console --dir '" + dir.path().string() +
                              "' 2>/dev/null | true";
  std::system(command.c_str());
  EXPECT_NE(Slurp(dir.path() / "setup.ini").find("[WWW]\r\n"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "gadugadu.ptk"));
}

}  // namespace
}  // namespace plotrak
