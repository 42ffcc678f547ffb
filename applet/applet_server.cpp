#include "applet/applet_server.h"

#include "shell/application.h"

namespace plotrak {

AppletServer::AppletServer(Application& app) : app_(app) {}

AppletServer::~AppletServer() = default;

}  // namespace plotrak
