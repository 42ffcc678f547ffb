#include "polchat/chat_message.h"

#include "engine/cp1250.h"

namespace plotrak::polchat {
namespace {

std::string WithoutTags(std::string_view message) {
  std::string out;
  out.reserve(message.size());
  size_t at = 0;
  while (at < message.size()) {
    const size_t open = message.find('<', at);
    if (open == std::string_view::npos) {
      out.append(message.substr(at));
      break;
    }
    out.append(message.substr(at, open - at));
    const size_t close = message.find('>', open);
    if (close == std::string_view::npos) break;  // an unclosed tag takes the rest
    at = close + 1;
  }
  return out;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (text.find(from) == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  size_t at = 0;
  for (size_t hit; (hit = text.find(from, at)) != std::string::npos; at = hit + from.size()) {
    out.append(text, at, hit - at);
    out.append(to);
  }
  out.append(text, at, std::string::npos);
  text = std::move(out);
}

std::string Tail(std::string_view text, size_t from) {
  return from < text.size() ? std::string(text.substr(from)) : std::string();
}

}  // namespace

ChatMessage ParseChatText(std::string_view message) {
  const std::string p = WithoutTags(message);
  ChatMessage result;
  if (p.empty() || p[0] == ' ') return result;
  if (p.compare(0, 2, "**") == 0) {
    result.sender = "*";
    result.text = Tail(p, 3);
  } else if (p[0] == '*') {
    const size_t close = p.find('*', 1);
    if (close == std::string::npos) return result;
    result.sender = p.substr(1, close - 1);
    result.text = Tail(p, close + 2);
  } else {
    const size_t end = p.find_first_of(": ");
    if (end == std::string::npos) {
      result.sender = p;
      return result;
    }
    result.sender = p.substr(0, end);
    result.text = Tail(p, p[end] == ':' ? end + 2 : end + 1);
  }
  ReplaceAll(result.text, "&gt;", ">");
  ReplaceAll(result.text, "&quot;", "\"");
  ReplaceAll(result.text, "&lt;", "<");
  ReplaceAll(result.text, "&amp;", "&");
  return result;
}

ChatMessage ParseChatMessage(std::string_view utf8) {
  return ParseChatText(FromUtf8(utf8));
}

std::optional<std::string> NewcomerNick(std::string_view noticeText) {
  const size_t space = noticeText.find(' ');
  if (space == std::string_view::npos || noticeText.substr(0, space) != "przychodzi")
    return std::nullopt;
  const size_t begin = space + 1;
  if (noticeText.size() < begin + 3 + 1) return std::nullopt;
  return std::string(noticeText.substr(begin, noticeText.size() - 3 - begin));
}

}  // namespace plotrak::polchat
