#include "web/web_chat_session.h"

#include "applet/www_conversation.h"
#include "engine/cp1250.h"
#include "engine/incoming_text.h"
#include "shell/application.h"
#include "web/rate_limiter.h"
#include "web/web_policy.h"

namespace plotrak {
namespace {

// More unsent output than this means the browser does not read its answers.
constexpr qint64 kMaxUnsentBytes = 1 << 20;
// Refused messages in a row after which the conversation is closed.
constexpr int kMaxRefusedInARow = 50;

int LetterMs(const Application& app) {
  const std::string& text = app.model.settings.Text(SettingId::kLetterTime);
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
    return 180;
  return std::min(std::stoi(text), 2000);
}

}  // namespace

WebChatSession::WebChatSession(std::unique_ptr<QWebSocket> socket, bool allowed,
                               std::string identifier, ChatSessionContext& context, QObject* parent)
    : QObject(parent),
      socket_(std::move(socket)),
      identifier_(std::move(identifier)),
      peer_(socket_->peerAddress().toString().toStdString()),
      context_(context) {
  socket_->setMaxAllowedIncomingMessageSize(16 * 1024);
  socket_->setMaxAllowedIncomingFrameSize(16 * 1024);
  connect(socket_.get(), &QWebSocket::disconnected, this, &QObject::deleteLater);
  if (socket_->state() != QAbstractSocket::ConnectedState) {
    deleteLater();
    return;
  }
  if (!allowed) {
    Close(4003, "origin");
    return;
  }
  if (identifier_.empty()) {
    Close(4000, "identifier");
    return;
  }
  connect(socket_.get(), &QWebSocket::textMessageReceived, this, &WebChatSession::OnText);
  connect(socket_.get(), &QWebSocket::binaryMessageReceived, this,
          [this] { Close(1003, "text only"); });
  idle_.setSingleShot(true);
  connect(&idle_, &QTimer::timeout, this, [this] { Close(4008, "idle"); });
  idle_.start(context_.idleMs);
}

WebChatSession::~WebChatSession() {
  if (socket_) socket_->disconnect(this);
}

void WebChatSession::GoingAway() {
  Close(1001, "server stopped");
}

void WebChatSession::Close(int code, const char* reason) {
  if (closing_) return;
  closing_ = true;
  idle_.stop();
  socket_->close(static_cast<QWebSocketProtocol::CloseCode>(code), QString::fromLatin1(reason));
  // A peer that never answers the close frame is cut off.
  QTimer::singleShot(3000, this, [this] {
    socket_->abort();
    deleteLater();
  });
}

void WebChatSession::Send(const std::string& frame) {
  socket_->sendTextMessage(QString::fromStdString(frame));
  if (socket_->bytesToWrite() > kMaxUnsentBytes) {
    socket_->abort();
    deleteLater();
  }
}

void WebChatSession::OnText(const QString& message) {
  if (closing_) return;
  idle_.start(context_.idleMs);
  if (!context_.rate.Allow(peer_, context_.nowMs())) {
    if (++refusedInARow_ > kMaxRefusedInARow) return Close(4029, "too fast");
    return Send(NoticeFrame("rate"));
  }
  refusedInARow_ = 0;
  const QByteArray utf8 = message.toUtf8();
  const std::string_view bytes(utf8.constData(), static_cast<size_t>(utf8.size()));
  if (CountCodePoints(bytes) > kMaxWebMessage) return Send(NoticeFrame("too-long"));
  const std::string sentence = CleanIncomingText(FromUtf8(bytes));
  if (sentence.find_first_not_of(' ') == std::string::npos) return Send(NoticeFrame("empty"));
  const std::string answer = WwwConversation(context_.app, identifier_, sentence);
  Send(AnswerFrame(ToUtf8(answer), LetterMs(context_.app)));
}

}  // namespace plotrak
