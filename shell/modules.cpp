#include "shell/modules.h"

#include "applet/applet_server.h"
#include "gadugadu/gg_channel.h"
#include "local/local_conversation.h"
#include "polchat/chat_channel.h"
#include "shell/application.h"
#include "update/base_update.h"
#include "web/web_page_server.h"

namespace plotrak {

Modules::Modules(Application& app)
    : local(std::make_unique<LocalConversation>(app)),
      gaduGadu(std::make_unique<GaduGaduChannel>(app)),
      chat(std::make_unique<ChatChannel>(app)),
      applet(std::make_unique<AppletServer>(app)),
      update(std::make_unique<BaseUpdate>(app)),
      web(std::make_unique<WebPageServer>(app)) {}

// Channels go in the reverse order of their creation.
Modules::~Modules() {
  web.reset();
  update.reset();
  applet.reset();
  chat.reset();
  gaduGadu.reset();
  local.reset();
}

}  // namespace plotrak
