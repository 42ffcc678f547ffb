#include "applet/applet_server.h"

#include <QTcpSocket>
#include <algorithm>

#include "applet/applet_connection.h"
#include "applet/www_conversation.h"
#include "engine/cp1250.h"
#include "shell/application.h"
#include "shell/integer_text.h"

namespace plotrak {

AppletServer::AppletServer(Application& app) : app_(app) {
  app_.hooks.connect["www"] = [this] { Start(); };
  app_.hooks.disconnect["www"] = [this] { Stop(); };
  app_.hooks.startWwwServer = [this] { Start(); };
}

AppletServer::~AppletServer() {
  app_.hooks.connect.erase("www");
  app_.hooks.disconnect.erase("www");
  app_.hooks.startWwwServer = nullptr;
  for (AppletConnection* connection : connections_) delete connection;
}

void AppletServer::SetRunning(bool running) {
  app_.model.SetLamp(Lamp::kWww, running ? LampColour::kGreen : LampColour::kGrey);
  app_.model.SetConnected(Connection::kWww, running);
  if (app_.hooks.applyColours) app_.hooks.applyColours();
}

void AppletServer::ShowFailure(const std::string& text) {
  ConversationPage& page = app_.model.wwwPage;
  page.ShowTab(0);
  page.AddTrafficLine("[### " + text + " ###]");
}

void AppletServer::Start() {
  if (listening()) return;
  SetRunning(true);
  int32_t port = -1;
  try {
    port = DecimalOrThrow(app_.model.settings.Text(SettingId::kWwwPort));
  } catch (const std::exception& error) {
    // a port that is no number is a failed start, not a server that seems to run
    app_.ReportError(error);
  }
  if (!server_) {
    server_ = std::make_unique<QTcpServer>();
    // a burst of visitors waits in the system's queue rather than being turned away
    server_->setListenBacklogSize(1024);
    connect(server_.get(), &QTcpServer::newConnection, this, &AppletServer::OnNewConnections);
  }
  if (port < 0 || port > 65535 || !server_->listen(QHostAddress::Any, static_cast<quint16>(port))) {
    ShowFailure(FromUtf8("Błąd: nie mogę postawić serwera"));
    SetRunning(false);
  }
}

void AppletServer::Stop() {
  if (server_) server_->close();
  const std::vector<AppletConnection*> open = connections_;
  for (AppletConnection* connection : open) connection->Abort();
  SetRunning(false);
}

void AppletServer::OnNewConnections() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    if (static_cast<int>(connections_.size()) >= limits_.maxConnections) {
      auto oldest = std::find_if(connections_.begin(), connections_.end(),
                                 [](AppletConnection* c) { return c->waiting(); });
      if (oldest == connections_.end()) {
        socket->abort();
        socket->deleteLater();
        continue;
      }
      (*oldest)->Abort();
    }
    AppletConnection::Handlers handlers;
    handlers.onRequest = [this](const AppletRequest& request) -> std::optional<std::string> {
      if (CleanWwwIdentifier(request.identifier).empty()) return std::nullopt;
      return AppletAnswerBytes(WwwConversation(app_, request.identifier, request.sentence));
    };
    handlers.onError = [this](int code, const QString& text) {
      ShowFailure(FromUtf8("Wystąpił błąd numer ") + std::to_string(code));
      app_.ReportError(FromUtf8(text.toStdString()));
    };
    handlers.onFinished = [this](AppletConnection* connection) { Forget(connection); };
    connections_.push_back(new AppletConnection(socket, limits_.deadlineMs, limits_.maxRequestBytes,
                                                std::move(handlers), this));
  }
}

void AppletServer::Forget(AppletConnection* connection) {
  connections_.erase(std::remove(connections_.begin(), connections_.end(), connection),
                     connections_.end());
  connection->deleteLater();
}

}  // namespace plotrak
