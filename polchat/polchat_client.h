// The Polchat client with its transport: a TCP session (direct, through a SOCKS 5 proxy
// with Qt's proxy support, or through a SOCKS 4 proxy with a handshake of our own), or the
// HTTP tunnel. Runs on the thread that owns it; every outcome arrives as an event of
// PolchatProtocol, and nothing is thrown to the owner.
#pragma once

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

#include "polchat/polchat_protocol.h"

class QNetworkReply;

namespace plotrak::polchat {

class TPolchatClient : public PolchatProtocol {
 public:
  TPolchatClient();
  ~TPolchatClient() override;

  bool HTTPConnection() const { return httpConnection_; }
  // Taken only while not connected.
  void SetHTTPConnection(bool value);
  // True while the TCP session is established; always false in tunnel mode.
  bool GetConnected() const override;

  // Opens a session in the mode HTTPConnection selects and returns at once. A server name
  // that does not resolve ends the attempt without any event; any other failure raises
  // OnErrorMsg and then OnPolchatDisconnected("***"). A session already open or opening is
  // left as it is.
  void Connect();

  // Milliseconds a TCP connection attempt may take before it counts as timed out.
  int connectTimeoutMs = 30000;
  // Milliseconds between two polls of the tunnel.
  int tunnelPollMs = 5000;

  // Frames waiting to be written beyond this are refused: a server that stops reading must
  // not make the client buffer without end.
  static constexpr qint64 kMaxPendingWrite = 1 << 20;

 protected:
  bool SendRaw(const std::string& frames) override;

 private:
  enum class State { kIdle, kConnecting, kSocks4, kLoggedIn, kTunnelOpening, kTunnel };

  void ConnectTcp();
  void ConnectTunnel();
  void OnTcpConnected();
  void OnReadyRead();
  void OnSocketError(QAbstractSocket::SocketError error);
  void OnTcpClosed();
  // Feeds bytes to the protocol; a broken stream drops the session. False when dropped.
  bool Take(const QByteArray& bytes);
  void DropForBadFrame();
  void Poll();
  void PollDone();
  QString TunnelUrl(const QString& query) const;
  qint64 SecondsSinceStart() const;

  State state_ = State::kIdle;
  bool httpConnection_ = false;
  std::unique_ptr<QTcpSocket> socket_;
  QTimer connectTimer_;
  std::string socksReply_;
  QNetworkAccessManager http_;
  QTimer pollTimer_;
  QNetworkReply* pending_ = nullptr;  // the tunnel request in progress
  std::string outgoing_;              // tunnel frames for the next poll
};

}  // namespace plotrak::polchat
