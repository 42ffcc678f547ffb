// A SOCKS 4/4a and 5 (no authentication) relay of our own for the tests, on 127.0.0.1: it
// reads the client's request, connects to the target it names and copies bytes both ways.
#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <string>
#include <vector>

namespace plotrak::polchat::testing {

class SocksTestRelay {
 public:
  SocksTestRelay();
  uint16_t port() const { return server_.serverPort(); }
  // The SOCKS version of every request served, and the target each named.
  std::vector<int> versions;
  std::vector<std::string> targets;

 private:
  struct Link {
    QTcpSocket* client = nullptr;
    QTcpSocket* target = nullptr;
    QByteArray request;
    bool greeted = false;  // SOCKS 5: the method choice is answered
    bool piping = false;
  };
  void OnRequestBytes(const std::shared_ptr<Link>& link);
  void Open(const std::shared_ptr<Link>& link, int version, const QString& host, quint16 port);

  QTcpServer server_;
};

}  // namespace plotrak::polchat::testing
