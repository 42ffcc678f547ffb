// What both frontends do once the application has started, so the window and the console
// behave the same: "Połącz" of the channels named on the command line, the one-second clock
// and the silence timer, and SIGTERM / SIGINT ending the program as "zamknij" does.
#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plotrak {

class Application;

class RunningProgram {
 public:
  // `connect`: channel names whose connect hook is called now; an unknown one is told
  // through `complain`. `stop` runs on the event loop when SIGTERM or SIGINT arrives; it
  // must end the program as "zamknij" does. Lives for the rest of the run.
  RunningProgram(Application& app, const std::vector<std::string>& connect,
                 const std::function<void(const std::string&)>& complain,
                 std::function<void()> stop);
  ~RunningProgram();

 private:
  QTimer clock_;
  QTimer silence_;
  std::unique_ptr<QSocketNotifier> stopSignals_;
  std::function<void()> stop_;
};

}  // namespace plotrak
