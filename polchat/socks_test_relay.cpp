#include "polchat/socks_test_relay.h"

#include <memory>

namespace plotrak::polchat::testing {
namespace {

quint16 PortAt(const QByteArray& bytes, int at) {
  return static_cast<quint16>((static_cast<uint8_t>(bytes[at]) << 8) |
                              static_cast<uint8_t>(bytes[at + 1]));
}

}  // namespace

SocksTestRelay::SocksTestRelay() {
  server_.listen(QHostAddress::LocalHost, 0);
  QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
      auto link = std::make_shared<Link>();
      link->client = socket;
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, link] {
        if (link->piping) {
          link->target->write(link->client->readAll());
        } else {
          link->request += link->client->readAll();
          OnRequestBytes(link);
        }
      });
      QObject::connect(socket, &QTcpSocket::disconnected, socket, [link] {
        if (link->target) link->target->disconnectFromHost();
        link->client->deleteLater();
      });
    }
  });
}

void SocksTestRelay::OnRequestBytes(const std::shared_ptr<Link>& link) {
  QByteArray& r = link->request;
  if (r.isEmpty()) return;
  if (r[0] == 4) {
    // 4, 1, port, address, user id, 0 [, host name, 0 when the address is 0.0.0.x]
    if (r.size() < 9) return;
    const int userEnd = r.indexOf('\0', 8);
    if (userEnd < 0) return;
    QString host = QString("%1.%2.%3.%4")
                       .arg(static_cast<uint8_t>(r[4]))
                       .arg(static_cast<uint8_t>(r[5]))
                       .arg(static_cast<uint8_t>(r[6]))
                       .arg(static_cast<uint8_t>(r[7]));
    if (r[4] == 0 && r[5] == 0 && r[6] == 0 && r[7] != 0) {
      const int nameEnd = r.indexOf('\0', userEnd + 1);
      if (nameEnd < 0) return;
      host = QString::fromUtf8(r.mid(userEnd + 1, nameEnd - userEnd - 1));
    }
    Open(link, 4, host, PortAt(r, 2));
    return;
  }
  if (!link->greeted) {
    if (r.size() < 2 || r.size() < 2 + static_cast<uint8_t>(r[1])) return;
    r.remove(0, 2 + static_cast<uint8_t>(r[1]));
    link->greeted = true;
    link->client->write(QByteArray("\x05\x00", 2));
  }
  // 5, 1, 0, type, address, port
  if (r.size() < 5) return;
  QString host;
  int portAt;
  if (r[3] == 1) {
    if (r.size() < 10) return;
    host = QString("%1.%2.%3.%4")
               .arg(static_cast<uint8_t>(r[4]))
               .arg(static_cast<uint8_t>(r[5]))
               .arg(static_cast<uint8_t>(r[6]))
               .arg(static_cast<uint8_t>(r[7]));
    portAt = 8;
  } else {
    const int length = static_cast<uint8_t>(r[4]);
    if (r.size() < 7 + length) return;
    host = QString::fromUtf8(r.mid(5, length));
    portAt = 5 + length;
  }
  Open(link, 5, host, PortAt(r, portAt));
}

void SocksTestRelay::Open(const std::shared_ptr<Link>& link, int version, const QString& host,
                          quint16 port) {
  versions.push_back(version);
  targets.push_back(host.toStdString() + ":" + std::to_string(port));
  link->piping = true;
  link->target = new QTcpSocket(link->client);
  QTcpSocket* target = link->target;
  QObject::connect(target, &QTcpSocket::connected, target, [link, version] {
    link->client->write(version == 4 ? QByteArray("\x00\x5A\0\0\0\0\0\0", 8)
                                     : QByteArray("\x05\x00\x00\x01\0\0\0\0\0\0", 10));
  });
  QObject::connect(target, &QTcpSocket::readyRead, target,
                   [link] { link->client->write(link->target->readAll()); });
  QObject::connect(target, &QTcpSocket::disconnected, target,
                   [link] { link->client->disconnectFromHost(); });
  target->connectToHost(host, port);
}

}  // namespace plotrak::polchat::testing
