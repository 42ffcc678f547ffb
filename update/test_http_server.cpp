#include "update/test_http_server.h"

#include <QTcpSocket>
#include <QTimer>
#include <memory>

namespace plotrak::testing {

TestHttpServer::TestHttpServer() {
  server_.listen(QHostAddress::LocalHost, 0);
  connect(&server_, &QTcpServer::newConnection, this, [this] {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
      auto buffer = std::make_shared<std::string>();
      connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
        const QByteArray bytes = socket->readAll();
        buffer->append(bytes.constData(), static_cast<size_t>(bytes.size()));
        const size_t end = buffer->find("\r\n\r\n");
        if (end == std::string::npos || buffer->empty()) return;
        std::string head = buffer->substr(0, end);
        buffer->clear();
        buffer->push_back('\0');  // served: later bytes (a POST body) are ignored
        Serve(socket, head);
      });
      connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
  });
}

std::string TestHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port()) + path;
}

void TestHttpServer::Serve(QTcpSocket* socket, const std::string& head) {
  requests.push_back(head);
  const size_t start = head.find(' ') + 1;
  const std::string path = head.substr(start, head.find(' ', start) - start);
  auto found = responses.find(path);
  const HttpResponse response =
      found != responses.end() ? found->second : HttpResponse{404, "nie ma"};
  std::string out = "HTTP/1.1 " + std::to_string(response.status) +
                    (response.status == 200 ? " OK" : " Not Found") + "\r\nConnection: close\r\n";
  if (response.contentLength) {
    const int64_t length =
        response.declared >= 0 ? response.declared : static_cast<int64_t>(response.body.size());
    out += "Content-Length: " + std::to_string(length) + "\r\n";
  }
  out += "\r\n";
  socket->write(out.data(), static_cast<qint64>(out.size()));
  if (response.piece == 0) {
    socket->write(response.body.data(), static_cast<qint64>(response.body.size()));
    socket->disconnectFromHost();
    return;
  }
  // the body in pieces, one per timer tick, then the close
  auto offset = std::make_shared<size_t>(0);
  auto timer = new QTimer(socket);
  connect(timer, &QTimer::timeout, socket, [socket, timer, offset, response] {
    const size_t n = std::min(response.piece, response.body.size() - *offset);
    socket->write(response.body.data() + *offset, static_cast<qint64>(n));
    *offset += n;
    if (*offset >= response.body.size()) {
      timer->stop();
      socket->disconnectFromHost();
    }
  });
  timer->start(response.pauseMs);
}

}  // namespace plotrak::testing
