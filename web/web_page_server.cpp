#include "web/web_page_server.h"

#include <QElapsedTimer>
#include <QHttpServer>
#include <QPointer>
#include <QTimer>

#include "engine/conversation_log.h"
#include "engine/cp1250.h"
#include "shell/application.h"
#include "web/rate_limiter.h"
#include "web/web_chat_session.h"
#include "web/web_policy.h"
#include "web/web_routes.h"

namespace plotrak {

struct WebPageServer::Impl {
  explicit Impl(Application& app) : app(app) { clock.start(); }

  Application& app;
  WebLimits limits;
  QObject context;  // owns the start-up timer
  QElapsedTimer clock;
  std::unique_ptr<QHttpServer> http;  // also the parent of the listening socket
  QPointer<GuardedTcpServer> listener;
  std::unique_ptr<RateLimiter> rate;
  std::unique_ptr<ChatSessionContext> sessionContext;
  QObject sessions;  // parent of every conversation

  void PageLine(const std::string& utf8) {
    app.model.wwwPage.AddTrafficLine(TimeStamp(app.engine.clock.Now()) + FromUtf8(utf8));
  }

  void ShowState(LampColour lamp, bool on) {
    app.model.SetLamp(Lamp::kWebPage, lamp);
    app.model.SetConnected(Connection::kWebPage, on);
    if (app.hooks.applyColours) app.hooks.applyColours();
  }

  // Ends the conversations and closes the listener; says whether anything was running.
  bool Teardown();

  void OnWebSocket() {
    while (http && http->hasPendingWebSocketConnections()) {
      std::unique_ptr<QWebSocket> socket = http->nextPendingWebSocketConnection();
      if (!socket) continue;
      const QByteArray host = listener
                                  ? listener->UpgradeHost(socket->peerAddress(), socket->peerPort())
                                  : QByteArray();
      const std::string sites = ToUtf8(app.model.settings.Text(SettingId::kWebPageSites));
      const bool allowed =
          !host.isEmpty() && OriginAllowed(socket->origin().toStdString(), host.toStdString(),
                                           ParseAllowedSites(sites));
      std::string id =
          QueryValue(socket->requestUrl().query(QUrl::FullyEncoded).toStdString(), "id");
      if (!ValidConversationId(id)) id.clear();
      new WebChatSession(std::move(socket), allowed, std::move(id), *sessionContext, &sessions);
    }
  }
};

WebPageServer::WebPageServer(Application& app) : impl_(std::make_unique<Impl>(app)) {
  app.hooks.connect["web"] = [this] { Start(); };
  app.hooks.disconnect["web"] = [this] { Stop(); };
  // "strona przy starcie": the application has started by the first turn of the event loop
  // (both frontends create the modules, start the application, then run the loop).
  QTimer::singleShot(0, &impl_->context, [this] {
    if (impl_->app.model.settings.Flag(SettingId::kWebPageStart) && !running()) Start();
  });
}

WebPageServer::~WebPageServer() {
  // The program is ending: the window may be gone, so no state is shown.
  impl_->Teardown();
}

void WebPageServer::SetLimits(const WebLimits& limits) {
  impl_->limits = limits;
}

bool WebPageServer::running() const {
  return impl_->listener && impl_->listener->isListening();
}

quint16 WebPageServer::port() const {
  return running() ? impl_->listener->serverPort() : 0;
}

int WebPageServer::OpenConnections() const {
  return impl_->listener ? impl_->listener->OpenConnections() : 0;
}

bool WebPageServer::Start() {
  Impl& d = *impl_;
  if (running()) return true;
  Stop();
  const std::string text = d.app.model.settings.Text(SettingId::kWebPagePort);
  const bool number = !text.empty() && text.size() <= 5 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  const int port = number ? std::stoi(text) : -1;
  if (port < 0 || port > 65535) {
    d.PageLine("[### Błąd: port strony \"" + ToUtf8(text) + "\" nie jest liczbą 0..65535 ###]");
    d.ShowState(LampColour::kRed, false);
    return false;
  }
  d.rate = std::make_unique<RateLimiter>(d.limits.messagesPerSecond, d.limits.messageBurst);
  d.sessionContext.reset(
      new ChatSessionContext{d.app, *d.rate, d.limits.idleMs, [&d] { return d.clock.elapsed(); }});
  d.http = std::make_unique<QHttpServer>();
  AddPageRoutes(*d.http);
  QObject::connect(d.http.get(), &QAbstractHttpServer::newWebSocketConnection, &d.context,
                   [&d] { d.OnWebSocket(); });
  auto* listener = new GuardedTcpServer(d.http.get());
  listener->SetLimits(d.limits.connections);
  if (!listener->listen(QHostAddress::Any, static_cast<quint16>(port))) {
    const std::string reason = listener->errorString().toStdString();
    d.http.reset();
    d.PageLine("[### Błąd: nie mogę postawić strony na porcie " + std::to_string(port) + " (" +
               reason + ") ###]");
    d.ShowState(LampColour::kRed, false);
    return false;
  }
  d.http->bind(listener);
  d.listener = listener;
  d.PageLine("[### Strona czatu działa na porcie " + std::to_string(listener->serverPort()) +
             " ###]");
  d.ShowState(LampColour::kGreen, true);
  return true;
}

void WebPageServer::Stop() {
  if (impl_->Teardown()) impl_->ShowState(LampColour::kGrey, false);
}

bool WebPageServer::Impl::Teardown() {
  Impl& d = *this;
  const bool wasRunning = d.http != nullptr;
  for (auto* session : d.sessions.findChildren<WebChatSession*>(Qt::FindDirectChildrenOnly)) {
    session->GoingAway();
    delete session;  // closes its socket
  }
  if (d.listener) d.listener->close();
  d.listener = nullptr;
  d.http.reset();  // its connections go with it
  d.sessionContext.reset();
  d.rate.reset();
  return wasRunning;
}

}  // namespace plotrak
