#include "polchat/chat_channel.h"

#include "shell/application.h"

namespace plotrak {

ChatChannel::ChatChannel(Application& app) : app_(app) {}

ChatChannel::~ChatChannel() = default;

}  // namespace plotrak
