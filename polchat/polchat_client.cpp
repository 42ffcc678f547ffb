#include "polchat/polchat_client.h"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <chrono>

#include "engine/cp1250.h"
#include "polchat/polchat_texts.h"
#include "polchat/socks4.h"

namespace plotrak::polchat {
namespace {

constexpr qint64 kReadPiece = 64 * 1024;
// A tunnel answer longer than this is no answer of a chat server.
constexpr qint64 kMaxTunnelReply = 4 * kMaxFrameLength;

QByteArray Bytes(const std::string& text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TPolchatClient::TPolchatClient() : socket_(std::make_unique<QTcpSocket>()) {
  socket_->setObjectName("Gniazdko");
  QTcpSocket* s = socket_.get();
  QObject::connect(s, &QTcpSocket::connected, s, [this] { OnTcpConnected(); });
  QObject::connect(s, &QTcpSocket::readyRead, s, [this] { OnReadyRead(); });
  QObject::connect(s, &QTcpSocket::errorOccurred, s,
                   [this](QAbstractSocket::SocketError error) { OnSocketError(error); });
  QObject::connect(s, &QTcpSocket::disconnected, s, [this] { OnTcpClosed(); });
  connectTimer_.setSingleShot(true);
  QObject::connect(&connectTimer_, &QTimer::timeout, &connectTimer_,
                   [this] { OnSocketError(QAbstractSocket::SocketTimeoutError); });
  QObject::connect(&pollTimer_, &QTimer::timeout, &pollTimer_, [this] { Poll(); });
  http_.setProxy(QNetworkProxy::NoProxy);
}

TPolchatClient::~TPolchatClient() {
  // no events while the members go away
  state_ = State::kIdle;
  if (pending_) {
    pending_->disconnect();
    pending_->abort();
    pending_->deleteLater();
  }
  socket_->disconnect();
  socket_->abort();
}

void TPolchatClient::SetHTTPConnection(bool value) {
  if (!GetConnected()) httpConnection_ = value;
}

bool TPolchatClient::GetConnected() const {
  return state_ == State::kLoggedIn && socket_->state() == QAbstractSocket::ConnectedState;
}

void TPolchatClient::Connect() {
  if (state_ != State::kIdle) return;
  ResetReassembly();
  if (httpConnection_) {
    ConnectTunnel();
  } else {
    ConnectTcp();
  }
}

void TPolchatClient::ConnectTcp() {
  const bool socks4 = SOCKS.UseProxy && SOCKS.SocksVer == 4;
  if (SOCKS.UseProxy && !socks4) {
    socket_->setProxy(QNetworkProxy(QNetworkProxy::Socks5Proxy,
                                    QString::fromStdString(ToUtf8(SOCKS.ProxyAddress)),
                                    static_cast<quint16>(SOCKS.ProxyPort)));
  } else {
    socket_->setProxy(QNetworkProxy::NoProxy);
  }
  socksReply_.clear();
  state_ = State::kConnecting;
  connectTimer_.start(connectTimeoutMs);
  if (socks4) {
    socket_->connectToHost(QString::fromStdString(ToUtf8(SOCKS.ProxyAddress)),
                           static_cast<quint16>(SOCKS.ProxyPort));
  } else {
    socket_->connectToHost(QString::fromStdString(ToUtf8(Server)),
                           static_cast<quint16>(ServerPort));
  }
}

void TPolchatClient::OnTcpConnected() {
  if (state_ != State::kConnecting) return;
  if (SOCKS.UseProxy && SOCKS.SocksVer == 4) {
    state_ = State::kSocks4;
    socket_->write(Bytes(Socks4Request(ToUtf8(Server), static_cast<uint16_t>(ServerPort))));
    return;
  }
  connectTimer_.stop();
  state_ = State::kLoggedIn;
  SessionEstablished();
}

void TPolchatClient::OnReadyRead() {
  if (state_ == State::kSocks4) {
    while (socksReply_.size() < kSocks4ReplySize && socket_->bytesAvailable() > 0) {
      char c;
      if (socket_->getChar(&c)) socksReply_.push_back(c);
    }
    const std::optional<bool> granted = Socks4Granted(socksReply_);
    if (!granted) return;
    if (!*granted) {
      OnSocketError(QAbstractSocket::ProxyConnectionRefusedError);
      return;
    }
    connectTimer_.stop();
    state_ = State::kLoggedIn;
    SessionEstablished();
  }
  if (state_ != State::kLoggedIn) return;
  // Qt does not emit readyRead again while this runs, so parsing is never re-entered.
  while (state_ == State::kLoggedIn && socket_->bytesAvailable() > 0) {
    if (!Take(socket_->read(kReadPiece))) return;
  }
}

bool TPolchatClient::Take(const QByteArray& bytes) {
  if (Receive(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))) return true;
  DropForBadFrame();
  return false;
}

void TPolchatClient::DropForBadFrame() {
  const bool tunnel = state_ == State::kTunnel;
  state_ = State::kIdle;
  SetDisconnectReason(BadFrameReasonUtf8());
  if (OnErrorMsg) OnErrorMsg(*this, FromUtf8(BadFrameReasonUtf8()));
  if (tunnel) {
    pollTimer_.stop();
  } else {
    socket_->abort();
  }
  SessionClosed();
}

void TPolchatClient::OnSocketError(QAbstractSocket::SocketError error) {
  if (state_ != State::kConnecting && state_ != State::kSocks4) return;  // closing says it
  connectTimer_.stop();
  state_ = State::kIdle;
  if (error == QAbstractSocket::HostNotFoundError) {
    // as the transport always did: an unknown server name ends the attempt quietly
    socket_->abort();
    return;
  }
  switch (error) {
    case QAbstractSocket::SocketTimeoutError:
      AttemptFailed(TimedOutText());
      break;
    case QAbstractSocket::ConnectionRefusedError:
      AttemptFailed(RefusedText());
      break;
    case QAbstractSocket::NetworkError:
      AttemptFailed(UnreachableText());
      break;
    default:
      AttemptFailed(ConnectErrorText(static_cast<int>(error)));
      break;
  }
  socket_->abort();
  SessionClosed();
}

void TPolchatClient::OnTcpClosed() {
  if (state_ == State::kConnecting || state_ == State::kSocks4) {
    OnSocketError(QAbstractSocket::RemoteHostClosedError);
    return;
  }
  if (state_ != State::kLoggedIn) return;
  // what the server said last (its disconnect reason, most often) still counts
  const QByteArray rest = socket_->readAll();
  if (!rest.isEmpty() && !Take(rest)) return;
  state_ = State::kIdle;
  SessionClosed();
}

bool TPolchatClient::SendRaw(const std::string& frames) {
  if (state_ == State::kTunnel || state_ == State::kTunnelOpening) {
    if (outgoing_.size() + frames.size() > static_cast<size_t>(kMaxPendingWrite)) return false;
    outgoing_ += frames;
    return true;
  }
  if (!GetConnected() || socket_->bytesToWrite() > kMaxPendingWrite) return false;
  return socket_->write(Bytes(frames)) == static_cast<qint64>(frames.size());
}

qint64 TPolchatClient::SecondsSinceStart() const {
  using namespace std::chrono;
  return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
}

QString TPolchatClient::TunnelUrl(const QString& query) const {
  return "http://" + QString::fromStdString(ToUtf8(Server)) + "/cgi-bin/tunnel.cgi?" + query +
         "&rand=" + QString::number(SecondsSinceStart());
}

void TPolchatClient::ConnectTunnel() {
  state_ = State::kTunnelOpening;
  outgoing_.clear();
  QNetworkRequest request(QUrl(TunnelUrl("port=" + QString::number(ServerPort) + "&op=connect")));
  pending_ = http_.get(request);
  QObject::connect(pending_, &QNetworkReply::finished, pending_, [this] {
    QNetworkReply* reply = pending_;
    pending_ = nullptr;
    reply->deleteLater();
    if (state_ != State::kTunnelOpening) return;
    if (reply->error() != QNetworkReply::NoError || reply->readAll() != "OK\n") {
      state_ = State::kIdle;
      if (OnPolchatDisconnected) OnPolchatDisconnected(*this, TunnelFailedReasonUtf8());
      return;
    }
    SetTunnelIds(0, 0, 0);
    state_ = State::kTunnel;
    SessionEstablished();
    Poll();
    pollTimer_.start(tunnelPollMs);
  });
}

void TPolchatClient::Poll() {
  if (state_ != State::kTunnel || pending_) return;
  const QByteArray body = Bytes(outgoing_);
  outgoing_.clear();
  QNetworkRequest request(QUrl(
      TunnelUrl("op=data&port=" + QString::number(ServerPort) + "&proc=" + QString::number(proc()) +
                "&con=" + QString::number(con()) + "&check=" + QString::number(check()))));
  request.setHeader(QNetworkRequest::ContentTypeHeader, "application/octet-stream");
  pending_ = http_.post(request, body);
  QObject::connect(pending_, &QNetworkReply::readyRead, pending_, [this] {
    if (pending_ && pending_->bytesAvailable() > kMaxTunnelReply) pending_->abort();
  });
  QObject::connect(pending_, &QNetworkReply::finished, pending_, [this] { PollDone(); });
}

void TPolchatClient::PollDone() {
  QNetworkReply* reply = pending_;
  pending_ = nullptr;
  if (!reply) return;
  reply->deleteLater();
  if (state_ != State::kTunnel) return;
  if (reply->error() == QNetworkReply::NoError) Take(reply->readAll());
}

}  // namespace plotrak::polchat
