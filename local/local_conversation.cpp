#include "local/local_conversation.h"

#include "shell/application.h"

namespace plotrak {

LocalConversation::LocalConversation(Application& app) : app_(app) {}

LocalConversation::~LocalConversation() = default;

}  // namespace plotrak
