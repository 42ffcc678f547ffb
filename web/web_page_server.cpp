#include "web/web_page_server.h"

#include "shell/application.h"

namespace plotrak {

WebPageServer::WebPageServer(Application& app) : app_(app) {}

WebPageServer::~WebPageServer() = default;

}  // namespace plotrak
