// web_bench: 200 browser conversations at once over WebSocket on loopback against the page
// server in this process, each sending a fixed number of messages one after another (the
// next when the answer has come). Reports replies per second, latency percentiles and lost
// answers. The per-address limits are lifted: every client comes from 127.0.0.1. The clients
// run on a second thread; the server, as in the program, on the main one.
//
//   web_bench [--clients N] [--messages M] [--base baza.ptk --names imiona.ptk]
//
// Without --base it uses baza.ptk and imiona.ptk beside the program (copied to a scratch
// folder, so nothing is written next to it).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QWebSocket>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "applet/www_conversation.h"
#include "engine/clock.h"
#include "engine/cp1250.h"
#include "engine/random.h"
#include "engine/test_support.h"
#include "shell/application.h"
#include "web/web_page_server.h"
#include "web/web_test_support.h"

namespace {

const char* const kMessages[] = {
    "cześć",          "jak masz na imię?", "co robisz",   "ile to jest dwa plus dwa",
    "lubisz muzykę?", "opowiedz dowcip",   "skąd jesteś", "pa pa"};

struct Client {
  std::unique_ptr<QWebSocket> socket;
  int sent = 0, received = 0;
  qint64 sentAt = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication qt(argc, argv);
  namespace fs = std::filesystem;
  int clients = 200, messages = 20;
  fs::path base = fs::path(argv[0]).parent_path() / "baza.ptk";
  fs::path names = fs::path(argv[0]).parent_path() / "imiona.ptk";
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--clients")
      clients = std::max(1, std::atoi(argv[i + 1]));
    else if (arg == "--messages")
      messages = std::max(1, std::atoi(argv[i + 1]));
    else if (arg == "--base")
      base = argv[i + 1];
    else if (arg == "--names")
      names = argv[i + 1];
  }
  plotrak::testing::ScratchDir dir;
  std::error_code error;
  const bool copied = fs::copy_file(base, dir.path() / "baza.ptk", error) &&
                      fs::copy_file(names, dir.path() / "imiona.ptk", error);
  if (!copied) {
    std::fprintf(stderr, "web_bench: cannot copy %s and %s\n", base.c_str(), names.c_str());
    return 1;
  }
  plotrak::SystemClock clock;
  plotrak::Random random(1);
  plotrak::Application app(dir.path(), dir.path() / "plotrak", clock, random);
  plotrak::WebPageServer server(app);
  if (app.Start()) return 1;
  app.model.settings.SetText(plotrak::SettingId::kWebPagePort, "0");
  plotrak::WebLimits limits;
  limits.messagesPerSecond = limits.messageBurst = 1e9;
  limits.connections.maxConnections = limits.connections.maxPerAddress = clients + 16;
  server.SetLimits(limits);
  if (!server.Start()) return 1;
  const quint16 port = server.port();
  const QString origin = QString("http://127.0.0.1:%1").arg(port);

  // The browsers run on a thread of their own, so the server's thread does only the
  // server's work.
  std::vector<qint64> latencies;
  latencies.reserve(static_cast<size_t>(clients) * messages);
  const long expected = static_cast<long>(clients) * messages;
  std::atomic<bool> finished{false};
  int open = 0;
  qint64 start = 0, end = 0;
  QThread* browsers = QThread::create([&] {
    QEventLoop loop;
    QElapsedTimer clockMs;
    clockMs.start();
    std::vector<Client> all(clients);
    auto sendNext = [&](Client& c) {
      c.sentAt = clockMs.nsecsElapsed();
      c.socket->sendTextMessage(QString::fromUtf8(kMessages[c.sent % std::size(kMessages)]));
      ++c.sent;
    };
    for (int i = 0; i < clients; ++i) {
      Client& c = all[i];
      c.socket = std::make_unique<QWebSocket>(origin);
      QObject::connect(c.socket.get(), &QWebSocket::connected, [&] {
        if (++open < clients) return;
        start = clockMs.nsecsElapsed();
        for (Client& each : all) sendNext(each);
      });
      QObject::connect(c.socket.get(), &QWebSocket::textMessageReceived,
                       [&, i](const QString& frame) {
                         Client& me = all[i];
                         if (!frame.startsWith("{\"type\":\"answer\"")) return;
                         latencies.push_back(clockMs.nsecsElapsed() - me.sentAt);
                         ++me.received;
                         if (me.sent < messages) sendNext(me);
                         if (static_cast<long>(latencies.size()) == expected) loop.quit();
                       });
      c.socket->open(
          QUrl(QString("ws://127.0.0.1:%1/ws?id=bench-%2").arg(port).arg(i, 6, 10, QChar('0'))));
    }
    QTimer::singleShot(300000, &loop, &QEventLoop::quit);
    loop.exec();
    end = clockMs.nsecsElapsed();
    finished = true;
  });
  browsers->start();
  plotrak::testing::SpinUntil([&] { return finished.load(); }, 310000);
  browsers->wait();
  delete browsers;
  if (open < clients)
    std::fprintf(stderr, "web_bench: only %d of %d conversations opened\n", open, clients);
  const double seconds = static_cast<double>(end - start) / 1e9;
  std::sort(latencies.begin(), latencies.end());
  auto percentile = [&](double p) {
    if (latencies.empty()) return 0.0;
    const size_t index = std::min(latencies.size() - 1, static_cast<size_t>(p * latencies.size()));
    return static_cast<double>(latencies[index]) / 1e6;
  };
  const long lost = expected - static_cast<long>(latencies.size());
  std::printf("conversations %d, messages each %d, answers %zu of %ld (lost %ld)\n", clients,
              messages, latencies.size(), expected, lost);
  std::printf("%.0f replies/s over %.2f s; latency p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
              static_cast<double>(latencies.size()) / seconds, seconds, percentile(0.50),
              percentile(0.99), percentile(1.0));
  server.Stop();
  // The same answers without the network, for comparison: what the engine alone costs.
  QElapsedTimer direct;
  direct.start();
  for (long n = 0; n < expected; ++n)
    plotrak::WwwConversation(app, "bench-direct-" + std::to_string(n % clients),
                             plotrak::FromUtf8(kMessages[n % std::size(kMessages)]));
  std::printf("the engine alone (WwwConversation): %.0f answers/s\n",
              static_cast<double>(expected) / (static_cast<double>(direct.nsecsElapsed()) / 1e9));
  return lost == 0 ? 0 : 1;
}
