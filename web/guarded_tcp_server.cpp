#include "web/guarded_tcp_server.h"

#include <QTimer>
#include <algorithm>

namespace plotrak {

GuardedTcpServer::~GuardedTcpServer() {
  for (auto& watch : watches_)
    if (watch->socket) watch->socket->disconnect(this);
}

void GuardedTcpServer::Sweep() {
  watches_.erase(std::remove_if(watches_.begin(), watches_.end(),
                                [](const auto& watch) { return watch->socket.isNull(); }),
                 watches_.end());
}

int GuardedTcpServer::OpenConnections() {
  Sweep();
  return static_cast<int>(watches_.size());
}

QByteArray GuardedTcpServer::UpgradeHost(const QHostAddress& peer, quint16 peerPort) const {
  for (const auto& watch : watches_)
    if (watch->upgraded && watch->peerPort == peerPort && watch->peer.isEqual(peer))
      return QByteArray::fromStdString(watch->guard.head().host);
  return {};
}

void GuardedTcpServer::incomingConnection(qintptr handle) {
  auto* socket = new QTcpSocket(this);
  if (!socket->setSocketDescriptor(handle)) {
    delete socket;
    return;
  }
  Sweep();
  const QHostAddress peer = socket->peerAddress();
  const auto fromPeer = std::count_if(watches_.begin(), watches_.end(),
                                      [&](const auto& watch) { return watch->peer.isEqual(peer); });
  if (static_cast<int>(watches_.size()) >= limits_.maxConnections ||
      fromPeer >= limits_.maxPerAddress) {
    Refuse(socket, 503, "5");
    return;
  }
  socket->setReadBufferSize(limits_.readBufferBytes);
  // Answers are small and awaited one by one: no waiting to fill a segment.
  socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  auto watch = std::make_unique<Watch>();
  Watch* raw = watch.get();
  raw->socket = socket;
  raw->peer = peer;
  raw->peerPort = socket->peerPort();
  raw->idle = new QTimer(socket);
  raw->idle->setSingleShot(true);
  raw->idle->start(limits_.idleMs);
  connect(raw->idle, &QTimer::timeout, socket, [socket] { socket->abort(); });
  watches_.push_back(std::move(watch));
  // Connected before the HTTP server connects its own slot, so the guard sees every byte
  // first and can take a bad request away from it.
  connect(socket, &QTcpSocket::readyRead, this, [this, raw] { OnReadyRead(raw); });
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

void GuardedTcpServer::OnReadyRead(Watch* watch) {
  QTcpSocket* socket = watch->socket;
  if (!socket || !socket->isOpen() || watch->upgraded) return;
  // Only the bytes not fed yet. Before the hand-over nothing is taken out of the buffer;
  // after it the HTTP server reads everything on each notification, after this slot.
  const QByteArray all = socket->peek(socket->bytesAvailable());
  const QByteArray fresh = all.mid(std::min<qsizetype>(watch->seen, all.size()));
  watch->seen = watch->handedOver ? 0 : all.size();
  const auto verdict = watch->guard.Feed(std::string_view(fresh.constData(), fresh.size()));
  if (verdict == RequestGuard::Verdict::kReject) {
    socket->readAll();  // the HTTP server must not see it
    Refuse(socket, watch->guard.status());
    return;
  }
  if (verdict == RequestGuard::Verdict::kMore) return;
  watch->idle->start(limits_.idleMs);
  if (verdict == RequestGuard::Verdict::kUpgrade) {
    watch->upgraded = true;
    watch->idle->stop();
  }
  if (!watch->handedOver) {
    watch->handedOver = true;
    watch->seen = all.size();  // still in the buffer when the server's first read comes
    addPendingConnection(socket);
    emit newConnection();
    // The bytes are already buffered; make sure the server reads them.
    QMetaObject::invokeMethod(socket, "readyRead", Qt::QueuedConnection);
  }
}

void GuardedTcpServer::Refuse(QTcpSocket* socket, int status, const char* retryAfter) {
  const QByteArray body = QByteArray::number(status) + ' ' + StatusReason(status) + '\n';
  QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + ' ' + StatusReason(status) +
                        "\r\nContent-Type: text/plain; charset=utf-8\r\n"
                        "Content-Security-Policy: default-src 'none'; frame-ancestors 'none'\r\n"
                        "X-Content-Type-Options: nosniff\r\nConnection: close\r\n";
  if (retryAfter) response += QByteArray("Retry-After: ") + retryAfter + "\r\n";
  response += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
  socket->disconnect();  // neither the guard nor the HTTP server reads it any more
  socket->write(response);
  // Closing with unread bytes would reset the connection and could destroy the answer
  // before the peer reads it: what the peer still sends is read and dropped, and the socket
  // is closed a moment later (at once when the peer closes first).
  socket->readAll();
  connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  QTimer::singleShot(1000, socket, [socket] { socket->disconnectFromHost(); });
  QTimer::singleShot(3000, socket, [socket] { socket->abort(); });
}

}  // namespace plotrak
