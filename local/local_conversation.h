// The "Rozmowa" tab without its widgets: typed lines, the typewriter, the character
// animation, speech and the open-program command. The window draws the pane, the input
// field's state and the frame index from here and follows the callbacks; tests drive it
// with a QCoreApplication and its timer, or call Tick() themselves.
#pragma once

#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "local/open_program.h"
#include "local/speech.h"

namespace plotrak {

class Application;

class LocalConversation {
 public:
  // Attaches the open-program command to the application's hooks; does no I/O until the
  // application starts. `app` must outlive this object.
  explicit LocalConversation(Application& app);
  ~LocalConversation();
  LocalConversation(const LocalConversation&) = delete;
  LocalConversation& operator=(const LocalConversation&) = delete;

  // Enter in the input field: "TY: " + line and "PLOTRAK: " go to the pane, the line is
  // answered (Application::LocalLine) and the answer is typed out; the input field stays
  // disabled until it is written. Ignored while the field is disabled.
  void TypedLine(const std::string& line);

  // One 80 ms step of the typewriter and then of the animation. The object's own timer
  // calls it while an answer is being written.
  void Tick();
  static constexpr int kTickMs = 80;

  // The conversation pane, Windows-1250, lines ended by '\n'. Kept under kMaxPane bytes by
  // dropping its oldest lines.
  const std::string& pane() const { return pane_; }
  void AddPaneLine(const std::string& line);  // a whole line of its own
  void ClearPane();
  static constexpr size_t kMaxPane = 1 << 20;

  bool inputEnabled() const { return inputEnabled_; }
  bool writing() const { return !typewriter_.empty(); }

  // The window loaded all seven pictures: the animation runs from frame 1 upwards.
  // Without it the character stays still and no frame is ever drawn.
  void SetFramesLoaded(bool loaded);
  bool framesLoaded() const { return framesLoaded_; }
  int frame() const { return frame_; }  // 0..6
  bool frameRising() const { return rising_; }
  static constexpr int kFrames = 7;

  // Reads the text aloud (the next text stops this one).
  void Speak(const std::string& text);
  Speech& speech() { return speech_; }

  // Opens a configured path; true on success. The desktop's open action by default;
  // tests put a recorder here.
  std::function<bool(const std::string& path)> opener = OpenWithDesktop;

  // For the view. Texts are Windows-1250.
  std::function<void(const std::string& text)> onPaneAppend;  // text added at the end
  std::function<void()> onPaneReset;                          // redraw the whole pane
  std::function<void(bool enabled)> onInputEnabled;
  std::function<void()> onAnswerWritten;   // the answer is out (the window may focus the field)
  std::function<void(int frame)> onFrame;  // draw frame "t" + index

 private:
  std::optional<std::string> OpenProgramCommand(const std::string& line);
  void AppendPane(const std::string& text);
  void TypewriterTick();
  void AnimationTick();
  void Finish();
  void SetInputEnabled(bool enabled);

  Application& app_;
  Speech speech_;
  QTimer timer_;
  std::string pane_;
  std::string typewriter_;
  bool inputEnabled_ = true;
  bool openedProgram_ = false;
  bool framesLoaded_ = false;
  int frame_ = 0;
  bool rising_ = true;
};

}  // namespace plotrak
