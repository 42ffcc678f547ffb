// The "Rozmowa" tab without its widgets: typed lines, the typewriter, the character animation, speech and the open-program command.
#pragma once

namespace plotrak {

class Application;

class LocalConversation {
 public:
  // Attaches to the application's hooks and model; does no I/O until the application starts.
  explicit LocalConversation(Application& app);
  ~LocalConversation();
  LocalConversation(const LocalConversation&) = delete;
  LocalConversation& operator=(const LocalConversation&) = delete;

 private:
  Application& app_;
};

}  // namespace plotrak
