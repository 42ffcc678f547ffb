#include "shell/application.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "engine/cp1250.h"
#include "engine/test_support.h"
#include "shell/error_text.h"

namespace plotrak {
namespace {

using testing::MakeBaseBytes;
using testing::ScratchDir;

std::string Slurp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* home = std::getenv("HOME")) savedHome_ = home;
    setenv("HOME", home.path().c_str(), 1);
    Write("baza.ptk", MakeBaseBytes("wersja testowa",
                                    {{{"$@CZESC@$", "Witaj"}, {"$1111111111$", "Zagramy w coś?"}},
                                     {{"JAK MASZ NA IMIE", "Plotrak"}},
                                     {{"CO ROBISZ"}}}));
    Write("imiona.ptk", "Ala\r\n");
  }
  void TearDown() override { setenv("HOME", savedHome_.c_str(), 1); }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir.path() / name, std::ios::binary) << bytes;
  }
  std::string Line(const char* label) { return ToUtf8(app.status.Get(FromUtf8(label))); }

  ScratchDir dir, home;
  FixedClock clock{LocalTime{2026, 12, 7, 23, 59, 58}};
  Random random{3};
  Application app{dir.path(), "/opt/plotrak/plotrak", clock, random};
  std::string savedHome_;
};

TEST_F(ApplicationTest, StartShowsCaptionsStatisticsVersionAndNames) {
  ASSERT_EQ(app.Start(), std::nullopt);
  EXPECT_EQ(Line("Ilość kluczy w bazie matce: "), "Ilość kluczy w bazie matce: 2");
  EXPECT_EQ(Line("Ostatni tekst od: "), "Ostatni tekst od: brak");
  EXPECT_EQ(Line("Wersja bazy "), "Wersja bazy wersja testowa");
  EXPECT_EQ(Line("Czas od włączenia programu: "),
            "Czas od włączenia programu: godzin 0 minut 0 sekund 0");
  EXPECT_EQ(app.engine.names, (std::vector<std::string>{"ALA"}));
  EXPECT_EQ(app.engine.people.Size(), 2);
  EXPECT_TRUE(app.lifetime.timerRunning);
}

TEST_F(ApplicationTest, MissingEssentialFilesStopTheStart) {
  std::filesystem::remove(dir.path() / "imiona.ptk");
  EXPECT_EQ(app.Start(), "Plik imiona.ptk nie odnaleziony");
  std::filesystem::remove(dir.path() / "baza.ptk");
  Application other(dir.path(), "/x", clock, random);
  EXPECT_EQ(other.Start(), "Problem z otwarciem bazy danych");
}

TEST_F(ApplicationTest, SettingsDriveTheEngineAndABadSliderShowsInPolish) {
  Write("setup.ini",
        "[inne]\r\nlog serwisowy=0\r\nustalone / losowane=0\r\n"
        "uczenie / doskonalenie=x1\r\n");
  ASSERT_EQ(app.Start(), std::nullopt);
  EXPECT_EQ(app.engine.settings.fixedVsRandom, 0);
  EXPECT_FALSE(app.engine.settings.serviceLog);
  EXPECT_EQ(app.engine.settings.learnVsPerfect, 300);
  EXPECT_EQ(ToUtf8(app.model.statusBar()), "Błąd: 'x1'  nie jest prawidłową wartością całkowitą");
  // with the slider at 0 an unanswerable text always gets the functional question
  for (int i = 0; i < 20; ++i) {
    app.LocalLine("qwerty " + std::to_string(i));
    EXPECT_EQ(app.engine.trace.how, "functional");
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "servicelog.ptk"));
}

TEST_F(ApplicationTest, LocalLineAnswersLogsCountsAndLetsCommandsReplaceTheAnswer) {
  ASSERT_EQ(app.Start(), std::nullopt);
  EXPECT_EQ(app.LocalLine("czesc"), "Witaj");
  EXPECT_EQ(app.engine.trace.how.rfind("mother", 0), 0u);
  EXPECT_EQ(app.LocalLine("!baseversion"), "wersja testowa");
  EXPECT_EQ(app.engine.trace.how, "command");
  app.model.settings.SetFlag(SettingId::kCmdBaseVersion, false);
  EXPECT_NE(app.LocalLine("!baseversion"), "wersja testowa");
  EXPECT_EQ(Line("Powiedzianych tekstów(suma): "), "Powiedzianych tekstów(suma): 3");
  const std::string log = Slurp(dir.path() / "logi/program/TY.htm");
  EXPECT_NE(log.find("<b>TY</b> czesc<br>"), std::string::npos);
  EXPECT_NE(log.find("<b>PLOTRAK</b><i> Witaj</i><br>"), std::string::npos);
}

