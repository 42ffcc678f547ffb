// The program without its window: the modules in their start-up order, the one-second
// clock, the silence timer's work, the local conversation's typed-line handling, the
// general error handler and the shutdown of "zamknij". A frontend (the window or the
// console) owns one, drives its timers and shows its model.
#pragma once

#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "engine/bot_command.h"
#include "engine/clock.h"
#include "engine/conversation_lifetime.h"
#include "engine/engine.h"
#include "engine/random.h"
#include "engine/status_lines.h"
#include "shell/presentation_model.h"

namespace plotrak {

class Application {
 public:
  // `dataDir` is the program's directory; `executable` the full path for autostart.
  Application(std::filesystem::path dataDir, std::filesystem::path executable, Clock& clock,
              Random& random);

  StatusLines status;
  PresentationModel model{status};
  Engine engine;
  ConversationLifetime lifetime;
  bool clockEnabled = false;  // the one-second clock

  // Modules that later attach (channels, update). Each is optional.
  struct Hooks {
    std::function<void()> startWwwServer;   // "Stawiaj serwer przy starcie"
    std::function<void()> startBaseUpdate;  // "automatyczna"
    std::function<void()> applyColours;     // the window's colour scheme
    // The open-program command of the local tab: a reply when the line opened something.
    std::function<std::optional<std::string>(const std::string& line)> openProgram;
    // "Połącz" / "włącz" and "Rozłącz" / "wyłącz" by channel name: "chat", "gg", "www" (the
    // applet server), "web" (the web page).
    std::map<std::string, std::function<void()>> connect;
    std::map<std::string, std::function<void()>> disconnect;
    // Enter in a page's send line ("chat": Edit3, "gg": Edit1); the channel reads the active
    // tab (and the selected contact) from the model.
    std::map<std::string, std::function<void(const std::string& text)>> sendLine;
    // "Pobierz teraz": download the base into the chosen file.
    std::function<void(const std::filesystem::path& target)> downloadBase;
    // Gadu-Gadu's import and export buttons, its status list / "z opisem" / description
    // change, and the chat's "Pogrubiony nick".
    std::function<void()> ggImportContacts;
    std::function<void()> ggExportContacts;
    std::function<void()> ggApplyStatus;
    std::function<void()> chatApplyBoldNick;
  } hooks;
  SilenceDelivery delivery;  // "prog" is set by the constructor; channels fill theirs

  // Starts the modules in order. On a missing essential file returns that file's STOP text
  // ("Problem z otwarciem bazy danych", "Plik imiona.ptk nie odnaleziony"); the program
  // must then end with status 1. Other errors go to the general handler.
  std::optional<std::string> Start();

  // One tick of the one-second clock (does nothing while it is off).
  void ClockTick();
  // One tick of the silence timer.
  void SilenceTimerTick();

  // Enter in the local input field: cleans the line (CleanIncomingText), logs it, counts it,
  // answers it (open-program command, then RespondOrCommand) and logs the answer. Returns
  // the answer (may be empty); an error is reported through the general handler and gives an
  // empty answer.
  std::string LocalLine(const std::string& line);

  // The general error handler: "Błąd: ..." in the status bar.
  void ReportError(const std::exception& error);
  void ReportError(const std::string& message);

  // A click on "Uruchamiaj Plotraka przy starcie systemu": the box takes `checked` and the
  // autostart entry is written or removed at once. Reading the settings moves the box
  // without touching the entry.
  void AutostartClicked(bool checked);

  // "resetuj ustawienia": defaults written and read back, colours applied again.
  void ResetSettingsClicked();

  // "zamknij": autostart, settings, contacts. Errors are reported and the rest goes on.
  void Shutdown();

  // The commands' view of the live states.
  BotCommandState CommandState() const;

  // Copies the settings the engine reads into engine.settings.
  void ApplySettingsToEngine();

  const std::filesystem::path& executable() const { return executable_; }

 private:
  void OnSettingChanged(SettingId id);

  std::filesystem::path executable_;
};

// "Problem z otwarciem bazy danych"
const std::string& BaseMissingText();

}  // namespace plotrak
