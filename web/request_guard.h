// A gate in front of the HTTP server: it reads the request heads on one connection as the
// bytes arrive and decides, before the server parses anything, whether the connection may go
// on. Only what the web page needs passes: GET without a body, a short origin-form target
// that cannot name a file outside the routes (no dot segments, no encoded dots, slashes,
// backslashes or control bytes), a bounded head, one Host, and a WebSocket upgrade on
// /ws only. Everything else gets an error status. Plain C++; no socket, no timer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plotrak {

struct RequestHead {
  std::string target;    // as sent, e.g. "/ws?id=abc"
  std::string path;      // the target before '?'
  std::string query;     // after '?', without it
  std::string host;      // the Host header, trimmed
  std::string origin;    // the Origin header, trimmed; empty when absent
  bool upgrade = false;  // a WebSocket upgrade
};

class RequestGuard {
 public:
  static constexpr size_t kMaxHead = 8192;
  static constexpr size_t kMaxTarget = 1024;
  static constexpr size_t kMaxHeaders = 64;

  enum class Verdict {
    kMore,     // no complete head yet (and nothing wrong so far)
    kPass,     // one or more complete heads, all fine
    kUpgrade,  // a WebSocket upgrade passed; the rest of the connection is frames
    kReject,   // stop the connection with status()
  };

  // Feeds the next bytes of the connection. Once kUpgrade or kReject is returned, every later
  // call returns the same verdict without looking at the bytes.
  Verdict Feed(std::string_view bytes);

  // The error status after kReject (400, 404, 405, 413, 414, 431, 501, 505).
  int status() const { return status_; }
  // The last complete head.
  const RequestHead& head() const { return head_; }
  // Complete heads seen so far.
  int requests() const { return requests_; }

 private:
  bool Reject(int status);
  bool CheckHead(std::string_view head);
  bool CheckTarget(std::string_view target);

  std::string pending_;  // an incomplete head
  RequestHead head_;
  Verdict final_ = Verdict::kMore;
  int status_ = 0;
  int requests_ = 0;
};

// The reason phrase of the statuses this server sends.
const char* StatusReason(int status);

}  // namespace plotrak
