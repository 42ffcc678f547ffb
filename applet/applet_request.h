// The applet's request and answer bytes, without sockets or timers.
//
// A request is the visitor's sentence in escaped form, one "&", then the conversation
// identifier up to the end of the request. An escape is "^2" and a digit: 0 space, 1 "?",
// 2 "#", 3 "$", 4 "&", 5 "+", 6 '"', 7 "'", 8 "\", 9 ":". No escape contains the byte "&",
// so the first "&" of a request always ends its sentence.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace plotrak {

// The most a request may carry; a client that sends more is closed without an answer.
inline constexpr size_t kMaxAppletRequest = 64 * 1024;

struct AppletRequest {
  std::string sentence;    // escapes decoded
  std::string identifier;  // as it came, never empty
};

// The request in `bytes`, or nothing when they hold no "&" or nothing after it (such a
// request is closed without an answer).
std::optional<AppletRequest> DecodeAppletRequest(std::string_view bytes);

// The sentence part of a request: escapes decoded, any other byte as it is, up to the end.
std::string DecodeAppletSentence(std::string_view escaped);

// The escaped form of a sentence, or nothing when the sentence holds "^2" and a digit,
// which no request can carry as text.
std::optional<std::string> EncodeAppletSentence(std::string_view sentence);

// The bytes written back: the answer, or a single space for an empty answer.
std::string AppletAnswerBytes(std::string_view answer);

// Collects the bytes of one request as they arrive, in any pieces.
class AppletRequestReader {
 public:
  enum class State {
    kWaiting,   // no complete request yet
    kComplete,  // request() holds it
    kTooLong,   // more than the limit arrived without a complete request
  };

  explicit AppletRequestReader(size_t maxBytes = kMaxAppletRequest) : maxBytes_(maxBytes) {}

  // Appends bytes; cost is linear in what arrives, whatever the pieces. A request is
  // complete once its "&" has at least one byte after it: the applet does not end its side,
  // so nothing later can say that the identifier is whole.
  State Add(std::string_view bytes);
  State state() const { return state_; }
  // The complete request; valid while state() is kComplete.
  AppletRequest request() const;

 private:
  size_t maxBytes_;
  std::string buffer_;
  size_t ampersand_ = std::string::npos;
  State state_ = State::kWaiting;
};

}  // namespace plotrak
