// What the chat channel shows on its page and writes to its logs.
#include "engine/conversation_log.h"
#include "polchat/chat_channel.h"
#include "shell/application.h"

namespace plotrak {

void ChatChannel::ShowRoomLine(const std::string& nick, const std::string& text) {
  ConversationPage& page = app_.model.chatPage;
  const std::string stamp = TimeStamp(app_.engine.clock.Now());
  const bool notice = nick == "*";
  const std::string line = notice ? stamp + "** " + text : stamp + nick + ": " + text;
  page.AddTrafficLine(line);
  const bool alsoActive =
      app_.model.settings.Flag(notice ? SettingId::kChatServerLines : SettingId::kChatMain);
  if (alsoActive && page.activeTab() != 0) page.AddLine(page.activeTab(), line);
}

void ChatChannel::ShowPrivateLine(const std::string& nick, const std::string& text, bool outgoing) {
  ConversationPage& page = app_.model.chatPage;
  const std::string stamp = TimeStamp(app_.engine.clock.Now());
  const std::string prefix = (outgoing ? "[PRIV " : "[OD ") + nick + "] ";
  if (app_.model.settings.Flag(SettingId::kChatPriv)) page.AddTrafficLine(stamp + prefix + text);
  page.AddPersonLine(nick, stamp + prefix + (page.goToTextTab ? " " : ": ") + text);
}

void ChatChannel::ShowUnaddressedLine(const std::string& nick, const std::string& text) {
  app_.model.chatPage.AddTrafficLine(TimeStamp(app_.engine.clock.Now()) + "[OD " + nick + "] " +
                                     text);
}

void ChatChannel::ShowFailure(const std::string& text) {
  ConversationPage& page = app_.model.chatPage;
  page.ShowTab(0);
  page.AddTrafficLine("[### " + text + " ###]");
}

void ChatChannel::Log(const std::string& nick, const std::string& text, bool bot) {
  WriteLogLine(app_.engine.dataDir, nick, text, bot ? LogWho::kBot : LogWho::kPerson, "chat",
               app_.engine.clock.Now());
}

}  // namespace plotrak
