#include "engine/bot_command.h"

#include "engine/cp1250.h"
#include "engine/engine.h"
#include "engine/normalize.h"

namespace plotrak {
namespace {

struct CommandName {
  BotCommandId id;
  const char* name;
};

constexpr CommandName kCommands[] = {
    {BotCommandId::kInfo, "!INFO"},
    {BotCommandId::kLeterValue, "!LETERVALUE"},
    {BotCommandId::kThinkTime, "!THINKTIME"},
    {BotCommandId::kAntyDsc, "!ANTYDSC"},
    {BotCommandId::kTextOnEntry, "!TEXTONENTRY"},
    {BotCommandId::kChatBuforSize, "!CHATBUFORSIZE"},
    {BotCommandId::kChatBuforValue, "!CHATBUFORVALUE"},
    {BotCommandId::kInChatBufor, "!INCHATBUFOR"},
    {BotCommandId::kChatConnect, "!CHATCONNECT"},
    {BotCommandId::kWwwConnect, "!WWWCONNECT"},
    {BotCommandId::kGgConnect, "!GGCONNECT"},
    {BotCommandId::kAllTextSayd, "!ALLTEXTSAYD"},
    {BotCommandId::kGgBuforSize, "!GGBUFORSIZE"},
    {BotCommandId::kBaseVersion, "!BASEVERSION"},
};

std::string Answer(const Engine& engine, const BotCommandState& state, BotCommandId id,
                   bool chatFlag) {
  static const std::string kThink = FromUtf8("Czas zastanawiania się ");
  static const std::string kAntyDsc = FromUtf8("Wartość zabezpieczenia przed rozłączeniem  ");
  static const std::string kEntry = FromUtf8("Tekst na wejściu nowego użytkownika: ");
  static const std::string kNoEntry = FromUtf8("Brak tekstu przy wejściu nowego użytkownika");
  static const std::string kBufor = FromUtf8("Wartość bufora antyflood ");
  static const std::string kNoChat = FromUtf8("Nie połączony z Chatem");
  static const std::string kChat = FromUtf8("Połączony z Chatem (serwer ");
  static const std::string kNoGg = FromUtf8("Nie połączony z Gadu-Gadu");
  static const std::string kGg = FromUtf8("Połączony z Gadu-Gadu (numer ");
  switch (id) {
    case BotCommandId::kInfo:
      return InfoBanner(chatFlag);
    case BotCommandId::kLeterValue:
      return "Czas pisania jednej litery " + state.letterTime;
    case BotCommandId::kThinkTime:
      return kThink + state.thinkTime;
    case BotCommandId::kAntyDsc:
      return kAntyDsc + state.keepAlive;
    case BotCommandId::kTextOnEntry:
      return state.startOnEntry ? kEntry + state.entryText : kNoEntry;
    case BotCommandId::kChatBuforSize:
      return engine.status.Get(ChatBufferSizeLabel());
    case BotCommandId::kChatBuforValue:
      return kBufor + state.chatAntiflood;
    case BotCommandId::kInChatBufor:
      return engine.status.Get(InChatBufferLabel());
    case BotCommandId::kChatConnect:
      return state.chatConnected ? kChat + state.chatServer + " port " + state.chatPort + ")"
                                 : kNoChat;
    case BotCommandId::kWwwConnect:
      return state.wwwRunning ? "Serwer dla aplikacji flash na stronie WWW jest postawiony"
                              : "Serwer dla aplikacji flash na stronie WWW nie jest postawiony";
    case BotCommandId::kGgConnect:
      return state.ggConnected ? kGg + state.ggNumber + ")" : kNoGg;
    case BotCommandId::kAllTextSayd:
      return engine.status.Get(SaidSumLabel());
    case BotCommandId::kGgBuforSize:
      return engine.status.Get(GgBufferSizeLabel());
    case BotCommandId::kBaseVersion:
      return engine.base.baseVersion;
    case BotCommandId::kCount:
      break;
  }
  return {};
}

}  // namespace

std::string BotCommand(const Engine& engine, const BotCommandState& state, const std::string& text,
                       bool chatFlag) {
  if (state.allOff) return {};
  const std::string upper = UpperAscii(text);
  for (const CommandName& command : kCommands) {
    if (upper != command.name) continue;
    if (!state.enabled[static_cast<int>(command.id)]) return {};
    return Answer(engine, state, command.id, chatFlag);
  }
  return {};
}

std::string InfoBanner(bool chatForm) {
  const std::string web = kProductWebAddress, mail = kProductMailAddress;
  if (!chatForm) return "(" + web + ") Chatterbot Plotrak wersja 4.0 by Zefir (" + mail + ")";
  return "<b><#00D700>(" + web + ") Chatterbot <#006F00>Plotrak<#00D700> wersja<#006F00> 4.0" +
         "<#00D700> by <#006F00>Zefir <#00D700>(" + mail + ")";
}

const std::string& ChatBufferSizeLabel() {
  static const std::string label = "Bufor antyflood(chat): ";
  return label;
}
const std::string& InChatBufferLabel() {
  static const std::string label = FromUtf8("Tekstów w buforze: ");
  return label;
}
const std::string& SaidSumLabel() {
  static const std::string label = FromUtf8("Powiedzianych tekstów(suma): ");
  return label;
}
const std::string& GgBufferSizeLabel() {
  static const std::string label = "Bufor antyflood(gadu-gadu): ";
  return label;
}

}  // namespace plotrak
