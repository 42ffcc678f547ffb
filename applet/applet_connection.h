// One client of the applet server: collects its request, hands it over once, writes the
// answer and closes. Owns its socket and its deadline.
#pragma once

#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <string>

#include "applet/applet_request.h"

namespace plotrak {

class AppletConnection : public QObject {
  Q_OBJECT
 public:
  struct Handlers {
    // The answer to a complete request (called at most once per connection), or nothing to
    // close without an answer.
    std::function<std::optional<std::string>(const AppletRequest&)> onRequest;
    // A socket error other than the peer's closing (Qt reports a reset as a close too).
    std::function<void(int code, const QString& text)> onError;
    // The connection is over; the owner may delete it later (never inside this call).
    std::function<void(AppletConnection*)> onFinished;
  };

  // Takes the socket (reparented to this object). The whole exchange must end within
  // `deadlineMs` of now: a client that sends too little, or never reads its answer, is cut
  // off then. More than `maxRequestBytes` is closed without an answer.
  AppletConnection(QTcpSocket* socket, int deadlineMs, size_t maxRequestBytes, Handlers handlers,
                   QObject* parent);

  // Still waiting for its request (not answering or closing).
  bool waiting() const { return !answered_ && !finished_; }
  // Cuts the connection at once.
  void Abort();

 private:
  void OnReadable();
  void OnPeerClosedOrError(QAbstractSocket::SocketError error);
  void Answer(const AppletRequest& request);
  void Close();
  void Finish();

  QTcpSocket* socket_;
  QTimer deadline_;
  AppletRequestReader reader_;
  Handlers handlers_;
  bool answered_ = false;
  bool finished_ = false;
};

}  // namespace plotrak
