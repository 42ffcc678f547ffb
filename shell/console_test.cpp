// The window-less program end to end: the built binary, fed through a pipe, on a scratch
// folder with its own HOME.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>

#include "engine/incoming_text.h"
#include "engine/knowledge_base.h"
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

// Hostile input on the console: a line far over the bound and a line of terminal control
// sequences are answered, learned only in their clean, bounded form, and nothing printed
// carries a control byte.
TEST_F(ConsoleTest, HugeLinesAndControlBytesAreCleanedBeforeAnythingSeesThem) {
  Write("setup.ini", "[inne]\r\nustalone / losowane=1000\r\n");  // always ask and learn
  const std::string huge(10 * 1000 * 1000, 'x');
  const ProgramRun run = Plotrak(huge +
                                     "\n\x1B[H\x1B[J\x07"
                                     "bzdura\tdruga\r\ncześć\n",
                                 "--console --seed 5");
  EXPECT_EQ(run.status, 0) << run.err;
  size_t lines = 0;
  for (size_t at = 0; (at = run.out.find("PLOTRAK: ", at)) != std::string::npos; ++at) ++lines;
  EXPECT_EQ(lines, 3u) << run.out.substr(0, 500);
  EXPECT_NE(run.out.find("PLOTRAK: Witaj w konsoli\n"), std::string::npos);
  for (const std::string* printed : {&run.out, &run.err})
    for (unsigned char c : *printed) EXPECT_TRUE(c >= 0x20 || c == '\n') << int(c);
  KnowledgeBase base;
  ASSERT_TRUE(ReloadBase(base, dir.path() / "baza.ptk"));
  std::set<std::string> phrases;
  for (int e = 1; e <= base.LastEntry(); ++e) phrases.insert(base.Cell(kDynamicBase, e, 1));
  EXPECT_TRUE(phrases.count(std::string(kMaxIncomingText, 'x')));
  EXPECT_TRUE(phrases.count("[H[Jbzdura druga"));
  const std::string log = Slurp(dir.path() / "logi/program/TY.htm");
  EXPECT_NE(log.find("[H[Jbzdura druga"), std::string::npos);
  EXPECT_EQ(log.find('\x1B'), std::string::npos);
}

// The service mode: the end of input does not end it; SIGTERM and SIGINT end it as
// "zamknij" does, with the settings and the contacts written.
TEST_F(ConsoleTest, ServeOutlivesItsInputAndEndsCleanlyOnSigtermAndSigint) {
  for (const int signal : {SIGTERM, SIGINT}) {
    std::filesystem::remove(dir.path() / "setup.ini");
    std::filesystem::remove(dir.path() / "gadugadu.ptk");
    int input[2];
    ASSERT_EQ(::pipe(input), 0);
    const auto out = dir.path() / "serve.out";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::dup2(input[0], 0);
      ::close(input[0]);
      ::close(input[1]);
      const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(fd, 1);
      ::setenv("HOME", dir.path().c_str(), 1);
      ::execl(PLOTRAK_BINARY, "plotrak", "--console", "--serve", "--dir", dir.path().c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(input[0]);
    const std::string line = "cześć\n";
    ASSERT_EQ(::write(input[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
    ::close(input[1]);  // the end of input
    // The answer shows the event loop runs; the program must then stay up without input.
    for (int i = 0; i < 200 && Slurp(out).find("PLOTRAK: ") == std::string::npos; ++i)
      ::usleep(50 * 1000);
    EXPECT_EQ(Slurp(out), "PLOTRAK: Witaj w konsoli\n");
    ::usleep(300 * 1000);
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, WNOHANG), 0) << "ended with its input";
    ::kill(child, signal);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(Slurp(dir.path() / "setup.ini").rfind("[WWW]\r\nport=1000\r\n", 0), 0u) << signal;
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "gadugadu.ptk")) << signal;
  }
}

TEST_F(ConsoleTest, HelpAndVersion) {
  const ProgramRun version = Plotrak("", "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "plotrak 4.0\n");
  const ProgramRun help = Plotrak("", "--help");
  EXPECT_EQ(help.status, 0);
  for (const char* word :
       {"--console", "--serve", "--connect", "chat, gg, www", "web", "--dir", "--seed", "--trace",
        "--version", "XDG_DATA_HOME", "setup.ini", "SIGTERM", "SIGINT", "baza.ptk.bak"})
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  EXPECT_EQ(Plotrak("", "--serve").status, 2);  // a service without a window only
}

}  // namespace
}  // namespace plotrak
