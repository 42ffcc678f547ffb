// Every module of the program beside the engine, created in the start-up order (the local
// conversation, Gadu-Gadu, the chat, the applet server, then the update and the web page) and
// attached to the application's hooks. Each frontend owns one for the whole run; it must be
// created before Application::Start and destroyed after Application::Shutdown.
#pragma once

#include <memory>

namespace plotrak {

class Application;
class LocalConversation;
class GaduGaduChannel;
class ChatChannel;
class AppletServer;
class BaseUpdate;
class WebPageServer;

struct Modules {
  explicit Modules(Application& app);
  ~Modules();

  std::unique_ptr<LocalConversation> local;
  std::unique_ptr<GaduGaduChannel> gaduGadu;
  std::unique_ptr<ChatChannel> chat;
  std::unique_ptr<AppletServer> applet;
  std::unique_ptr<BaseUpdate> update;
  std::unique_ptr<WebPageServer> web;
};

}  // namespace plotrak
