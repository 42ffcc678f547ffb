// The window on the offscreen platform: typing in "Rozmowa", the settings controls through
// "setup.ini", hiding, colours, the open-program command, the error line and the pages.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <map>

#include "engine/cp1250.h"
#include "engine/test_support.h"
#include "local/local_conversation.h"
#include "shell/application.h"
#include "window/main_window.h"
#include "window/qt_text.h"

namespace plotrak {
namespace {

std::string U(const char* utf8) {
  return FromUtf8(utf8);
}

void WriteData(const std::filesystem::path& dir) {
  std::ofstream(dir / "baza.ptk", std::ios::binary) << testing::MakeBaseBytes(
      "test", {{{"$@CZESC@$", "Witaj przyjacielu"}, {"$1111111111$", "Zagramy?"}},
               {{"JAK MASZ NA IMIE", "Plotrak"}},
               {{"CO ROBISZ"}}});
  std::ofstream(dir / "imiona.ptk", std::ios::binary) << "Ala\r\n";
}

// The program on a data folder, with its window, as the frontend builds it (the local
// conversation is the one module the window needs).
struct Program {
  explicit Program(const std::filesystem::path& dir)
      : app(dir, "/opt/plotrak/plotrak", clock, random) {
    local.speech().program = "/bin/true";
  }
  bool Start() {
    if (app.Start()) return false;
    window.AfterStart();
    window.show();
    return true;
  }
  void Type(const QString& line) {
    // key events carry Latin-1 only; the Polish line is put in as a paste would
    window.Edit2->clear();
    window.Edit2->insert(line);
    QTest::keyClick(window.Edit2, Qt::Key_Return);
  }
  QString Memo() const { return window.Memo1->toPlainText(); }
  template <typename W>
  W* Control(SettingId id) {
    return window.findChild<W*>(QStringLiteral("setting_%1").arg(static_cast<int>(id)));
  }

  FixedClock clock{LocalTime{2026, 12, 7, 12, 0, 0}};
  Random random{7};
  Application app;
  LocalConversation local{app};
  TForm1 window{app, local};
};

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<testing::ScratchDir>();
    WriteData(dir_->path());
    setenv("HOME", dir_->path().c_str(), 1);  // the autostart entry stays in the scratch folder
  }
  void cleanup() { dir_.reset(); }

