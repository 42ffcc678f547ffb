// Everything the main window would show or edit, as plain objects: the settings, the
// statistics lines, the status lamps, the status-bar text, the connection states the
// "Połącz" / "włącz" buttons stand for, the local conversation memo, the conversation pages
// of the channels and the contacts grid. The window draws and edits these; the console
// prints them; tests read them. Every change is announced through a callback.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/status_lines.h"
#include "shell/contacts_table.h"
#include "shell/conversation_page.h"
#include "shell/settings_values.h"

namespace plotrak {

enum class Lamp { kGraphics, kGaduGadu, kChat, kWww, kWebPage };
enum class LampColour { kGreen, kGrey, kRed };  // "zielona", "szara", "czerwona"
enum class Connection { kChat, kGaduGadu, kWww, kWebPage };
enum class SaidChannel { kProgram, kChat, kGaduGadu, kWww };

class PresentationModel {
 public:
  explicit PresentationModel(StatusLines& status);

  StatusLines& status;
  SettingsValues settings;
  ContactsTable contacts;
  ConversationPage chatPage;
  ConversationPage ggPage;
  ConversationPage wwwPage;

  // Sets every statistics line to its initial caption.
  void ShowInitialCaptions();

  // Status bar (one simple panel).
  const std::string& statusBar() const { return statusBar_; }
  void SetStatusBar(std::string text);

  // Lamps.
  LampColour lamp(Lamp which) const { return lamps_[static_cast<int>(which)]; }
  void SetLamp(Lamp which, LampColour colour);

  // Connected / running: the chat's and Gadu-Gadu's "Połącz" and the applet's "włącz"
  // buttons are disabled exactly while this is true.
  bool connected(Connection which) const { return connected_[static_cast<int>(which)]; }
  void SetConnected(Connection which, bool on);

  // The local conversation memo ("Memo1").
  const std::vector<std::string>& localMemo() const { return localMemo_; }
  void AddLocalMemoLine(std::string line);
  void ClearLocalMemo();

  // Said-texts counters: one more text said on a channel; shows its line and the sum.
  void CountSaid(SaidChannel channel);
  int said(SaidChannel channel) const { return said_[static_cast<int>(channel)]; }

  // The uptime line and the base-version line.
  void ShowUptime(int32_t seconds);
  void ShowBaseVersion(const std::string& version);

  std::function<void(SettingId)> onSetting;  // settings.onChange is the model's own
  std::function<void(const std::string&)> onStatusBar;
  std::function<void(Lamp, LampColour)> onLamp;
  std::function<void(Connection, bool)> onConnected;
  std::function<void(const std::string&)> onLocalMemoLine;

 private:
  void SyncPageSwitches();

  std::string statusBar_;
  LampColour lamps_[5] = {LampColour::kGrey, LampColour::kGrey, LampColour::kGrey,
                          LampColour::kGrey, LampColour::kGrey};
  bool connected_[4] = {false, false, false, false};
  std::vector<std::string> localMemo_;
  int said_[4] = {0, 0, 0, 0};
};

// Statistics captions (Windows-1250) the shell itself keeps current.
const std::string& UptimeCaption();        // "Czas od włączenia programu: "
const std::string& BaseVersionCaption();   // "Wersja bazy "
const std::string& StartedTodayCaption();  // "Rozpoczętych rozmów - dziś: "
const std::string& NoErrorsText();         // "nie wykryto błędów w działaniu"

}  // namespace plotrak
