// The listening socket under the HTTP server. Every connection is counted (all of them and
// per peer address) and its request heads are read by a RequestGuard before the HTTP server
// sees them: a connection reaches the server only once its first head has passed, a bad head
// later on ends it with our own error response, and a connection that stays silent between
// requests is closed. WebSocket connections leave the guard after their upgrade (the
// conversation session watches them) but stay counted until their socket is gone.
#pragma once

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <vector>

#include "web/request_guard.h"

namespace plotrak {

struct ConnectionLimits {
  int maxConnections = 512;  // open at once
  int maxPerAddress = 32;    // open at once from one peer address
  int idleMs = 30000;        // an HTTP connection without a new request
  int readBufferBytes = 65536;
};

class GuardedTcpServer : public QTcpServer {
  Q_OBJECT
 public:
  explicit GuardedTcpServer(QObject* parent = nullptr) : QTcpServer(parent) {}
  ~GuardedTcpServer() override;

  void SetLimits(const ConnectionLimits& limits) { limits_ = limits; }
  const ConnectionLimits& limits() const { return limits_; }

  // Connections whose socket still exists (including upgraded ones).
  int OpenConnections();

  // The Host header of the upgrade request that came in on this peer port, for the origin
  // check of the WebSocket it became. Empty when unknown.
  QByteArray UpgradeHost(const QHostAddress& peer, quint16 peerPort) const;

 protected:
  void incomingConnection(qintptr handle) override;

 private:
  struct Watch {
    QPointer<QTcpSocket> socket;
    QHostAddress peer;
    quint16 peerPort = 0;
    RequestGuard guard;
    QTimer* idle = nullptr;  // a child of the socket
    bool handedOver = false;
    qsizetype seen = 0;  // bytes at the front of the read buffer already fed
    bool upgraded = false;
  };
  void OnReadyRead(Watch* watch);
  void Refuse(QTcpSocket* socket, int status, const char* retryAfter = nullptr);
  void Sweep();

  ConnectionLimits limits_;
  std::vector<std::unique_ptr<Watch>> watches_;
};

}  // namespace plotrak
