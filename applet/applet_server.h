// The web applet server: one request per connection, answered on channel "www".
#pragma once

namespace plotrak {

class Application;

class AppletServer {
 public:
  // Attaches to the application's hooks and model; does no I/O until the application starts.
  explicit AppletServer(Application& app);
  ~AppletServer();
  AppletServer(const AppletServer&) = delete;
  AppletServer& operator=(const AppletServer&) = delete;

 private:
  Application& app_;
};

}  // namespace plotrak
