// One browser's conversation over a WebSocket: the origin and identifier checks when it
// opens, then every text message answered through the shared www conversation. Limits: the
// per-address message rate, the message length, an idle timeout and a bound on unsent
// output. The session deletes itself when its socket closes.
//
// Close codes the page explains to the visitor: 4003 the site may not talk to the bot,
// 4000 a malformed conversation identifier, 4008 the conversation was idle, 4029 far too many
// messages too fast, 1001 the page server was switched off.
#pragma once

#include <QObject>
#include <QTimer>
#include <QWebSocket>
#include <functional>
#include <memory>
#include <string>

namespace plotrak {

class Application;
class RateLimiter;

struct ChatSessionContext {
  Application& app;
  RateLimiter& rate;  // per peer address, shared by all sessions
  int idleMs = 300000;
  std::function<int64_t()> nowMs;  // a monotonic clock
};

class WebChatSession : public QObject {
  Q_OBJECT
 public:
  // `allowed` says whether the socket's origin was accepted; `identifier` is the checked
  // conversation identifier (empty when it was malformed).
  WebChatSession(std::unique_ptr<QWebSocket> socket, bool allowed, std::string identifier,
                 ChatSessionContext& context, QObject* parent);
  ~WebChatSession() override;

  // Ends the conversation with 1001 (the server stops).
  void GoingAway();

 private:
  void OnText(const QString& message);
  void Send(const std::string& frame);
  void Close(int code, const char* reason);

  std::unique_ptr<QWebSocket> socket_;
  std::string identifier_;  // Windows-1250 (ASCII)
  std::string peer_;
  ChatSessionContext& context_;
  QTimer idle_;
  int refusedInARow_ = 0;
  bool closing_ = false;
};

}  // namespace plotrak
