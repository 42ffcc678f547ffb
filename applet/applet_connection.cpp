#include "applet/applet_connection.h"

namespace plotrak {

AppletConnection::AppletConnection(QTcpSocket* socket, int deadlineMs, size_t maxRequestBytes,
                                   Handlers handlers, QObject* parent)
    : QObject(parent), socket_(socket), reader_(maxRequestBytes), handlers_(std::move(handlers)) {
  socket_->setParent(this);
  // Qt would otherwise buffer whatever a client sends before we look at it.
  socket_->setReadBufferSize(static_cast<qint64>(maxRequestBytes) + 1);
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this, &AppletConnection::Abort);
  connect(socket_, &QTcpSocket::readyRead, this, &AppletConnection::OnReadable);
  connect(socket_, &QTcpSocket::errorOccurred, this, &AppletConnection::OnPeerClosedOrError);
  connect(socket_, &QTcpSocket::disconnected, this, &AppletConnection::Finish);
  deadline_.start(deadlineMs);
  // bytes may have arrived before the signals were connected
  if (socket_->bytesAvailable() > 0) QTimer::singleShot(0, this, &AppletConnection::OnReadable);
}

void AppletConnection::OnReadable() {
  if (finished_) return;
  const QByteArray bytes = socket_->readAll();
  // after the answer nothing more is read; a read without bytes changes nothing
  if (answered_ || bytes.isEmpty()) return;
  switch (reader_.Add(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))) {
    case AppletRequestReader::State::kWaiting:
      break;
    case AppletRequestReader::State::kTooLong:
      Abort();
      break;
    case AppletRequestReader::State::kComplete:
      Answer(reader_.request());
      break;
  }
}

void AppletConnection::Answer(const AppletRequest& request) {
  answered_ = true;
  const std::optional<std::string> answer = handlers_.onRequest(request);
  if (finished_) return;
  if (!answer) {
    Close();
    return;
  }
  socket_->write(answer->data(), static_cast<qint64>(answer->size()));
  // hand the answer to the system now: a client that has already ended its side must not
  // lose it to the close we are about to see
  socket_->flush();
  Close();
}

void AppletConnection::Close() {
  // waits for the answer to leave; the deadline still cuts a client that never reads it
  socket_->disconnectFromHost();
  if (socket_->state() == QAbstractSocket::UnconnectedState) Finish();
}

void AppletConnection::OnPeerClosedOrError(QAbstractSocket::SocketError error) {
  if (finished_) return;
  if (error != QAbstractSocket::RemoteHostClosedError && handlers_.onError)
    handlers_.onError(static_cast<int>(error), socket_->errorString());
  Abort();
}

void AppletConnection::Abort() {
  if (finished_) return;
  socket_->abort();
  Finish();
}

void AppletConnection::Finish() {
  if (finished_) return;
  finished_ = true;
  deadline_.stop();
  if (handlers_.onFinished) handlers_.onFinished(this);
}

}  // namespace plotrak
