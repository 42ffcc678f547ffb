#include "shell/console_frontend.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QMetaObject>
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
#include "shell/running_program.h"

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
  RunningProgram running(
      app, options.connect, [](const std::string& line) { PrintErr("", line); },
      [] { QCoreApplication::exit(0); });

  // Each line is handled on the main thread before the next is read, so a fast input stream
  // waits in its pipe instead of in memory. A UTF-8 line longer than any text the program
  // keeps is cut while it is read (four bytes a letter at most).
  auto reading = std::make_shared<bool>(true);
  std::unique_ptr<LineReader> reader;
  auto handle = [&app, &options, &reader, reading](std::optional<std::string> utf8) {
    if (!*reading) return;
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
  *reading = false;
  reader.reset();
  app.Shutdown();
  return status;
}

}  // namespace plotrak
