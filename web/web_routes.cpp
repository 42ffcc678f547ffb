#include "web/web_routes.h"

#include <QFile>
#include <QHttpServer>
#include <QHttpServerResponse>

// Resources of a static library are registered by name from outside any namespace.
static void InitPageResources() {
  Q_INIT_RESOURCE(web_page);
}

namespace plotrak {
namespace {

using Status = QHttpServerResponse::StatusCode;

// The page itself: scripts, styles, images and connections only from this server; no
// framing, no plugins, no form posts, no <base>.
constexpr char kPagePolicy[] =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
    "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
// Everything else is not a document; if a browser renders it anyway it can do nothing.
constexpr char kResourcePolicy[] = "default-src 'none'; frame-ancestors 'none'";

QByteArray Resource(const QString& name) {
  QFile file(":/web/" + name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// Resources other sites load (the widget's script, style and frames) may be used across
// origins; the page may not.
QHttpServerResponse Serve(const QByteArray& mime, const QString& name, bool crossOrigin) {
  QHttpServerResponse response(mime, Resource(name));
  if (crossOrigin) response.setHeader("Cross-Origin-Resource-Policy", "cross-origin");
  return response;
}

}  // namespace

void AddPageRoutes(QHttpServer& server) {
  InitPageResources();
  server.route("/", [] {
    QHttpServerResponse response("text/html; charset=utf-8", Resource("index.html"));
    response.setHeader("Content-Security-Policy", kPagePolicy);
    response.setHeader("X-Frame-Options", "DENY");
    return response;
  });
  server.route("/widget\\.js",
               [] { return Serve("text/javascript; charset=utf-8", "widget.js", true); });
  server.route("/plotrak\\.css",
               [] { return Serve("text/css; charset=utf-8", "plotrak.css", true); });
  for (int frame = 1; frame <= 7; ++frame) {
    const QString name = QString("frame%1.jpg").arg(frame);
    server.route(QString("/frames/%1\\.jpg").arg(frame),
                 [name] { return Serve("image/jpeg", name, true); });
  }
  // An upgrade must get no HTTP answer: the server hands the connection over to the
  // WebSocket side after the route has run. Without an upgrade the route says what it wants.
  server.route("/ws", [](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
    if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0) return;
    responder.write(QByteArray("426 Upgrade Required\n"),
                    {{"Content-Type", "text/plain; charset=utf-8"},
                     {"Upgrade", "websocket"},
                     {"Content-Security-Policy", kResourcePolicy},
                     {"X-Content-Type-Options", "nosniff"}},
                    QHttpServerResponder::StatusCode::UpgradeRequired);
  });
  server.afterRequest([](QHttpServerResponse&& response) {
    if (!response.hasHeader("Content-Security-Policy"))
      response.setHeader("Content-Security-Policy", kResourcePolicy);
    response.setHeader("X-Content-Type-Options", "nosniff");
    response.setHeader("Referrer-Policy", "no-referrer");
    response.setHeader("Cache-Control", "no-cache");
    return std::move(response);
  });
  server.setMissingHandler([](const QHttpServerRequest&, QHttpServerResponder&& responder) {
    responder.write(QByteArray("404 Not Found\n"),
                    {{"Content-Type", "text/plain; charset=utf-8"},
                     {"Content-Security-Policy", kResourcePolicy},
                     {"X-Content-Type-Options", "nosniff"},
                     {"Referrer-Policy", "no-referrer"}},
                    QHttpServerResponder::StatusCode::NotFound);
  });
}

}  // namespace plotrak
