// The chat page and widget served over HTTP and WebSocket, on channel "www".
#pragma once

namespace plotrak {

class Application;

class WebPageServer {
 public:
  // Attaches to the application's hooks and model; does no I/O until the application starts.
  explicit WebPageServer(Application& app);
  ~WebPageServer();
  WebPageServer(const WebPageServer&) = delete;
  WebPageServer& operator=(const WebPageServer&) = delete;

 private:
  Application& app_;
};

}  // namespace plotrak
