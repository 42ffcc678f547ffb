#include "window/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

#include "local/local_conversation.h"
#include "shell/application.h"
#include "window/qt_text.h"

// The pictures live in this static library: their resource must be pulled in by name.
static void InitArt() {
  Q_INIT_RESOURCE(art);
}

namespace plotrak {

TForm1::TForm1(Application& app, LocalConversation& local)
    : app_(app), local_(local), binder_(app.model.settings) {
  InitArt();
  setWindowTitle(QStringLiteral("Plotrak 4.0"));
  setWindowIcon(QIcon(QStringLiteral(":/art/plotrak.png")));
  for (int i = 0; i < 7; ++i) frames_[i].load(QStringLiteral(":/art/t%1").arg(i));

  pagecontrol = new QTabWidget;
  pagecontrol->setObjectName(QStringLiteral("pagecontrol"));
  pagecontrol->addTab(BuildTalkTab(), QString::fromUtf8(" Rozmowa   "));
  pagecontrol->addTab(BuildSettingsTab(), QString::fromUtf8("  Ustawienia  "));
  pagecontrol->addTab(BuildInfoTab(), QString::fromUtf8(" Informacje  "));
  pagecontrol->addTab(BuildGaduTab(), QString::fromUtf8(" Gadu-gadu  "));
  pagecontrol->addTab(BuildChatTab(), QString::fromUtf8(" Chat  "));
  pagecontrol->addTab(BuildWwwTab(), QString::fromUtf8(" WWW  "));
  pagecontrol->addTab(BuildAboutTab(), QString::fromUtf8(" O Programie "));
  for (int i = 0; i < pagecontrol->count(); ++i) pagecontrol->widget(i)->setProperty("page1", true);
  auto* central = new QWidget;
  central->setObjectName(QStringLiteral("central"));
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 0);
  layout->addWidget(pagecontrol);
  setCentralWidget(central);

  statusText = new QLabel(ToQt(app_.model.statusBar()));
  statusText->setObjectName(QStringLiteral("StatusBar1"));
  statusBar()->addWidget(statusText, 1);

  BuildTray();
  FollowModel();
  resize(860, 640);
}

TForm1::~TForm1() {
  // the model outlives the window: its callbacks must not reach the widgets any more
  PresentationModel& model = app_.model;
  model.onSetting = previousOnSetting_;
  model.onStatusBar = nullptr;
  model.onLamp = nullptr;
  model.onConnected = nullptr;
  model.onLocalMemoLine = nullptr;
  model.contacts.onChange = nullptr;
  model.chatPage.onChange = nullptr;
  model.ggPage.onChange = nullptr;
  model.wwwPage.onChange = nullptr;
  app_.status.onChange = nullptr;
  app_.hooks.applyColours = nullptr;
  local_.onPaneAppend = nullptr;
  local_.onPaneReset = nullptr;
  local_.onInputEnabled = nullptr;
  local_.onAnswerWritten = nullptr;
  local_.onFrame = nullptr;
}

