#include "shell/console_frontend.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <random>
#include <thread>

#include "engine/cp1250.h"
#include "shell/application.h"
#include "shell/modules.h"
#include "shell/page_line_filter.h"

namespace plotrak {
namespace {

void PrintOut(const std::string& cp1250) {
  const std::string text = ToUtf8(cp1250) + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void PrintErr(const std::string& prefix, const std::string& cp1250) {
  const std::string text = prefix + ToUtf8(cp1250) + "\n";
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

}  // namespace

int RunConsole(const ConsoleOptions& options) {
  // A reader that goes away must not kill the program before "zamknij" has written the
  // settings and the contacts: the answers are then lost, the files are not.
  std::signal(SIGPIPE, SIG_IGN);
  int argc = 1;
  char name[] = "plotrak";
  char* argv[] = {name, nullptr};
  QCoreApplication qt(argc, argv);

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

  // stdin is read on its own thread so that a blocking read never stalls the timers and
  // sockets; every line is handled on the main thread, in order.
  std::thread reader([&app, &options, &qt] {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      QMetaObject::invokeMethod(
          &qt,
          [&app, &options, text = FromUtf8(line)] {
            app.engine.trace.how.clear();
            const std::string answer = app.LocalLine(text);
            PrintOut("PLOTRAK: " + answer);
            if (options.trace && !app.engine.trace.how.empty()) PrintErr("", app.engine.trace.how);
          },
          Qt::QueuedConnection);
    }
    QMetaObject::invokeMethod(
        &qt, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
  });

  const int status = qt.exec();
  reader.join();
  app.Shutdown();
  return status;
}

}  // namespace plotrak
