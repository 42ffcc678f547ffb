// The local conversation without a window: QCoreApplication, its timers and stand-in
// programs for speech and opening.
#include "local/local_conversation.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <csignal>
#include <fstream>

#include "engine/cp1250.h"
#include "engine/test_support.h"
#include "shell/application.h"

namespace plotrak {
namespace {

std::string U(const char* utf8) {
  return FromUtf8(utf8);
}

// An application on a scratch folder with a small base, started, and its local module.
struct Fixture {
  Fixture() {
    std::ofstream(dir.path() / "baza.ptk", std::ios::binary) << testing::MakeBaseBytes(
        "test", {{{"$@CZESC@$", "Witaj przyjacielu"}, {"$1111111111$", "Zagramy?"}},
                 {{"JAK MASZ NA IMIE", "Plotrak"}},
                 {{"CO ROBISZ"}}});
    std::ofstream(dir.path() / "imiona.ptk", std::ios::binary) << "Ala\r\n";
    local.opener = [this](const std::string& path) {
      opened.push_back(path);
      return openResult;
    };
    app.model.onStatusBar = [this](const std::string& text) { statusBar.push_back(text); };
    local.speech().program = "/bin/true";  // quiet: the reading itself is tested below
  }
  bool Start() { return !app.Start().has_value(); }
  void RunOut() {
    for (int i = 0; i < 1000 && local.writing(); ++i) local.Tick();
  }

  testing::ScratchDir dir;
  FixedClock clock{LocalTime{2026, 12, 7, 12, 0, 0}};
  Random random{5};
  Application app{dir.path(), "/opt/plotrak/plotrak", clock, random};
  LocalConversation local{app};
  std::vector<std::string> opened;
  bool openResult = true;
  std::vector<std::string> statusBar;
};

}  // namespace

class LocalConversationTest : public QObject {
  Q_OBJECT

 private slots:
  void TypewriterWritesLetterByLetterOnItsTimer() {
    Fixture f;
    QVERIFY(f.Start());
    std::vector<bool> enabled;
    f.local.onInputEnabled = [&](bool on) { enabled.push_back(on); };
    f.local.TypedLine(U("cześć"));
    QVERIFY(!f.local.inputEnabled());
    QCOMPARE(QString::fromStdString(f.local.pane()), QString("TY: cze\xB6\xE6\nPLOTRAK: "));
    f.local.Tick();
    QVERIFY(f.local.pane().ends_with("PLOTRAK: W"));
    // the rest comes from the object's own 80 ms timer
    QTRY_VERIFY_WITH_TIMEOUT(f.local.inputEnabled(), 5000);
    QVERIFY(f.local.pane().ends_with("PLOTRAK: Witaj przyjacielu\n\n"));
    QCOMPARE(enabled, (std::vector<bool>{false, true}));
    QVERIFY(f.app.status.Get(U("Powiedzianych tekstów(program): ")).ends_with(": 1"));
  }

  void WithoutSlowTypingTheAnswerAppearsAtOnceWithABlankLine() {
    Fixture f;
    QVERIFY(f.Start());
    f.app.model.settings.SetFlag(SettingId::kLocalSlowTyping, false);
    f.local.TypedLine(U("cześć"));
    f.local.Tick();
    QVERIFY(f.local.inputEnabled());
    QVERIFY(f.local.pane().ends_with("PLOTRAK: Witaj przyjacielu\n\n"));
    f.local.TypedLine("jak masz na imie");
    f.local.Tick();
    QVERIFY(f.local.pane().ends_with("\n\nTY: jak masz na imie\nPLOTRAK: Plotrak\n\n"));
  }

  void AnimationRunsUpAndDownWhileWritingAndRestsAtFrameZero() {
    Fixture f;
    QVERIFY(f.Start());
    std::vector<int> drawn;
    f.local.onFrame = [&](int frame) { drawn.push_back(frame); };
    f.local.SetFramesLoaded(true);
    QCOMPARE(drawn, (std::vector<int>{0}));  // idle: "t0"
    f.local.TypedLine(U("cześć"));           // 17 letters to write
    drawn.clear();
    for (int i = 0; i < 14; ++i) f.local.Tick();
    QCOMPARE(drawn, (std::vector<int>{1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 0, 1, 2}));
    f.app.model.settings.SetFlag(SettingId::kLocalAnimation, false);
    f.local.Tick();
    QCOMPARE(drawn.back(), 0);
    f.app.model.settings.SetFlag(SettingId::kLocalAnimation, true);
    f.RunOut();
    QCOMPARE(drawn.back(), 0);
    QCOMPARE(f.local.frame(), 0);
    QVERIFY(f.local.frameRising());

    // without pictures nothing is drawn; with a failed data file neither
    Fixture g;
    QVERIFY(g.Start());
    int draws = 0;
    g.local.onFrame = [&](int) { ++draws; };
    g.local.TypedLine(U("cześć"));
    g.RunOut();
    QCOMPARE(draws, 0);
    g.app.engine.dataFileFailure = true;
    g.local.SetFramesLoaded(true);
    QCOMPARE(draws, 0);
  }

