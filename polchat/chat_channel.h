// The bot in a Polchat room: the client, private answers, room commands, greetings, the antiflood
// queue and the keep-alive.
#pragma once

namespace plotrak {

class Application;

class ChatChannel {
 public:
  // Attaches to the application's hooks and model; does no I/O until the application starts.
  explicit ChatChannel(Application& app);
  ~ChatChannel();
  ChatChannel(const ChatChannel&) = delete;
  ChatChannel& operator=(const ChatChannel&) = delete;

 private:
  Application& app_;
};

}  // namespace plotrak