void TForm1::FollowModel() {
  PresentationModel& model = app_.model;
  model.onStatusBar = [this](const std::string& text) { statusText->setText(ToQt(text)); };
  model.onLamp = [this](Lamp lamp, LampColour colour) { ShowLamp(lamp, colour); };
  model.onConnected = [this](Connection, bool) { UpdateEnables(); };
  model.onLocalMemoLine = [this](const std::string& line) { local_.AddPaneLine(line); };
  model.contacts.onChange = [this] { FillGrid(); };
  // the application listens to setting changes already; the window follows after it
  previousOnSetting_ = model.onSetting;
  model.onSetting = [this](SettingId id) {
    if (previousOnSetting_) previousOnSetting_(id);
    OnSettingChanged(id);
  };
  binder_.onEdited = [this](SettingId id) { OnSettingChanged(id); };
  app_.status.onChange = [this](const std::string& label, const std::string& text) {
    ShowStatusLine(label, text);
  };
  app_.hooks.applyColours = [this] { ApplyColours(); };

  local_.onPaneAppend = [this](const std::string& text) {
    QTextCursor cursor(Memo1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(ToQt(text));
    Memo1->ensureCursorVisible();
    Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
  };
  local_.onPaneReset = [this] { Memo1->setPlainText(ToQt(local_.pane())); };
  local_.onInputEnabled = [this](bool enabled) { Edit2->setEnabled(enabled); };
  local_.onAnswerWritten = [this] {
    if (pagecontrol->currentIndex() == 0) Edit2->setFocus();
  };
  local_.onFrame = [this](int frame) { ShowFrame(frame); };
}

void TForm1::AfterStart() {
  binder_.RefreshAll();
  UpdateEnables();
  FillGrid();
  local_.ClearPane();
  bool loaded = true;
  for (const QPixmap& frame : frames_) loaded = loaded && !frame.isNull();
  local_.SetFramesLoaded(loaded);
  app_.model.SetLamp(Lamp::kGraphics, loaded ? LampColour::kGreen : LampColour::kRed);
  pagecontrol->setCurrentIndex(0);
  statusText->setText(ToQt(app_.model.statusBar()));
}

void TForm1::OnSettingChanged(SettingId id) {
  binder_.Refresh(id);
  const int n = static_cast<int>(id);
  if (n >= static_cast<int>(SettingId::kColour1) && n <= static_cast<int>(SettingId::kColour12)) {
    // a single slot changed: the whole scheme is painted again
    ApplyColours();
  }
  UpdateEnables();
}

void TForm1::UpdateEnables() {
  const SettingsValues& s = app_.model.settings;
  const PresentationModel& model = app_.model;
  if (chatPassword_) chatPassword_->setEnabled(!s.Flag(SettingId::kChatTemporary));
  if (chatGreeting_) chatGreeting_->setEnabled(s.Flag(SettingId::kChatStartOnEntry));
  if (chatAntiflood_) chatAntiflood_->setEnabled(!model.connected(Connection::kChat));
  if (ggDescription_) ggDescription_->setEnabled(s.Flag(SettingId::kGgWithDescription));
  for (QWidget* box : commandBoxes_) box->setEnabled(!s.Flag(SettingId::kCommandsOff));
  for (auto& [connection, button] : connectButtons_) {
    const std::string name = button.first->property("hook").toString().toStdString();
    const bool wired =
        button.second ? app_.hooks.connect.count(name) > 0 : app_.hooks.disconnect.count(name) > 0;
    const bool on = model.connected(connection);
    button.first->setEnabled(wired && (button.second ? !on : on));
  }
}

void TForm1::ShowLamp(Lamp lamp, LampColour colour) {
  static const char* const kNames[] = {"zielona", "szara", "czerwona"};
  const QPixmap picture(QStringLiteral(":/art/%1.png").arg(kNames[static_cast<int>(colour)]));
  auto [first, last] = lamps_.equal_range(lamp);
  for (auto it = first; it != last; ++it) it->second->setPixmap(picture);
}

void TForm1::ShowFrame(int frame) {
  if (frame >= 0 && frame < 7 && !frames_[frame].isNull()) Image1->setPixmap(frames_[frame]);
}

void TForm1::SetTrayAvailable(bool available) {
  trayAvailable_ = available;
  if (tray) tray->setVisible(available);
}

void TForm1::BuildTray() {
  tray = new QSystemTrayIcon(QIcon(QStringLiteral(":/art/plotrak.png")), this);
  tray->setToolTip(QStringLiteral("Chatterbot Plotrak 4.0"));
  auto* menu = new QMenu(this);
  menu->addAction(QString::fromUtf8("przywróć"), this, [this] { RestoreFromTray(); });
  menu->addAction(QStringLiteral("zamknij"), this, [this] { Quit(); });
  tray->setContextMenu(menu);
  connect(tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick) RestoreFromTray();
  });
  SetTrayAvailable(QSystemTrayIcon::isSystemTrayAvailable());
}

void TForm1::RestoreFromTray() {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void TForm1::Quit() {
  app_.Shutdown();
  QCoreApplication::processEvents();
  // exit, not quit: quit would first ask the windows to close, and the close box only hides
  QCoreApplication::exit(0);
}

void TForm1::closeEvent(QCloseEvent* event) {
  // the close box never ends the program: only "zamknij" does
  event->ignore();
  if (trayAvailable_) {
    hide();
  } else {
    showMinimized();
  }
}

void TForm1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMinimized() && trayAvailable_) {
    // minimising puts the program into the notification area
    QTimer::singleShot(0, this, [this] {
      if (isMinimized()) hide();
    });
  }
}

bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) {
    // a half-typed line is the user's: only an empty field gets the greeting
    const QString greeting = QStringLiteral("Witaj ");
    if (Edit2->text().isEmpty() || Edit2->text() == greeting) Edit2->setText(greeting);
    Edit2->setCursorPosition(Edit2->text().size());
    Edit2->setFocus();
  }
  return QMainWindow::event(event);
}

}  // namespace plotrak