TEST_F(ApplicationTest, LearningSwitchDecidesWhetherUnansweredTextsAreKept) {
  Write("setup.ini", "[inne]\r\nustalone / losowane=1000\r\n[rozmowa]\r\nucz sie z programu=0\r\n");
  ASSERT_EQ(app.Start(), std::nullopt);
  auto kept = [this](const std::string& phrase) {
    for (int e = 1; e < app.engine.base.EntryCount(); ++e)
      if (app.engine.base.Cell(kDynamicBase, e, 1) == phrase) return true;
    return false;
  };
  app.LocalLine("zupelnie nieznane zdanie");
  ASSERT_EQ(app.engine.trace.how.rfind("question", 0), 0u);
  EXPECT_FALSE(kept("zupelnie nieznane zdanie"));
  app.model.settings.SetFlag(SettingId::kLocalLearn, true);
  app.LocalLine("inne nieznane zdanie");
  ASSERT_EQ(app.engine.trace.how.rfind("question", 0), 0u);
  EXPECT_TRUE(kept("inne nieznane zdanie"));
}

TEST_F(ApplicationTest, ResetButtonRestoresDefaultsAndColours) {
  Write("setup.ini", "[Chat]\r\nnick=Bob\r\n");
  ASSERT_EQ(app.Start(), std::nullopt);
  int coloured = 0;
  app.hooks.applyColours = [&] { ++coloured; };
  app.ResetSettingsClicked();
  EXPECT_EQ(app.model.settings.Text(SettingId::kChatNick), "Plotrak");
  EXPECT_NE(Slurp(dir.path() / "setup.ini").find("nick=Plotrak\r\n"), std::string::npos);
  EXPECT_EQ(coloured, 1);
}

TEST_F(ApplicationTest, LocalLoggingSwitchIsTheShiftedKey) {
  Write("setup.ini", "[rozmowa]\r\nanimacja postaci=0\r\n");
  ASSERT_EQ(app.Start(), std::nullopt);
  app.LocalLine("czesc");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "logi/program/TY.htm"));
}

TEST_F(ApplicationTest, ClockCountsUptimeAndResetsTheDailyCounterAtMidnight) {
  ASSERT_EQ(app.Start(), std::nullopt);
  app.LocalLine("czesc");
  EXPECT_EQ(app.engine.stats.startedToday, 1);
  clock.Advance(1);
  app.ClockTick();  // 23:59:59
  EXPECT_EQ(app.engine.stats.startedToday, 1);
  clock.Advance(1);
  app.ClockTick();  // 00:00:00
  EXPECT_EQ(app.engine.stats.startedToday, 0);
  EXPECT_EQ(Line("Rozpoczętych rozmów - dziś: "), "Rozpoczętych rozmów - dziś: 0");
  EXPECT_EQ(Line("Czas od włączenia programu: "),
            "Czas od włączenia programu: godzin 0 minut 0 sekund 2");
  app.model.settings.SetFlag(SettingId::kSpeakOnSilence, false);  // stops the clock
  app.ClockTick();
  EXPECT_EQ(app.engine.uptimeSeconds, 2);
  app.LocalLine("czesc");  // an incoming text starts it again
  app.ClockTick();
  EXPECT_EQ(app.engine.uptimeSeconds, 3);
}

TEST_F(ApplicationTest, SilencePromptsReachTheLocalMemo) {
  ASSERT_EQ(app.Start(), std::nullopt);
  app.LocalLine("czesc");
  for (int i = 0; i < 90; ++i) {
    clock.Advance(1);
    app.SilenceTimerTick();
  }
  ASSERT_EQ(app.model.localMemo().size(), 1u);
  EXPECT_EQ(app.model.localMemo()[0].rfind("PLOTRAK: ", 0), 0u);
}

