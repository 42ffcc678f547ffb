#include "shell/settings_table.h"

#include <array>

namespace plotrak {
namespace {

using F = SettingForm;
using S = SettingId;

constexpr const char kWww[] = "WWW";
constexpr const char kChat[] = "Chat";
constexpr const char kChatGg[] = "Chat / Gadu-Gadu";
constexpr const char kLocal[] = "rozmowa";
constexpr const char kColours[] = "kolory";
constexpr const char kChatLower[] = "chat";
constexpr const char kWwwLower[] = "www";
constexpr const char kMisc[] = "rozne";
constexpr const char kGg[] = "Gadu-Gadu";
constexpr const char kCommands[] = "komendy";
constexpr const char kPrograms[] = "programy";
constexpr const char kOther[] = "inne";

constexpr std::array<SettingDef, kSettingCount> kTable{{
    {S::kWwwPort, kWww, "port", F::kText, "1000"},
    {S::kWwwLog, kWww, "logowanie", F::kFlag, "1"},
    {S::kChatNick, kChat, "nick", F::kText, "Plotrak"},
    {S::kChatPassword, kChat, "haslo", F::kText, ""},
    {S::kChatRoom, kChat, "pokoj", F::kText, "randka"},
    {S::kChatServer, kChat, "serwer", F::kText, "s1.polchat.pl"},
    {S::kChatPort, kChat, "port", F::kText, "14003"},
    {S::kChatLink, kChat, "link", F::kText, "http://www.polchat.pl/chat/?_room=randka"},
    {S::kLetterTime, kChatGg, "czas pisania litery", F::kText, "180"},
    {S::kThinkTime, kChatGg, "czas zastanawiania sie", F::kText, "1500"},
    {S::kChatAntiflood, kChat, "buffor antyflood", F::kText, "850"},
    {S::kChatKeepAlive, kChat, "podtrzymywanie", F::kText, "30"},
    {S::kChatEntryText, kChat, "tekst na wejscie", F::kText, "</b>"},
    {S::kChatTemporary, kChat, "tymczasowy", F::kFlag, "1"},
    {S::kChatStartOnEntry, kChat, "rozpoczynaj rozmowe przy wejsciu", F::kFlag, "0"},
    {S::kChatBoldNick, kChat, "pogrubiony nick", F::kFlag, "1"},
    {S::kChatLog, kChat, "logowanie", F::kFlag, "1"},
    // the key names of "rozmowa" are one place off from what they hold; files depend on it
    {S::kLocalSlowTyping, kLocal, "logowanie", F::kFlag, "1"},
    {S::kLocalSpeech, kLocal, "synteza", F::kFlag, "0"},
    {S::kLocalAnimation, kLocal, "powolne pisanie", F::kFlag, "1"},
    {S::kLocalLog, kLocal, "animacja postaci", F::kFlag, "1"},
    {S::kColour1, kColours, "kolor tla okna glownego", F::kColour, "$00D8E9EC"},
    {S::kColour2, kColours, "tlo za zakladkami", F::kColour, "$00D8E9EC"},
    {S::kColour3, kColours, "srodek zakladki 2 stopnia", F::kColour, "$00E9C6A3"},
    {S::kColour4, kColours, "uchwyt zakladki aktywnej 2 stopnia", F::kColour, "$00E9C6A3"},
    {S::kColour5, kColours, "uchwyt zakladki nieaktywnej 2 stopnia", F::kColour, "$00EED5BB"},
    {S::kColour6, kColours, "srodek zakladki aktywnej 1 stopnia", F::kColour, "$00EED5BB"},
    {S::kColour7, kColours, "tlo za zakladkami 2 stopnia", F::kColour, "$00EED5BB"},
    {S::kColour8, kColours, "pole do wyswietlania tekstow", F::kColour, "$00EBB99D"},
    {S::kColour9, kColours, "pole do wpisywania tekstow", F::kColour, "$00EBB99D"},
    {S::kColour10, kColours, "pole wartosci ustawien", F::kColour, "$00EBB99D"},
    {S::kColour11, kColours, "uchwyt zakladki aktywnej 1 stopnia", F::kColour, "$00EED5BB"},
    {S::kColour12, kColours, "uchwyt zakladki nieaktywnej 1 stopnia", F::kColour, "$00F6E8DA"},
    {S::kChatOpenTabs, kChatLower, "otwieraj zakladki z nowymi rozmowami", F::kFlag, "1"},
    {S::kChatGoToNew, kChatLower, "przechodz do nowo rozpoczetych rozmow", F::kFlag, "1"},
    {S::kChatGoToText, kChatLower, "przechodz do zakladki w ktorej pojawi sie tekst", F::kFlag,
     "1"},
    {S::kChatMain, kChatLower, "main", F::kFlag, "0"},
    {S::kChatServerLines, kChatLower, "WYSWserwer", F::kFlag, "0"},
    {S::kChatPriv, kChatLower, "priv", F::kFlag, "0"},
    {S::kWwwOpenTabs, kWwwLower, "otwieraj zakladki z nowymi rozmowami", F::kFlag, "1"},
    {S::kWwwGoToNew, kWwwLower, "przechodz do nowo rozpoczetych rozmow", F::kFlag, "1"},
    {S::kWwwGoToText, kWwwLower, "przechodz do zakladki w ktorej pojawi sie tekst", F::kFlag, "1"},
    {S::kAutostart, kMisc, "uruchamiaj przy starcie", F::kFlag, "0"},
    {S::kChatLearn, kChatLower, "ucz sie z chatu", F::kFlag, "0"},
    {S::kWwwLearn, kWwwLower, "ucz sie z www", F::kFlag, "0"},
    {S::kWwwStartServer, kWwwLower, "stawiaj serwer przy starcie", F::kFlag, "0"},
    {S::kLocalLearn, kLocal, "ucz sie z programu", F::kFlag, "1"},
    {S::kGgNumber, kGg, "numer", F::kText, ""},
    {S::kGgPassword, kGg, "has\xB3o", F::kText, ""},  // "hasło" in Windows-1250
    {S::kGgStatus, kGg, "status", F::kNumber, "0"},
    {S::kGgDescription, kGg, "opis", F::kText, "http://www.plotrak.pl"},
    {S::kGgWithDescription, kGg, "jestopis", F::kFlag, "1"},
    {S::kGgLearn, kGg, "ucz sie z gg", F::kFlag, "0"},
    {S::kGgLog, kGg, "loguj rozmowy", F::kFlag, "1"},
    {S::kCommandsOff, kCommands, "wylacz komendy", F::kFlag, "0"},
    {S::kCmdInfo, kCommands, "!info", F::kFlag, "1"},
    {S::kCmdAllTextSayd, kCommands, "!alltextsayd", F::kFlag, "1"},
    {S::kCmdLeterValue, kCommands, "!letervalue", F::kFlag, "1"},
    {S::kCmdThinkValue, kCommands, "!thinkvalue", F::kFlag, "1"},
    {S::kCmdChatBuforSize, kCommands, "!chatbuforsize", F::kFlag, "1"},
    {S::kCmdChatBuforValue, kCommands, "!chatbuforvalue", F::kFlag, "1"},
    {S::kCmdInChatBufor, kCommands, "!inchatbufor", F::kFlag, "1"},
    {S::kCmdGgBuforSize, kCommands, "!ggbuforsize", F::kFlag, "1"},
    {S::kCmdTextOnEntry, kCommands, "!textonentry", F::kFlag, "1"},
    {S::kCmdAntyDsc, kCommands, "!antydsc", F::kFlag, "1"},
    {S::kCmdWwwConnect, kCommands, "!wwwconnect", F::kFlag, "1"},
    {S::kCmdGgConnect, kCommands, "!ggconnect", F::kFlag, "1"},
    {S::kCmdChatConnect, kCommands, "!chatconnect", F::kFlag, "1"},
    {S::kCmdBaseVersion, kCommands, "!baseversion", F::kFlag, "1"},
    {S::kProgram1, kPrograms, "program1", F::kText, ""},
    {S::kPath1, kPrograms, "sciezka1", F::kText, ""},
    {S::kProgram2, kPrograms, "program2", F::kText, ""},
    {S::kPath2, kPrograms, "sciezka2", F::kText, ""},
    {S::kProgram3, kPrograms, "program3", F::kText, ""},
    {S::kPath3, kPrograms, "sciezka3", F::kText, ""},
    {S::kProgram4, kPrograms, "program4", F::kText, ""},
    {S::kPath4, kPrograms, "sciezka4", F::kText, ""},
    {S::kProgram5, kPrograms, "program5", F::kText, ""},
    {S::kPath5, kPrograms, "sciezka5", F::kText, ""},
    {S::kProgram6, kPrograms, "program6", F::kText, ""},
    {S::kPath6, kPrograms, "sciezka6", F::kText, ""},
    {S::kProgram7, kPrograms, "program7", F::kText, ""},
    {S::kPath7, kPrograms, "sciezka7", F::kText, ""},
    {S::kAutoUpdate, kOther, "automatyczna aktualizacja", F::kFlag, "1"},
    {S::kSpeakOnSilence, kOther, "odzywaj sie kiedy rozmowca nic nie mowi", F::kFlag, "1"},
    {S::kSaveEmails, kOther, "zapisuj maile do pliku", F::kFlag, "1"},
    {S::kServiceLog, kOther, "log serwisowy", F::kFlag, "1"},
    {S::kFixedVsRandom, kOther, "ustalone / losowane", F::kNumber, "400"},
    {S::kLearnVsPerfect, kOther, "uczenie / doskonalenie", F::kNumber, "300"},
    {S::kGgServer, kGg, "serwer", F::kText, "gadu-gadu.pl"},
    // we publish no update server: an empty address downloads nothing
    {S::kUpdateUrl, kOther, "adres aktualizacji", F::kText, ""},
    {S::kNumberWords, kOther, "liczby slownie", F::kFlag, "1"},
    {S::kWebPagePort, kWww, "port strony", F::kText, "8080"},
    {S::kWebPageStart, kWww, "strona przy starcie", F::kFlag, "0"},
    {S::kWebPageSites, kWww, "dozwolone strony", F::kText, ""},
}};

constexpr bool IdsInOrder() {
  for (int i = 0; i < kSettingCount; ++i)
    if (static_cast<int>(kTable[i].id) != i) return false;
  return true;
}
static_assert(IdsInOrder(), "the settings table must list the ids in order");

}  // namespace

std::span<const SettingDef> SettingsTable() {
  return kTable;
}

const char* DesignValue(SettingId id) {
  switch (id) {
    case S::kChatAntiflood:
      return "800";
    case S::kLocalSpeech:
      return "1";
    case S::kGgWithDescription:
      return "0";
    case S::kFixedVsRandom:
      return "300";
    default:
      return Setting(id).defaultValue;
  }
}

}  // namespace plotrak