  void OpenProgramCommandChoosesThePairAndBypassesTheEngine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("chosen");
    QTest::newRow("verb and name") << "otwórz notatnik" << 1;
    QTest::newRow("upper-case verb") << "ODPAL mi NOTATNIK prosze" << 1;
    QTest::newRow("later pair wins") << "uruchom przeglądarkę albo notatnik" << 3;
    QTest::newRow("verb without a name") << "otwórz okno" << -1;
    QTest::newRow("name without a verb") << "lubię notatnik" << -1;
    QTest::newRow("włącz") << "włącz przeglądarkę" << 3;
  }
  void OpenProgramCommandChoosesThePairAndBypassesTheEngine() {
    QFETCH(QString, line);
    QFETCH(int, chosen);
    ProgramPairs pairs;
    pairs[1] = {"Notatnik", "/usr/bin/notatnik"};
    pairs[3] = {U("przeglądarkę"), "http://127.0.0.1/"};
    pairs[5] = {"", "/nic"};
    const std::string text = FromUtf8(line.toStdString());
    QCOMPARE(OpenProgramChoice(text, pairs), chosen);

    Fixture f;
    QVERIFY(f.Start());
    for (int n = 1; n <= 7; ++n) {
      f.app.model.settings.SetText(ProgramId(n), pairs[n - 1].name);
      f.app.model.settings.SetText(ProgramPathId(n), pairs[n - 1].path);
    }
    const std::string lastFrom = f.app.status.Get(U("Ostatni tekst od: "));
    f.app.model.settings.SetFlag(SettingId::kLocalSlowTyping, false);
    f.local.TypedLine(text);
    f.local.Tick();
    if (chosen < 0) {
      QVERIFY(f.opened.empty());
      QVERIFY(f.app.status.Get(U("Ostatni tekst od: ")) != lastFrom);  // the engine answered
      return;
    }
    QCOMPARE(f.opened, (std::vector<std::string>{pairs[chosen].path}));
    QVERIFY(f.local.pane().ends_with("PLOTRAK: " + OpenedText() + pairs[chosen].name + "\n\n"));
    QCOMPARE(f.app.status.Get(U("Ostatni tekst od: ")), lastFrom);  // the engine was not asked
    f.openResult = false;
    f.local.TypedLine(text);
    f.local.Tick();
    QVERIFY(f.local.pane().ends_with("PLOTRAK: " + CannotOpenText() + pairs[chosen].name + "\n\n"));
  }

  void DesktopOpenerStartsProgramsAndRefusesMissingPaths() {
    testing::ScratchDir dir;
    const std::string program = (dir.path() / "program.sh").string();
    const std::string mark = (dir.path() / "started").string();
    std::ofstream(program) << "#!/bin/sh\ntouch '" << mark << "'\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    QVERIFY(OpenWithDesktop(program));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QString::fromStdString(mark)), 5000);
    QVERIFY(!OpenWithDesktop(""));
    QVERIFY(!OpenWithDesktop((dir.path() / "nie ma").string()));
  }

  void SpeechBreaksTheReadingInProgressAndReadsTheNewText() {
    testing::ScratchDir dir;
    const QString folder = QString::fromStdString(dir.path().string());
    Speech speech;
    speech.program = "/bin/sh";
    speech.arguments = {
        "-c", "echo $$ >> '" + folder + "/pids'; cat >> '" + folder + "/read'; exec sleep 30"};
    auto readText = [&] {
      QFile read(folder + "/read");
      return read.open(QIODevice::ReadOnly) ? read.readAll() : QByteArray();
    };
    speech.Say(U("pierwszy tekst"));
    QTRY_COMPARE_WITH_TIMEOUT(readText(), QByteArray("pierwszy tekst\n"), 5000);
    speech.Say(U("drugi łańcuch"));
    QTRY_COMPARE_WITH_TIMEOUT(readText(), QByteArray("pierwszy tekst\ndrugi łańcuch\n"), 5000);
    QFile pids(folder + "/pids");
    QVERIFY(pids.open(QIODevice::ReadOnly));
    const pid_t first = pids.readLine().trimmed().toInt();
    QTRY_VERIFY_WITH_TIMEOUT(::kill(first, 0) != 0, 5000);  // "[break]" ended the first
    QVERIFY(speech.reading());
  }

  void WithoutTheSpeechProgramTheConversationGoesOnAndSaysSoOnce() {
    Fixture f;
    QVERIFY(f.Start());
    f.local.speech().program = "plotrak-no-such-speaker";
    f.app.model.settings.SetFlag(SettingId::kLocalSpeech, true);
    f.app.model.settings.SetFlag(SettingId::kLocalSlowTyping, false);
    for (int i = 0; i < 2; ++i) {
      f.local.TypedLine(U("cześć"));
      f.local.Tick();
      QVERIFY(f.local.inputEnabled());
    }
    QCOMPARE(f.statusBar, (std::vector<std::string>{SpeechUnavailableText()}));
    QVERIFY(!f.local.speech().available());
  }
};

}  // namespace plotrak

QTEST_GUILESS_MAIN(plotrak::LocalConversationTest)
#include "local_conversation_test.moc"
