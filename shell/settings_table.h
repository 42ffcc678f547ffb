// The keys of "setup.ini": section, key, form and default of every setting, in the order
// the program writes them. The first 89 are the keys every version of the file knows; the
// ones after them are deployment values of our own, written at the end of their sections.
#pragma once

#include <span>
#include <string>

namespace plotrak {

enum class SettingForm { kText, kFlag, kNumber, kColour };

// In writing order. Names say what the value holds, which in the section "rozmowa" is not
// what the key is called (the file's key names there are shifted by one).
enum class SettingId : int {
  kWwwPort,
  kWwwLog,
  kChatNick,
  kChatPassword,
  kChatRoom,
  kChatServer,
  kChatPort,
  kChatLink,
  kLetterTime,
  kThinkTime,
  kChatAntiflood,
  kChatKeepAlive,
  kChatEntryText,
  kChatTemporary,
  kChatStartOnEntry,
  kChatBoldNick,
  kChatLog,
  kLocalSlowTyping,
  kLocalSpeech,
  kLocalAnimation,
  kLocalLog,
  kColour1,
  kColour2,
  kColour3,
  kColour4,
  kColour5,
  kColour6,
  kColour7,
  kColour8,
  kColour9,
  kColour10,
  kColour11,
  kColour12,
  kChatOpenTabs,
  kChatGoToNew,
  kChatGoToText,
  kChatMain,
  kChatServerLines,
  kChatPriv,
  kWwwOpenTabs,
  kWwwGoToNew,
  kWwwGoToText,
  kAutostart,
  kChatLearn,
  kWwwLearn,
  kWwwStartServer,
  kLocalLearn,
  kGgNumber,
  kGgPassword,
  kGgStatus,
  kGgDescription,
  kGgWithDescription,
  kGgLearn,
  kGgLog,
  kCommandsOff,
  kCmdInfo,
  kCmdAllTextSayd,
  kCmdLeterValue,
  kCmdThinkValue,
  kCmdChatBuforSize,
  kCmdChatBuforValue,
  kCmdInChatBufor,
  kCmdGgBuforSize,
  kCmdTextOnEntry,
  kCmdAntyDsc,
  kCmdWwwConnect,
  kCmdGgConnect,
  kCmdChatConnect,
  kCmdBaseVersion,
  kProgram1,
  kPath1,
  kProgram2,
  kPath2,
  kProgram3,
  kPath3,
  kProgram4,
  kPath4,
  kProgram5,
  kPath5,
  kProgram6,
  kPath6,
  kProgram7,
  kPath7,
  kAutoUpdate,
  kSpeakOnSilence,
  kSaveEmails,
  kServiceLog,
  kFixedVsRandom,
  kLearnVsPerfect,
  // deployment values of our own
  kGgServer,
  kUpdateUrl,
  kNumberWords,   // "liczby slownie": number words in arithmetic
  kWebPagePort,   // the web page's port
  kWebPageStart,  // the web page starts at start-up
  kWebPageSites,  // sites allowed to embed the widget, separated by spaces
  kCount
};

inline constexpr int kSettingCount = static_cast<int>(SettingId::kCount);
inline constexpr int kClassicSettingCount = 89;

struct SettingDef {
  SettingId id;
  const char* section;  // Windows-1250, as written
  const char* key;      // Windows-1250, as written
  SettingForm form;
  const char* defaultValue;  // in its written form
};

// Every setting in writing order; element i has id i.
std::span<const SettingDef> SettingsTable();
inline const SettingDef& Setting(SettingId id) {
  return SettingsTable()[static_cast<int>(id)];
}

// The value the settings tab's control has before the file is read (the window's design),
// in written form. It differs from the default for "Bufor antyflood" (800), "Synteza Głosu"
// (on), "z opisem" (off) and "ustalone / losowane" (300); a control the reading leaves
// untouched starts here.
const char* DesignValue(SettingId id);

// Colour slot n (1..12), program name and path n (1..7).
inline SettingId ColourId(int n) {
  return static_cast<SettingId>(static_cast<int>(SettingId::kColour1) + n - 1);
}
inline SettingId ProgramId(int n) {
  return static_cast<SettingId>(static_cast<int>(SettingId::kProgram1) + 2 * (n - 1));
}
inline SettingId ProgramPathId(int n) {
  return static_cast<SettingId>(static_cast<int>(SettingId::kPath1) + 2 * (n - 1));
}

// Deployment defaults.
inline constexpr int kGgDefaultPort = 8074;

}  // namespace plotrak
