#include "web/web_test_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

namespace plotrak::testing {

bool SpinUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms)
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  return done();
}

std::string HttpReply::Header(const std::string& name) const {
  std::string lowerHead = QByteArray::fromStdString(head).toLower().toStdString();
  const std::string key = "\n" + QByteArray::fromStdString(name).toLower().toStdString() + ":";
  const size_t at = lowerHead.rfind(key);
  if (at == std::string::npos) return {};
  const size_t start = at + key.size();
  const size_t end = head.find('\r', start);
  return QByteArray::fromStdString(head.substr(start, end - start)).trimmed().toStdString();
}

HttpReply HttpExchange(quint16 port, const QByteArray& bytes, int responses, int ms) {
  HttpReply reply;
  QTcpSocket socket;
  socket.connectToHost("127.0.0.1", port);
  if (!SpinUntil([&] { return socket.state() == QAbstractSocket::ConnectedState; }, ms))
    return reply;
  socket.write(bytes);
  QByteArray data;
  int complete = 0;
  auto parse = [&] {
    complete = 0;
    qsizetype at = 0;
    reply.head.clear();
    reply.body.clear();
    while (true) {
      const qsizetype end = data.indexOf("\r\n\r\n", at);
      if (end < 0) return;
      const QByteArray head = data.mid(at, end + 4 - at);
      qsizetype length = 0;
      for (const QByteArray& line : head.split('\n'))
        if (line.toLower().startsWith("content-length:"))
          length = line.mid(15).trimmed().toLongLong();
      if (data.size() < end + 4 + length) return;
      reply.head += head.toStdString();
      reply.body += data.mid(end + 4, length).toStdString();
      reply.status = head.mid(9, 3).toInt();
      ++complete;
      at = end + 4 + length;
    }
  };
  QObject::connect(&socket, &QTcpSocket::disconnected, [&] { reply.closed = true; });
  SpinUntil(
      [&] {
        data += socket.readAll();
        parse();
        return reply.closed || complete >= responses;
      },
      ms);
  data += socket.readAll();
  parse();
  if (socket.state() == QAbstractSocket::UnconnectedState) reply.closed = true;
  return reply;
}

ChatClient::ChatClient(quint16 port, const std::string& id, const std::string& origin)
    : socket_(std::make_unique<QWebSocket>(QString::fromStdString(origin))) {
  QObject::connect(socket_.get(), &QWebSocket::textMessageReceived,
                   [this](const QString& text) { frames.push_back(text.toStdString()); });
  QObject::connect(socket_.get(), &QWebSocket::disconnected, [this] { closed_ = true; });
  socket_->open(
      QUrl(QString("ws://127.0.0.1:%1/ws?id=%2").arg(port).arg(QString::fromStdString(id))));
}

bool ChatClient::WaitOpen(int ms) {
  return SpinUntil([this] { return socket_->state() == QAbstractSocket::ConnectedState; }, ms);
}

std::string ChatClient::Say(const std::string& utf8, int ms) {
  const size_t before = frames.size();
  socket_->sendTextMessage(QString::fromStdString(utf8));
  if (!SpinUntil([&] { return frames.size() > before || closed_; }, ms)) return {};
  return frames.size() > before ? frames[before] : std::string();
}

int ChatClient::WaitClosed(int ms) {
  if (!SpinUntil([this] { return closed_; }, ms)) return -1;
  return socket_->closeCode();
}

std::string AnswerText(const std::string& frame) {
  const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(frame)).object();
  if (object.value("type").toString() != "answer") return {};
  return object.value("text").toString().toStdString();
}

}  // namespace plotrak::testing