  void TypedLineIsAnsweredLetterByLetterAndTheFieldComesBack() {
    Program p(dir_->path());
    QVERIFY(p.Start());
    QCOMPARE(p.app.model.lamp(Lamp::kGraphics), LampColour::kGreen);  // the seven pictures
    QVERIFY(!p.window.Image1->pixmap().isNull());
    p.Type(QString::fromUtf8("cześć"));
    QVERIFY(!p.window.Edit2->isEnabled());
    QVERIFY(p.Memo().endsWith(QString::fromUtf8("TY: cześć\nPLOTRAK: ")));
    QTRY_VERIFY_WITH_TIMEOUT(p.window.Edit2->isEnabled(), 5000);
    QVERIFY(p.Memo().endsWith(QString::fromUtf8("TY: cześć\nPLOTRAK: Witaj przyjacielu\n\n")));
    // the field is empty again, or greets after the window was activated
    QVERIFY(p.window.Edit2->text().isEmpty() || p.window.Edit2->text() == "Witaj ");
    p.window.Edit2->clear();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&p.window, &activate);
    QCOMPARE(p.window.Edit2->text(), QStringLiteral("Witaj "));
    QCOMPARE(p.window.Edit2->cursorPosition(), 6);
  }

  void WithoutSlowTypingTheAnswerAppearsAtOnce() {
    Program p(dir_->path());
    QVERIFY(p.Start());
    p.Control<QCheckBox>(SettingId::kLocalSlowTyping)->click();
    QVERIFY(!p.app.model.settings.Flag(SettingId::kLocalSlowTyping));
    QStringList seen;
    connect(p.window.Memo1, &QPlainTextEdit::textChanged, this, [&] { seen << p.Memo(); });
    p.Type(QString::fromUtf8("cześć"));
    QTRY_VERIFY_WITH_TIMEOUT(p.window.Edit2->isEnabled(), 5000);
    QVERIFY(p.Memo().endsWith(QString::fromUtf8("PLOTRAK: Witaj przyjacielu\n\n")));
    for (const QString& state : seen) QVERIFY(!state.endsWith(QStringLiteral("PLOTRAK: W")));
  }

  void SettingsControlsRoundTripThroughTheSettingsFile() {
    std::map<SettingId, QVariant> expected;
    {
      Program p(dir_->path());
      QVERIFY(p.Start());
      for (int n = 0; n < kSettingCount; ++n) {
        const auto id = static_cast<SettingId>(n);
        if (Setting(id).form == SettingForm::kColour) {
          p.app.model.settings.SetNumber(id, 0x000100 * n + 7);
          expected[id] = 0x000100 * n + 7;
          continue;
        }
        QWidget* control = p.Control<QWidget>(id);
        QVERIFY2(control, Setting(id).key);  // every setting has its control
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
          edit->setText(QString::fromUtf8("zmiana %1 ł").arg(n));
          expected[id] = edit->text();
        } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
          const bool want = !box->isChecked();
          if (box->isEnabled())
            box->click();
          else
            box->setChecked(want);
          expected[id] = want;
        } else if (auto* slider = qobject_cast<QSlider*>(control)) {
          slider->setValue(100 + n);
          expected[id] = 100 + n;
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
          list->setCurrentIndex(2);
          expected[id] = 2;
        } else {
          QFAIL("unknown control");
        }
      }
      QCOMPARE(p.app.model.settings.Text(SettingId::kChatNick), U("zmiana 2 ł"));
      QVERIFY(!std::filesystem::exists(dir_->path() / "setup.ini"));
      // "zamknij" from the tray menu
      for (QAction* action : p.window.tray->contextMenu()->actions())
        if (action->text() == QStringLiteral("zamknij")) action->trigger();
      QVERIFY(std::filesystem::exists(dir_->path() / "setup.ini"));
    }
    Program again(dir_->path());
    QVERIFY(again.Start());
    for (const auto& [id, value] : expected) {
      const SettingsValues& s = again.app.model.settings;
      if (Setting(id).form == SettingForm::kColour) {
        QCOMPARE(s.Number(id), value.toInt());
        continue;
      }
      QWidget* control = again.Control<QWidget>(id);
      if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QCOMPARE(edit->text(), value.toString());
      } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
        QVERIFY2(box->isChecked() == value.toBool(), Setting(id).key);
      } else if (auto* slider = qobject_cast<QSlider*>(control)) {
        QCOMPARE(slider->value(), value.toInt());
      } else if (auto* list = qobject_cast<QComboBox*>(control)) {
        QCOMPARE(list->currentIndex(), value.toInt());
      }
    }
  }

  void CloseBoxHidesOrMinimisesButNeverEnds() {
    Program p(dir_->path());
    QVERIFY(p.Start());
    p.window.SetTrayAvailable(true);
    QVERIFY(!p.window.close());
    QVERIFY(!p.window.isVisible());
    for (QAction* action : p.window.tray->contextMenu()->actions())
      if (action->text() == QString::fromUtf8("przywróć")) action->trigger();
    QVERIFY(p.window.isVisible());
    p.window.SetTrayAvailable(false);  // no notification area: minimised, still there
    QVERIFY(!p.window.close());
    QVERIFY(p.window.isMinimized());
    QVERIFY(!std::filesystem::exists(dir_->path() / "setup.ini"));  // nothing was shut down
  }

  void ColourSlotChangeRepaintsTheWindow() {
    Program p(dir_->path());
    QVERIFY(p.Start());
    auto background = [&] { return p.window.centralWidget()->grab().toImage().pixelColor(1, 1); };
    QVERIFY(background() != QColor(255, 0, 0));
    p.app.model.settings.SetNumber(ColourId(1), 0x0000FF);  // 00BBGGRR: red
    QCOMPARE(background(), QColor(255, 0, 0));
    p.app.ResetSettingsClicked();
    QVERIFY(background() != QColor(255, 0, 0));
  }

  void OpenProgramCommandOpensThePathWithoutTheEngine() {
    Program p(dir_->path());
    QVERIFY(p.Start());
    std::vector<std::string> opened;
    p.local.opener = [&](const std::string& path) {
      opened.push_back(path);
      return true;
    };
    p.Control<QLineEdit>(ProgramId(2))->setText(QStringLiteral("Notatnik"));
    p.Control<QLineEdit>(ProgramPathId(2))->setText(QStringLiteral("/usr/bin/notatnik"));
    const std::string lastFrom = p.app.status.Get(U("Ostatni tekst od: "));
    p.Type(QString::fromUtf8("otwórz notatnik"));
    QTRY_VERIFY_WITH_TIMEOUT(p.window.Edit2->isEnabled(), 5000);
    QVERIFY(p.Memo().endsWith(
        QString::fromUtf8("PLOTRAK: Właśnie otworzyłem dla Ciebie Notatnik\n\n")));
    QCOMPARE(opened, (std::vector<std::string>{"/usr/bin/notatnik"}));
    QCOMPARE(p.app.status.Get(U("Ostatni tekst od: ")), lastFrom);
  }

  void BadIntegerInTheSettingsShowsThePolishError() {
    std::ofstream(dir_->path() / "setup.ini", std::ios::binary)
        << "[inne]\r\nustalone / losowane=12a\r\n";
    Program p(dir_->path());
    QVERIFY(p.Start());
    const QString text = p.window.statusText->text();
    QVERIFY2(text.startsWith(QString::fromUtf8("Błąd: '12a'")), qPrintable(text));
    QVERIFY2(text.endsWith(QString::fromUtf8(" nie jest prawidłową wartością całkowitą")),
             qPrintable(text));
  }

  void ConversationPagesFollowTheirModels() {
    Program p(dir_->path());
    QVERIFY(p.Start());
    PresentationModel& model = p.app.model;
    // Gadu-Gadu: the send line hides on "Rozmowa ", "Wyczyść" on "Kontakty"
    p.window.pagecontrol->setCurrentIndex(3);
    QVERIFY(p.window.Edit1->isVisible());
    QVERIFY(!p.window.ggClear->isVisible());
    p.window.gadu2->setCurrentIndex(1);
    QCOMPARE(model.ggPage.activeTab(), 1);
    QVERIFY(!p.window.Edit1->isVisible());
    QVERIFY(p.window.ggClear->isVisible());

    // chat: a person's tab opens with its line and a close button, and closes again
    p.window.pagecontrol->setCurrentIndex(4);
    model.chatPage.AddPersonLine("Ala", "[OD Ala] hej");
    QCOMPARE(p.window.chat2->count(), 2);
    QCOMPARE(p.window.chat2->tabText(1), QStringLiteral("Ala"));
    QCOMPARE(p.window.chat2->currentIndex(), 1);
    QCOMPARE(p.window.chat2->Box(1)->toPlainText(), QStringLiteral("[OD Ala] hej"));
    QVERIFY(p.window.chat2->tabBar()->tabButton(1, QTabBar::RightSide));
    QVERIFY(!p.window.chat2->tabBar()->tabButton(0, QTabBar::RightSide));
    QVERIFY(p.app.status.Get(U("otwartych zakładek (chat): ")).ends_with(": 1"));
    p.window.chat2->ClearActive();
    QVERIFY(p.window.chat2->Box(1)->toPlainText().isEmpty());
    emit p.window.chat2->tabCloseRequested(1);
    QCOMPARE(p.window.chat2->count(), 1);
    QVERIFY(p.app.status.Get(U("otwartych zakładek (chat): ")).ends_with(": 0"));

    // the connect buttons follow the connection state when the channel has its hooks
    int connects = 0;
    p.app.hooks.connect["chat"] = [&] { ++connects; };
    p.app.hooks.disconnect["chat"] = [] {};
    model.SetConnected(Connection::kChat, false);
    auto* connect = p.window.findChild<QPushButton*>(QStringLiteral("connect_chat"));
    auto* disconnect = p.window.findChild<QPushButton*>(QStringLiteral("disconnect_chat"));
    model.SetConnected(Connection::kChat, true);
    QVERIFY(!connect->isEnabled());
    QVERIFY(disconnect->isEnabled());
    model.SetConnected(Connection::kChat, false);
    QVERIFY(connect->isEnabled());
    connect->click();
    QCOMPARE(connects, 1);
  }

 private:
  std::unique_ptr<testing::ScratchDir> dir_;
};

}  // namespace plotrak

QTEST_MAIN(plotrak::WindowTest)
#include "window_test.moc"
