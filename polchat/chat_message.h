// The texts of chat messages: who said what, and the server's newcomer notice.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plotrak::polchat {

struct ChatMessage {
  std::string sender;  // "*" for a server notice; empty when the message names nobody
  std::string text;
};

// Parses a message already decoded into Windows-1250: tags ("<" up to the next ">") are
// removed, then
//   "**rest"        -> sender "*", text from the fourth character on;
//   "*nick* text"   -> sender nick, text from the second character after the closing "*";
//   "nick: text"    -> sender nick, text after ": " ("nick text" after the space);
//   " ..." or empty -> sender and text empty;
// and "&gt;", "&quot;", "&lt;", "&amp;" in the text are replaced, in that order.
// Malformed forms: a "<" with no ">" after it drops the rest of the message; "*nick" with
// no closing "*" gives neither sender nor text; a first word with neither ":" nor space is
// the sender with an empty text; texts shorter than their prefix are empty.
ChatMessage ParseChatText(std::string_view message);
// The same for a message as it arrives (UTF-8).
ChatMessage ParseChatMessage(std::string_view utf8);

// The nickname a server notice of the form "przychodzi <nick>xyz" welcomes (three trailing
// characters), or nothing when the first word is not exactly "przychodzi" or no nickname
// is left between the space and the last three characters.
std::optional<std::string> NewcomerNick(std::string_view noticeText);

}  // namespace plotrak::polchat
