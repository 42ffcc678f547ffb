#include "polchat/polchat_test_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace plotrak::polchat::testing {

std::optional<Packet> DecodePacket(std::string_view payload) {
  const auto n = U16At(payload, 0), s = U16At(payload, 2);
  if (!n || !s) return std::nullopt;
  Packet packet;
  size_t at = 4;
  for (int i = 0; i < *n; ++i, at += 2) {
    const auto value = U16At(payload, at);
    if (!value) return std::nullopt;
    packet.ints.push_back(*value);
  }
  for (int i = 0; i < *s; ++i) {
    auto text = StringAt(payload, at);
    if (!text) return std::nullopt;
    packet.strings.push_back(std::move(*text));
  }
  return packet;
}

PolchatTestServer::PolchatTestServer(uint32_t seed) : random_(seed) {
  server_.listen(QHostAddress::LocalHost, 0);
  QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
      if (client_) {
        socket->abort();
        socket->deleteLater();
        continue;
      }
      client_ = socket;
      client_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
      reassembler_.Reset();
      QObject::connect(client_, &QTcpSocket::readyRead, client_, [this] {
        const QByteArray bytes = client_->readAll();
        const bool ok = reassembler_.Feed(
            std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
            [this](std::string_view payload) {
              if (auto packet = DecodePacket(payload)) {
                received_.push_back(std::move(*packet));
              } else {
                broken_ = true;
              }
            });
        if (!ok) broken_ = true;
      });
      QObject::connect(client_, &QTcpSocket::disconnected, client_, [this] {
        client_->deleteLater();
        client_ = nullptr;
        pending_.clear();
      });
    }
  });
  QObject::connect(&writer_, &QTimer::timeout, &writer_, [this] { WritePiece(); });
}

PolchatTestServer::~PolchatTestServer() {
  if (client_) {
    client_->disconnect();
    client_->abort();
    delete client_;
  }
}

std::vector<std::string> PolchatTestServer::Texts() const {
  std::vector<std::string> texts;
  for (const Packet& packet : received_)
    if (packet.opcode() == 410 && !packet.strings.empty()) texts.push_back(packet.strings[0]);
  return texts;
}

void PolchatTestServer::Send(const std::string& bytes) {
  pending_ += bytes;
  if (!writer_.isActive()) writer_.start(1);
}

void PolchatTestServer::SendPeople(const std::vector<std::string>& nicks) {
  std::string payload = BuildPayload({619, 0, 0, 0, 0}, {});
  payload[3] = static_cast<char>(nicks.size() & 0xFF);
  payload[2] = static_cast<char>(nicks.size() >> 8);
  payload[1] = static_cast<char>(5 + 2 * nicks.size());
  payload[0] = static_cast<char>((5 + 2 * nicks.size()) >> 8);
  for (size_t i = 0; i < nicks.size(); ++i) payload += std::string("\0\1\0\0", 4);
  for (const std::string& nick : nicks) {
    payload.push_back(static_cast<char>(nick.size() >> 8));
    payload.push_back(static_cast<char>(nick.size() & 0xFF));
    payload += nick;
    payload.push_back('\0');
  }
  Send(Frame(payload));
}

void PolchatTestServer::CloseClient() {
  closeWhenWritten_ = true;
  if (!writer_.isActive()) writer_.start(1);
}

void PolchatTestServer::WritePiece() {
  if (!client_) {
    writer_.stop();
    return;
  }
  if (!pending_.empty()) {
    std::uniform_int_distribution<size_t> size(1, std::min<size_t>(pending_.size(), 700));
    const size_t n = size(random_);
    client_->write(pending_.data(), static_cast<qint64>(n));
    client_->flush();
    pending_.erase(0, n);
    return;
  }
  writer_.stop();
  if (closeWhenWritten_) {
    closeWhenWritten_ = false;
    client_->disconnectFromHost();
  }
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < timeoutMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return done();
}

}  // namespace plotrak::polchat::testing
