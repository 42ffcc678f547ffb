#include "shell/application.h"

#include "engine/atomic_file.h"
#include "engine/conversation_log.h"
#include "engine/incoming_text.h"
#include "engine/respond.h"
#include "shell/autostart.h"
#include "shell/error_text.h"
#include "shell/settings_file.h"

namespace plotrak {

const std::string& BaseMissingText() {
  static const std::string text = "Problem z otwarciem bazy danych";
  return text;
}

Application::Application(std::filesystem::path dataDir, std::filesystem::path executable,
                         Clock& clock, Random& random)
    : engine(std::move(dataDir), clock, random, status), executable_(std::move(executable)) {
  engine.onIncomingText = [this] { clockEnabled = true; };
  engine.onLocalMemoLine = [this](const std::string& line) { model.AddLocalMemoLine(line); };
  delivery.prog =
      LocalSilenceDelivery(engine, [this] { return model.settings.Flag(SettingId::kLocalLog); });
  model.onSetting = [this](SettingId id) { OnSettingChanged(id); };
}

std::optional<std::string> Application::Start() {
  // A crash in the middle of a save leaves its temporary file; nothing else ever removes it.
  for (const char* file : {"baza.ptk", kSettingsFileName, kContactsFileName, "emaile.txt"})
    RemoveStaleTemporaries(engine.DataFile(file));
  // 1. the knowledge base
  try {
    if (!engine.LoadBaseFile(engine.DataFile("baza.ptk"))) return BaseMissingText();
  } catch (const std::exception& error) {
    ReportError(error);
  }
  // 2.-4. the local conversation, Gadu-Gadu and chat modules attach through the hooks.
  // 5. the engine
  StartEngine(engine, lifetime);
  // 6. the main window's creation
  clockEnabled = true;
  model.ShowInitialCaptions();
  engine.ShowBaseStatistics();
  model.contacts.selectedColumn = 0;
  model.contacts.selectedRow = 1;
  // the controls as the window is designed; reading the settings then sets them
  model.settings.ResetToDesignValues();
  model.ClearLocalMemo();
  model.contacts.Load(engine.DataFile(kContactsFileName));
  try {
    ReadSettings(engine.DataFile(kSettingsFileName), model.settings);
  } catch (const std::exception& error) {
    ReportError(error);
  }
  ApplySettingsToEngine();
  if (hooks.applyColours) hooks.applyColours();
  if (model.settings.Flag(SettingId::kWwwStartServer) && hooks.startWwwServer)
    hooks.startWwwServer();
  if (model.settings.Flag(SettingId::kAutoUpdate) && hooks.startBaseUpdate) hooks.startBaseUpdate();
  if (!LoadNames(engine)) return NamesMissingText();
  model.ShowBaseVersion(engine.base.baseVersion);
  return std::nullopt;
}

void Application::ClockTick() {
  if (!clockEnabled) return;
  const LocalTime now = engine.clock.Now();
  if (now.hour == 0 && now.minute == 0 && now.second == 0) {
    engine.stats.startedToday = 0;
    status.Show(StartedTodayCaption(), "0");
  }
  ++engine.uptimeSeconds;
  model.ShowUptime(engine.uptimeSeconds);
}

void Application::SilenceTimerTick() {
  if (!lifetime.timerRunning) return;
  try {
    SilenceTick(engine, lifetime.stages, delivery);
  } catch (const std::exception& error) {
    ReportError(error);
  }
}

std::string Application::LocalLine(const std::string& typed) {
  static const std::string kYou = "TY";
  try {
    // bounded and without control bytes before it is logged, shown or answered
    const std::string line = CleanIncomingText(typed);
    const bool log = model.settings.Flag(SettingId::kLocalLog);
    if (log)
      WriteLogLine(engine.dataDir, kYou, line, LogWho::kPerson, "program", engine.clock.Now());
    model.CountSaid(SaidChannel::kProgram);
    if (hooks.openProgram) {
      if (auto reply = hooks.openProgram(line)) {
        engine.trace.how = "open-program";
        return *reply;
      }
    }
    const std::string answer =
        RespondOrCommand(engine, CommandState(), kYou, line,
                         model.settings.Flag(SettingId::kLocalLearn), kChannelProgram, false);
    if (log)
      WriteLogLine(engine.dataDir, kYou, answer, LogWho::kBot, "program", engine.clock.Now());
    return answer;
  } catch (const std::exception& error) {
    ReportError(error);
    return {};
  }
}

void Application::ReportError(const std::exception& error) {
  ReportError(error.what());
}

void Application::ReportError(const std::string& message) {
  model.SetStatusBar(ErrorText(message));
}

void Application::AutostartClicked(bool checked) {
  model.settings.SetFlag(SettingId::kAutostart, checked);
  try {
    SetAutostart(checked, executable_);
  } catch (const std::exception& error) {
    ReportError(error);
  }
}

void Application::ResetSettingsClicked() {
  try {
    ResetSettings(engine.DataFile(kSettingsFileName), model.settings);
  } catch (const std::exception& error) {
    ReportError(error);
  }
  if (hooks.applyColours) hooks.applyColours();
}

void Application::Shutdown() {
  if (model.settings.Flag(SettingId::kAutostart)) {
    try {
      SetAutostart(true, executable_);
    } catch (const std::exception& error) {
      ReportError(error);
    }
  }
  try {
    WriteSettings(engine.DataFile(kSettingsFileName), model.settings, false);
  } catch (const std::exception& error) {
    ReportError(error);
  }
  try {
    model.contacts.Save(engine.DataFile(kContactsFileName));
  } catch (const std::exception& error) {
    ReportError(error);
  }
  StopEngine(engine, lifetime);
}

BotCommandState Application::CommandState() const {
  const SettingsValues& s = model.settings;
  BotCommandState state;
  state.allOff = s.Flag(SettingId::kCommandsOff);
  for (int i = 0; i < kBotCommandCount; ++i)
    state.enabled[i] = s.Flag(static_cast<SettingId>(static_cast<int>(SettingId::kCmdInfo) + i));
  state.letterTime = s.Text(SettingId::kLetterTime);
  state.thinkTime = s.Text(SettingId::kThinkTime);
  state.keepAlive = s.Text(SettingId::kChatKeepAlive);
  state.chatAntiflood = s.Text(SettingId::kChatAntiflood);
  state.entryText = s.Text(SettingId::kChatEntryText);
  state.startOnEntry = s.Flag(SettingId::kChatStartOnEntry);
  state.chatServer = s.Text(SettingId::kChatServer);
  state.chatPort = s.Text(SettingId::kChatPort);
  state.ggNumber = s.Text(SettingId::kGgNumber);
  state.chatConnected = model.connected(Connection::kChat);
  state.wwwRunning = model.connected(Connection::kWww);
  state.ggConnected = model.connected(Connection::kGaduGadu);
  return state;
}

void Application::ApplySettingsToEngine() {
  const SettingsValues& s = model.settings;
  engine.settings.fixedVsRandom = s.Number(SettingId::kFixedVsRandom);
  engine.settings.learnVsPerfect = s.Number(SettingId::kLearnVsPerfect);
  engine.settings.serviceLog = s.Flag(SettingId::kServiceLog);
  engine.settings.saveEmails = s.Flag(SettingId::kSaveEmails);
  engine.settings.numberWords = s.Flag(SettingId::kNumberWords);
}

void Application::OnSettingChanged(SettingId id) {
  ApplySettingsToEngine();
  switch (id) {
    case SettingId::kSpeakOnSilence:
      // the switch starts and stops the one-second clock; an incoming text restarts it
      clockEnabled = model.settings.Flag(id);
      break;
    default:
      break;
  }
}

}  // namespace plotrak
