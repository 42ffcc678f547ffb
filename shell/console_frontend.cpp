#include "shell/console_frontend.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <random>

#include "engine/cp1250.h"
#include "engine/incoming_text.h"
#include "shell/application.h"
#include "shell/line_reader.h"
#include "shell/modules.h"
#include "shell/page_line_filter.h"

namespace plotrak {
namespace {

// Texts from the base or from people reach a terminal: no control byte gets through.
void PrintOut(const std::string& cp1250) {
  const std::string text = ToUtf8(WithoutControlBytes(cp1250)) + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void PrintErr(const std::string& prefix, const std::string& cp1250) {
  const std::string text = prefix + ToUtf8(WithoutControlBytes(cp1250)) + "\n";
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

// Lines for a page's tabs go to stderr under the page's prefix.
void FollowPage(ConversationPage& page, const std::string& prefix) {
  auto filter = std::make_shared<PageLineFilter>();
  page.onChange = [&page, prefix, filter](ConversationPage::Change change, int index) {
    if (change != ConversationPage::Change::kLineAdded) return;
    const std::string& line = page.tabs()[index].lines.back();
    if (filter->ShouldPrint(index, line)) PrintErr(prefix, line);
  };
}

// SIGTERM and SIGINT are written into a pipe that the event loop watches: the handler does
// nothing else, and the loop then ends the program as "zamknij" does.
int gSignalPipe[2] = {-1, -1};

void OnStopSignal(int signal) {
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &byte, 1);
  errno = saved;
}

std::unique_ptr<QSocketNotifier> WatchStopSignals() {
  if (gSignalPipe[0] < 0 && ::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return nullptr;
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  auto notifier = std::make_unique<QSocketNotifier>(gSignalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, [] {
    char bytes[16];
    while (::read(gSignalPipe[0], bytes, sizeof bytes) > 0) {
    }
    QCoreApplication::exit(0);
  });
  return notifier;
}

}  // namespace

int RunConsole(const ConsoleOptions& options) {
  // A reader that goes away must not kill the program before "zamknij" has written the
  // settings and the contacts: the answers are then lost, the files are not.
  std::signal(SIGPIPE, SIG_IGN);
  int argc = 1;
  char name[] = "plotrak";
  char* argv[] = {name, nullptr};
  QCoreApplication qt(argc, argv);
  const auto stopSignals = WatchStopSignals();

  SystemClock clock;
  Random random(options.seed ? *options.seed : std::random_device{}());
  Application app(options.dataDir, options.executable, clock, random);
  Modules modules(app);

  app.model.onLocalMemoLine = [](const std::string& line) { PrintOut(line); };
  app.model.onStatusBar = [](const std::string& text) { PrintErr("[status] ", text); };
  FollowPage(app.model.chatPage, "[chat] ");
  FollowPage(app.model.ggPage, "[gg] ");
  FollowPage(app.model.wwwPage, "[www] ");

  if (auto stop = app.Start()) {
    PrintErr("", *stop);
    return 1;
  }
  for (const std::string& channel : options.connect) {
    auto hook = app.hooks.connect.find(channel);
    if (hook != app.hooks.connect.end()) {
      hook->second();
    } else {
      PrintErr("", "plotrak: no channel \"" + channel + "\" to connect in this build");
    }
  }

  QTimer clockTimer, silenceTimer;
  QObject::connect(&clockTimer, &QTimer::timeout, [&app] { app.ClockTick(); });
  QObject::connect(&silenceTimer, &QTimer::timeout, [&app] { app.SilenceTimerTick(); });
  clockTimer.start(1000);
  silenceTimer.start(1000);

  // Each line is handled on the main thread before the next is read, so a fast input stream
  // waits in its pipe instead of in memory. A UTF-8 line longer than any text the program
  // keeps is cut while it is read (four bytes a letter at most).
  auto running = std::make_shared<bool>(true);
  std::unique_ptr<LineReader> reader;
  auto handle = [&app, &options, &reader, running](std::optional<std::string> utf8) {
    if (!*running) return;
    if (!utf8) {
      if (!options.serve) QCoreApplication::exit(0);
      return;
    }
    app.engine.trace.how.clear();
    const std::string answer = app.LocalLine(FromUtf8(*utf8));
    PrintOut("PLOTRAK: " + answer);
    if (options.trace && !app.engine.trace.how.empty()) PrintErr("", app.engine.trace.how);
    reader->Resume();
  };
  reader = std::make_unique<LineReader>(
      STDIN_FILENO, 4 * kMaxIncomingText, [&qt, handle](std::optional<std::string> line) {
        QMetaObject::invokeMethod(
            &qt, [handle, line = std::move(line)] { handle(line); }, Qt::QueuedConnection);
      });

  const int status = qt.exec();
  *running = false;
  reader.reset();
  app.Shutdown();
  return status;
}

}  // namespace plotrak
