#include "local/local_conversation.h"

#include "shell/application.h"

namespace plotrak {

LocalConversation::LocalConversation(Application& app) : app_(app) {
  app_.hooks.openProgram = [this](const std::string& line) { return OpenProgramCommand(line); };
  speech_.onUnavailable = [this](const std::string& text) { app_.model.SetStatusBar(text); };
  timer_.setInterval(kTickMs);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

LocalConversation::~LocalConversation() {
  typewriter_.clear();
}

void LocalConversation::TypedLine(const std::string& line) {
  if (!inputEnabled_) return;
  AddPaneLine("TY: " + line);
  AppendPane("PLOTRAK: ");
  openedProgram_ = false;
  const std::string answer = app_.LocalLine(line);
  // an opened program is announced aloud whatever "Synteza Głosu" says
  if (!answer.empty() && (openedProgram_ || app_.model.settings.Flag(SettingId::kLocalSpeech)))
    Speak(answer);
  typewriter_ = answer;
  SetInputEnabled(false);
  if (typewriter_.empty()) {
    Finish();
    return;
  }
  timer_.start();
}

void LocalConversation::Tick() {
  TypewriterTick();
  if (framesLoaded_) AnimationTick();
  // idle, the character rests at frame 0 and the timer has nothing left to do
  if (typewriter_.empty()) timer_.stop();
}

void LocalConversation::TypewriterTick() {
  if (typewriter_.empty()) return;
  if (app_.model.settings.Flag(SettingId::kLocalSlowTyping)) {
    AppendPane(typewriter_.substr(0, 1));
    typewriter_.erase(0, 1);
    if (typewriter_.empty()) Finish();
  } else {
    std::string all;
    all.swap(typewriter_);
    AppendPane(all);
    Finish();
  }
}

void LocalConversation::AnimationTick() {
  frame_ += rising_ ? 1 : -1;
  if (frame_ >= kFrames - 1) {
    frame_ = kFrames - 1;
    rising_ = false;
  } else if (frame_ <= 0) {
    frame_ = 0;
    rising_ = true;
  }
  if (typewriter_.empty() || !app_.model.settings.Flag(SettingId::kLocalAnimation)) {
    frame_ = 0;
    rising_ = true;
  }
  // without the base or the names list there is nothing to animate for
  if (!app_.engine.dataFileFailure && onFrame) onFrame(frame_);
}

void LocalConversation::Finish() {
  AppendPane("\n\n");
  SetInputEnabled(true);
  if (onAnswerWritten) onAnswerWritten();
}

void LocalConversation::SetFramesLoaded(bool loaded) {
  framesLoaded_ = loaded;
  frame_ = 1;
  rising_ = true;
  if (loaded) AnimationTick();
}

void LocalConversation::Speak(const std::string& text) {
  speech_.Say(text);
}

std::optional<std::string> LocalConversation::OpenProgramCommand(const std::string& line) {
  const SettingsValues& settings = app_.model.settings;
  ProgramPairs pairs;
  for (int n = 1; n <= static_cast<int>(pairs.size()); ++n)
    pairs[n - 1] = {settings.Text(ProgramId(n)), settings.Text(ProgramPathId(n))};
  const int chosen = OpenProgramChoice(line, pairs);
  if (chosen < 0) return std::nullopt;
  openedProgram_ = true;
  const bool opened = opener && opener(pairs[chosen].path);
  return (opened ? OpenedText() : CannotOpenText()) + pairs[chosen].name;
}

void LocalConversation::AddPaneLine(const std::string& line) {
  if (!pane_.empty() && pane_.back() != '\n') AppendPane("\n");
  AppendPane(line + "\n");
}

void LocalConversation::ClearPane() {
  pane_.clear();
  if (onPaneReset) onPaneReset();
}

void LocalConversation::AppendPane(const std::string& text) {
  pane_ += text;
  if (pane_.size() > kMaxPane) {
    // keep the newer half, from a line start
    size_t cut = pane_.find('\n', pane_.size() - kMaxPane / 2);
    pane_.erase(0, cut == std::string::npos ? pane_.size() - kMaxPane / 2 : cut + 1);
    if (onPaneReset) onPaneReset();
    return;
  }
  if (onPaneAppend) onPaneAppend(text);
}

void LocalConversation::SetInputEnabled(bool enabled) {
  inputEnabled_ = enabled;
  if (onInputEnabled) onInputEnabled(enabled);
}

}  // namespace plotrak
