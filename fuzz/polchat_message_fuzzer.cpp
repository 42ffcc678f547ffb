// Chat message texts: any bytes parse without reading past the text, and a message made
// the way the server writes one parses back to its sender and text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "polchat/chat_message.h"

namespace {

std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using plotrak::polchat::ChatMessage;
  using plotrak::polchat::ParseChatText;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const ChatMessage any = ParseChatText(text);
  if (any.sender.size() > size || any.text.size() > size) std::abort();
  plotrak::polchat::NewcomerNick(any.text);
  plotrak::polchat::ParseChatMessage(text);

  // a nickname of letters and digits taken from the input, and the whole input as the text
  std::string nick;
  for (char c : text)
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) nick += c;
  if (nick.empty()) nick = "Ala";
  const ChatMessage room = ParseChatText("<b>" + nick + "</b>: " + Escaped(text));
  if (room.sender != nick || room.text != text) std::abort();
  const ChatMessage action = ParseChatText("<i>*" + nick + "* " + Escaped(text) + "</i>");
  if (action.sender != nick || action.text != text) std::abort();
  return 0;
}
