#include "window/window_frontend.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <random>

#include "engine/cp1250.h"
#include "local/local_conversation.h"
#include "shell/application.h"
#include "shell/modules.h"
#include "shell/running_program.h"
#include "update/base_update.h"
#include "window/display_check.h"
#include "window/main_window.h"
#include "window/qt_text.h"

namespace plotrak {
namespace {

// Qt ends the process with a fatal message when its platform plugin cannot start; the
// program says what to do instead and leaves with status 2, without a core dump.
void FatalToExit(QtMsgType type, const QMessageLogContext&, const QString& message) {
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", NoDisplayLine("the window system could not be started").c_str());
    std::fflush(stderr);
    std::_Exit(2);
  }
}

// PLOTRAK_SCREENSHOT_DIR: save a picture of each tab at the default size and at 800x600,
// then end as "zamknij" does. For the screenshots script.
void SaveScreenshots(TForm1& window, LocalConversation& local, const QString& folder) {
  QDir().mkpath(folder);
  // a short conversation, so the pictures show the panes in use
  local.TypedLine(FromUtf8("cześć"));
  while (local.writing()) local.Tick();
  const QSize sizes[] = {window.size(), QSize(800, 600)};
  for (const QSize& size : sizes) {
    window.resize(size);
    auto save = [&](const QString& name) {
      for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
      window.grab().save(QStringLiteral("%1/%2-%3x%4.png")
                             .arg(folder, name)
                             .arg(window.width())
                             .arg(window.height()));
    };
    for (int tab = 0; tab < window.pagecontrol->count(); ++tab) {
      window.pagecontrol->setCurrentIndex(tab);
      save(QStringLiteral("tab%1").arg(tab + 1));
      // the settings' second inner tab as well
      if (auto* inner = window.pagecontrol->widget(tab)->findChild<QTabWidget*>();
          inner && tab == 1) {
        inner->setCurrentIndex(1);
        save(QStringLiteral("tab2b"));
        inner->setCurrentIndex(0);
      }
    }
  }
}

}  // namespace

int RunWindow(const ConsoleOptions& options) {
  if (const std::string reason = MissingDisplayReason(); !reason.empty()) {
    std::fprintf(stderr, "%s\n", NoDisplayLine(reason).c_str());
    return 2;
  }
  int argc = 1;
  char name[] = "plotrak";
  char* argv[] = {name, nullptr};
  QtMessageHandler previous = qInstallMessageHandler(FatalToExit);
  QApplication qt(argc, argv);
  qInstallMessageHandler(previous);
  QApplication::setApplicationName(QStringLiteral("plotrak"));
  QApplication::setDesktopFileName(QStringLiteral("plotrak"));
  // hidden in the notification area, the program goes on until "zamknij"
  QApplication::setQuitOnLastWindowClosed(false);

  SystemClock clock;
  Random random(options.seed ? *options.seed : std::random_device{}());
  Application app(options.dataDir, options.executable, clock, random);
  Modules modules(app);
  TForm1 window(app, *modules.local);
  modules.update->onChange = [&window, &update = *modules.update] {
    static constexpr uint32_t kRgb[] = {0x000000, 0x00AF00, 0xFF0000};  // black, green, red
    window.SetUpdateColour(kRgb[static_cast<int>(update.statusColour())]);
  };

  if (auto stop = app.Start()) {
    QMessageBox::critical(nullptr, QStringLiteral("STOP"), ToQt(*stop));
    return 1;
  }
  window.AfterStart();
  window.ApplyColours();
  window.show();
  RunningProgram running(
      app, options.connect,
      [](const std::string& line) { std::fprintf(stderr, "%s\n", ToUtf8(line).c_str()); },
      [&window] { window.Quit(); });

  const QString shots = qEnvironmentVariable("PLOTRAK_SCREENSHOT_DIR");
  if (!shots.isEmpty()) {
    QTimer::singleShot(300, &window, [&window, &modules, shots] {
      SaveScreenshots(window, *modules.local, shots);
      window.Quit();
    });
  }
  return qt.exec();
}

}  // namespace plotrak
