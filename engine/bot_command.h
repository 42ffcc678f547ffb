// The "!" commands anybody can say to the bot to ask about its state. Every channel offers
// each incoming text to BotCommand right after Respond; a non-empty result replaces the
// engine's answer.
#pragma once

#include <array>
#include <string>

namespace plotrak {

class Engine;

// The product's addresses shown in the banner (and used as setting defaults).
inline constexpr const char* kProductWebAddress = "http://www.plotrak.pl";
inline constexpr const char* kProductMailAddress = "plotrak@plotrak.pl";

// The commands, in the order of their switches on the settings tab.
enum class BotCommandId : int {
  kInfo,
  kAllTextSayd,
  kLeterValue,
  kThinkTime,
  kChatBuforSize,
  kChatBuforValue,
  kInChatBufor,
  kGgBuforSize,
  kTextOnEntry,
  kAntyDsc,
  kWwwConnect,
  kGgConnect,
  kChatConnect,
  kBaseVersion,
  kCount
};
inline constexpr int kBotCommandCount = static_cast<int>(BotCommandId::kCount);

// The live states the commands read: the switches and fields of the settings tab and the
// connection states of the window (texts Windows-1250, as the fields hold them). The shell
// fills it from its model before each call.
struct BotCommandState {
  bool allOff = false;  // "Wyłącz wszystkie komendy"
  std::array<bool, kBotCommandCount> enabled = [] {
    std::array<bool, kBotCommandCount> on{};
    on.fill(true);
    return on;
  }();
  std::string letterTime = "180";     // "Czas pisania jednej litery"
  std::string thinkTime = "1500";     // "Czas zastanawiania się"
  std::string keepAlive = "30";       // "Podtrzymywanie poł. (s)"
  std::string chatAntiflood = "850";  // "Bufor antyflood"
  std::string entryText = "</b>";     // the chat greeting
  bool startOnEntry = false;          // "Rozpoczynaj rozmowe na wejsciu"
  std::string chatServer;
  std::string chatPort = "14003";
  std::string ggNumber;
  bool chatConnected = false;  // the chat's "Połącz" is disabled
  bool wwwRunning = false;     // the applet's "włącz" is disabled
  bool ggConnected = false;    // Gadu-Gadu's "Połącz" is disabled
};

// The command's answer when the whole text is a command (letter case ignored) and its
// switch is on; otherwise an empty text. `chatFlag` selects the chat form of "!info".
// Reads the statistics lines and the base version from `engine`.
std::string BotCommand(const Engine& engine, const BotCommandState& state, const std::string& text,
                       bool chatFlag);

// The "!info" banner: with the chat's formatting marks, or plain.
std::string InfoBanner(bool chatForm);

// Labels (Windows-1250) of the statistics lines the commands read.
const std::string& ChatBufferSizeLabel();  // "Bufor antyflood(chat): "
const std::string& InChatBufferLabel();    // "Tekstów w buforze: "
const std::string& SaidSumLabel();         // "Powiedzianych tekstów(suma): "
const std::string& GgBufferSizeLabel();    // "Bufor antyflood(gadu-gadu): "

}  // namespace plotrak
