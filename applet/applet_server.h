// The web applet server: one request per connection, answered on channel "www" through
// WwwConversation. It fills the application's "www" connect/disconnect hooks ("włącz",
// "wyłącz") and startWwwServer ("Stawiaj serwer przy starcie"), and keeps the lamp and the
// running state of the model. Everything runs on the thread of the Qt event loop.
#pragma once

#include <QObject>
#include <QTcpServer>
#include <cstdint>
#include <memory>
#include <vector>

#include "applet/applet_request.h"

namespace plotrak {

class Application;
class AppletConnection;

class AppletServer : public QObject {
  Q_OBJECT
 public:
  // What one client may cost. A client must deliver its request and take its answer within
  // `deadlineMs`; at most `maxConnections` are open at once (a new client then displaces the
  // oldest one still waiting for its request, so idle sockets cannot lock visitors out).
  struct Limits {
    size_t maxRequestBytes = kMaxAppletRequest;
    int deadlineMs = 5000;
    int maxConnections = 512;
  };

  // Attaches to the application's hooks and model; does no I/O until the application starts.
  explicit AppletServer(Application& app);
  ~AppletServer() override;
  AppletServer(const AppletServer&) = delete;
  AppletServer& operator=(const AppletServer&) = delete;

  // "włącz": listens on all local addresses at the port of the settings ("0" takes any free
  // port). A failure shows "[### Błąd: nie mogę postawić serwera ###]" and leaves it stopped.
  void Start();
  // "wyłącz": stops listening and cuts the open connections.
  void Stop();

  bool listening() const { return server_ && server_->isListening(); }
  // The port listened on, 0 when stopped.
  uint16_t port() const { return listening() ? server_->serverPort() : 0; }
  int openConnections() const { return static_cast<int>(connections_.size()); }
  void SetLimits(const Limits& limits) { limits_ = limits; }

 private:
  void OnNewConnections();
  void ShowFailure(const std::string& text);
  void SetRunning(bool running);
  void Forget(AppletConnection* connection);

  Application& app_;
  Limits limits_;
  std::unique_ptr<QTcpServer> server_;  // made at the first start, when an event loop exists
  std::vector<AppletConnection*> connections_;  // oldest first; owned as children
};

}  // namespace plotrak