TEST_F(ApplicationTest, ShutdownWritesSettingsContactsAndAutostart) {
  ASSERT_EQ(app.Start(), std::nullopt);
  app.model.settings.SetText(SettingId::kChatNick, "Bot");
  app.model.settings.SetFlag(SettingId::kAutostart, true);
  app.model.contacts.rows[1] = {"Ala", "123", "T"};
  app.model.contacts.rows[3] = {"Ola", "456", "N"};
  app.Shutdown();
  EXPECT_NE(Slurp(dir.path() / "setup.ini").find("[Chat]\r\nnick=Bot\r\n"), std::string::npos);
  EXPECT_EQ(Slurp(dir.path() / "gadugadu.ptk"), "Ala\r\n123\r\nT\r\nOla\r\n456\r\nN\r\n");
  EXPECT_NE(
      Slurp(home.path() / ".config/autostart/plotrak.desktop").find("Exec=/opt/plotrak/plotrak"),
      std::string::npos);
  ContactsTable read;
  ASSERT_TRUE(read.Load(dir.path() / "gadugadu.ptk"));
  EXPECT_EQ(read.rows[2][1], "456");
}

TEST_F(ApplicationTest, AutostartEntryChangesOnClickAndExitOnly) {
  const auto entry = home.path() / ".config/autostart/plotrak.desktop";
  Write("setup.ini", "[rozne]\r\nuruchamiaj przy starcie=1\r\n");
  ASSERT_EQ(app.Start(), std::nullopt);
  EXPECT_TRUE(app.model.settings.Flag(SettingId::kAutostart));
  EXPECT_FALSE(std::filesystem::exists(entry));  // reading moves the box only
  app.AutostartClicked(false);
  EXPECT_FALSE(app.model.settings.Flag(SettingId::kAutostart));
  app.AutostartClicked(true);
  EXPECT_TRUE(std::filesystem::exists(entry));
  app.AutostartClicked(false);
  EXPECT_FALSE(std::filesystem::exists(entry));
  app.ResetSettingsClicked();  // a reset does not touch the entry either
  EXPECT_FALSE(std::filesystem::exists(entry));
  app.Shutdown();  // unchecked at exit: nothing written
  EXPECT_FALSE(std::filesystem::exists(entry));
}

TEST_F(ApplicationTest, FailedWritesAreReportedAndShutdownGoesOn) {
  ASSERT_EQ(app.Start(), std::nullopt);
  std::filesystem::create_directory(dir.path() / "setup.ini");
  app.model.contacts.rows[1] = {"Ala", "123", "T"};
  app.Shutdown();
  EXPECT_EQ(ToUtf8(app.model.statusBar()), "Błąd: Unable to write to setup.ini");
  EXPECT_EQ(Slurp(dir.path() / "gadugadu.ptk"), "Ala\r\n123\r\nT\r\n");
}

unsigned ModeOf(const std::filesystem::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Every saver replaces its file through one atomic rewrite: a file its owner made private
// stays private, a new setup.ini (it holds the passwords) is private from the start, and
// what a crash in the middle of a save left behind is gone at the next start.
TEST_F(ApplicationTest, SaversKeepFileModesAndStartClearsCrashLeftovers) {
  for (const char* leftover : {"baza.ptk.Ab12Cd", "baza.ptk.Xy34Zw.tmp", "setup.ini.tmp4321",
                               "gadugadu.ptk.Q9w8E7.tmp", "emaile.txt.Rt5Yu6.tmp"})
    Write(leftover, "half written");
  Write("notatki.txt", "mine");
  ASSERT_EQ(app.Start(), std::nullopt);
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    files.push_back(entry.path().filename());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"baza.ptk", "imiona.ptk", "notatki.txt"}));

  app.model.contacts.rows[1] = {"Ala", "123", "T"};
  app.Shutdown();
  EXPECT_EQ(ModeOf(dir.path() / "setup.ini"), 0600u);

  const std::filesystem::path saved[] = {dir.path() / "setup.ini", dir.path() / "baza.ptk",
                                         dir.path() / "gadugadu.ptk"};
  for (const auto& file : saved) ::chmod(file.c_str(), 0640);
  app.model.settings.SetNumber(SettingId::kFixedVsRandom, 1000);  // always ask and learn
  app.LocalLine("zupelnie nieznany tekst");                       // so the base is saved
  app.Shutdown();
  for (const auto& file : saved) EXPECT_EQ(ModeOf(file), 0640u) << file;
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "baza.ptk.bak"));
}

TEST(ErrorTextTest, PolishRewriteOfTheIntegerMessage) {
  EXPECT_EQ(ToUtf8(ErrorText("'12a' is not a valid integer value")),
            "Błąd: '12a'  nie jest prawidłową wartością całkowitą");
  EXPECT_EQ(ToUtf8(ErrorText("Disk full")), "Błąd: Disk full");
}

}  // namespace
}  // namespace plotrak
