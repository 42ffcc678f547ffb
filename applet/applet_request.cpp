#include "applet/applet_request.h"

#include <array>

namespace plotrak {
namespace {

constexpr std::array<char, 10> kEscaped = {' ', '?', '#', '$', '&', '+', '"', '\'', '\\', ':'};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string DecodeAppletSentence(std::string_view escaped) {
  std::string sentence;
  sentence.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] == '^' && i + 2 < escaped.size() && escaped[i + 1] == '2' &&
        IsDigit(escaped[i + 2])) {
      sentence += kEscaped[escaped[i + 2] - '0'];
      i += 2;
    } else {
      sentence += escaped[i];
    }
  }
  return sentence;
}

std::optional<AppletRequest> DecodeAppletRequest(std::string_view bytes) {
  const size_t ampersand = bytes.find('&');
  if (ampersand == std::string_view::npos || ampersand + 1 == bytes.size()) return std::nullopt;
  return AppletRequest{DecodeAppletSentence(bytes.substr(0, ampersand)),
                       std::string(bytes.substr(ampersand + 1))};
}

std::optional<std::string> EncodeAppletSentence(std::string_view sentence) {
  std::string escaped;
  escaped.reserve(sentence.size());
  for (size_t i = 0; i < sentence.size(); ++i) {
    const char c = sentence[i];
    if (c == '^' && i + 2 < sentence.size() && sentence[i + 1] == '2' && IsDigit(sentence[i + 2]))
      return std::nullopt;
    size_t code = 0;
    while (code < kEscaped.size() && kEscaped[code] != c) ++code;
    if (code < kEscaped.size()) {
      escaped += "^2";
      escaped += static_cast<char>('0' + code);
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string AppletAnswerBytes(std::string_view answer) {
  return answer.empty() ? std::string(" ") : std::string(answer);
}

AppletRequestReader::State AppletRequestReader::Add(std::string_view bytes) {
  if (state_ != State::kWaiting) return state_;
  const size_t scanned = buffer_.size();
  if (bytes.size() > maxBytes_ - buffer_.size()) {
    state_ = State::kTooLong;
    buffer_.clear();
    return state_;
  }
  buffer_.append(bytes);
  if (ampersand_ == std::string::npos) ampersand_ = buffer_.find('&', scanned);
  if (ampersand_ != std::string::npos && ampersand_ + 1 < buffer_.size()) state_ = State::kComplete;
  return state_;
}

AppletRequest AppletRequestReader::request() const {
  return *DecodeAppletRequest(buffer_);
}

}  // namespace plotrak
