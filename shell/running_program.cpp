#include "shell/running_program.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "shell/application.h"

namespace plotrak {
namespace {

// SIGTERM and SIGINT are written into a pipe that the event loop watches: the handler does
// nothing else, and the loop then ends the program as "zamknij" does.
int gSignalPipe[2] = {-1, -1};

void OnStopSignal(int signal) {
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

RunningProgram::RunningProgram(Application& app, const std::vector<std::string>& connect,
                               const std::function<void(const std::string&)>& complain,
                               std::function<void()> stop)
    : stop_(std::move(stop)) {
  if (gSignalPipe[0] >= 0 || ::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    stopSignals_ = std::make_unique<QSocketNotifier>(gSignalPipe[0], QSocketNotifier::Read);
    QObject::connect(stopSignals_.get(), &QSocketNotifier::activated, [this] {
      char bytes[16];
      while (::read(gSignalPipe[0], bytes, sizeof bytes) > 0) {
      }
      if (stop_) stop_();
    });
  }
  for (const std::string& channel : connect) {
    auto hook = app.hooks.connect.find(channel);
    if (hook != app.hooks.connect.end() && hook->second) {
      hook->second();
    } else {
      complain("plotrak: no channel \"" + channel + "\" to connect in this build");
    }
  }
  QObject::connect(&clock_, &QTimer::timeout, [&app] { app.ClockTick(); });
  QObject::connect(&silence_, &QTimer::timeout, [&app] { app.SilenceTimerTick(); });
  clock_.start(1000);
  silence_.start(1000);
}

RunningProgram::~RunningProgram() {
  // a signal from now on finds nobody to end: the default action is the right one again
  if (stopSignals_) {
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
  }
}

}  // namespace plotrak
