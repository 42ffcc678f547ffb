// The chat page and the embeddable widget, served over HTTP and WebSocket on channel "www".
//
// Routes: "/" the chat page, "/widget.js" the script of both the page and the widget a site
// embeds with one <script> tag, "/plotrak.css" its style sheet, "/frames/1.jpg".."7.jpg" the
// character, "/ws" the conversation (WebSocket, "?id=" the browser's conversation identifier).
// Everything comes from the program's resources; nothing is read from the file system.
//
// Settings: "port strony" (the port; 0 picks a free one), "strona przy starcie" (start on the
// first turn of the event loop after Application::Start: a zero-delay timer set up by the
// constructor checks the key then), "dozwolone strony" (origins that may embed the widget,
// read again for every new conversation). Buttons: hooks.connect["web"] / disconnect["web"];
// state: Lamp::kWebPage and Connection::kWebPage.
#pragma once

#include <QtGlobal>
#include <memory>

#include "web/guarded_tcp_server.h"

namespace plotrak {

class Application;

struct WebLimits {
  ConnectionLimits connections;
  double messagesPerSecond = 5;  // per peer address
  double messageBurst = 5;
  int idleMs = 300000;  // a conversation without a message
};

class WebPageServer {
 public:
  // Attaches to the application's hooks and model; does no I/O until the application starts.
  explicit WebPageServer(Application& app);
  ~WebPageServer();
  WebPageServer(const WebPageServer&) = delete;
  WebPageServer& operator=(const WebPageServer&) = delete;

  // "włącz": listens on all addresses on "port strony". On failure the lamp turns red and
  // the " WWW  " page says why; returns whether it listens.
  bool Start();
  // "wyłącz": stops listening and ends the open conversations.
  void Stop();
  bool running() const;
  // The port it listens on (0 while stopped).
  quint16 port() const;
  // Open connections (HTTP and WebSocket).
  int OpenConnections() const;

  // Takes effect at the next Start.
  void SetLimits(const WebLimits& limits);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace plotrak
