// Loopback clients for the web page tests and the bench: raw HTTP exchanges and WebSocket
// conversations, driven by the one event loop the server also runs in.
#pragma once

#include <QTcpSocket>
#include <QWebSocket>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plotrak::testing {

// Runs the event loop until `done` holds or `ms` pass; returns `done()`.
bool SpinUntil(const std::function<bool()>& done, int ms = 5000);

struct HttpReply {
  int status = 0;  // 0: no status line came
  std::string head;
  std::string body;
  bool closed = false;                                // the server closed the connection
  std::string Header(const std::string& name) const;  // case-insensitive; "" when absent
};

// Sends `bytes` on a fresh connection and reads responses until the server closes or
// `responses` complete ones (with Content-Length) have arrived. Every response's head and body
// are appended; status is the last one's.
HttpReply HttpExchange(quint16 port, const QByteArray& bytes, int responses = 1, int ms = 3000);

// A browser-like WebSocket conversation with an Origin.
class ChatClient {
 public:
  ChatClient(quint16 port, const std::string& id, const std::string& origin);
  bool WaitOpen(int ms = 3000);
  // Sends a text and waits for the next frame; "" on timeout.
  std::string Say(const std::string& utf8, int ms = 5000);
  // Waits until the server closes; returns the close code (-1 on timeout).
  int WaitClosed(int ms = 3000);
  QWebSocket& socket() { return *socket_; }
  std::vector<std::string> frames;

 private:
  std::unique_ptr<QWebSocket> socket_;
  bool closed_ = false;
};

// The "text" of an answer frame, decoded ("" when the frame is not an answer).
std::string AnswerText(const std::string& frame);

}  // namespace plotrak::testing
