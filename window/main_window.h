// TForm1: the main window, captioned "Plotrak 4.0", with its seven tabs, status bar and
// notification-area icon. It draws the presentation model and the local conversation and
// hands every button to the application's hooks; it holds no state of its own beyond
// what it draws. Create it after the modules and before Application::Start, call
// AfterStart() once the start has succeeded.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTableWidget>
#include <functional>
#include <map>
#include <memory>

#include "shell/presentation_model.h"
#include "window/page_view.h"
#include "window/settings_binder.h"

namespace plotrak {

class Application;
class LocalConversation;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  TForm1(Application& app, LocalConversation& local);
  ~TForm1() override;

  // The start has succeeded: controls show the values read, the character's pictures
  // are loaded (graphics lamp), "Rozmowa" is shown.
  void AfterStart();

  // "zamknij" of the tray menu: autostart entry, settings and contacts written, then the
  // event loop ends.
  void Quit();

  // Whether a notification area exists: without one the close box minimises instead of
  // hiding, so the program is never left without a window to come back to.
  bool trayAvailable() const { return trayAvailable_; }
  void SetTrayAvailable(bool available);

  // The colour scheme of the twelve slots applied to the whole window.
  void ApplyColours();

  // The colour of the base update's status label: `rgb` as 0xRRGGBB.
  void SetUpdateColour(uint32_t rgb);

  // Named controls, for the frontend and tests.
  QTabWidget* pagecontrol = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QLineEdit* Edit2 = nullptr;  // "Powiedz:"
  QLineEdit* Edit1 = nullptr;  // Gadu-Gadu send line
  QLineEdit* Edit3 = nullptr;  // chat send line
  QLabel* Image1 = nullptr;    // the character
  QLabel* statusText = nullptr;
  QTableWidget* StringGrid1 = nullptr;
  PageView* gadu2 = nullptr;
  PageView* chat2 = nullptr;
  PageView* WWW2 = nullptr;
  QPushButton* ggClear = nullptr;
  QSystemTrayIcon* tray = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QWidget* BuildTalkTab();
  QWidget* BuildSettingsTab();
  QWidget* BuildChannelSettings();
  QWidget* BuildOtherSettings();
  QWidget* BuildInfoTab();
  QWidget* BuildGaduTab();
  QWidget* BuildChatTab();
  QWidget* BuildWwwTab();
  QWidget* BuildAboutTab();
  QWidget* ConnectRow(const char* connectCaption, const char* disconnectCaption,
                      const std::string& hook, Connection connection, Lamp lamp,
                      const char* lampHint);
  void BuildTray();
  void FollowModel();
  void OnSettingChanged(SettingId id);
  void UpdateEnables();
  void UpdateGaduVisibility();
  void FillGrid();
  void GridEdited(QTableWidgetItem* item);
  void ShowLamp(Lamp lamp, LampColour colour);
  void ShowFrame(int frame);
  void ShowStatusLine(const std::string& label, const std::string& text);
  void PickColour(int slot);
  void PickProgram(int n);
  void LoadChosenBase();
  void DownloadBase();
  void RestoreFromTray();
  QLabel* StatusLabel(const std::string& label);

  Application& app_;
  LocalConversation& local_;
  SettingsBinder binder_;
  std::function<void(SettingId)> previousOnSetting_;  // the application's, put back at the end
  bool trayAvailable_ = false;
  bool fillingGrid_ = false;
  std::multimap<Lamp, QLabel*> lamps_;
  std::multimap<Connection, std::pair<QPushButton*, bool>> connectButtons_;  // (button, is "on")
  std::map<std::string, QLabel*> statusLabels_;                              // by label
  std::map<int, QLabel*> colourSwatches_;                                    // by slot
  std::vector<QWidget*> commandBoxes_;
  QWidget* chatPassword_ = nullptr;
  QWidget* chatGreeting_ = nullptr;
  QWidget* chatAntiflood_ = nullptr;
  QWidget* ggDescription_ = nullptr;
  QPixmap frames_[7];
};

}  // namespace plotrak
