// Load on the applet server: many concurrent loopback clients, each with its own
// conversation identifier, send a fixed number of requests through the whole path (request
// codec, WwwConversation with the shipped base, logs, page lines) and read every answer to
// the close. The same clients then load a bare accept-read-write-close loop on the same
// machine, the physical reference. Prints requests per second, the 99th-percentile latency
// and how many requests went unanswered (must be 0).
//
// The two are measured in alternating rounds and the best round of each is compared, since
// other work on a shared machine only ever slows a round down.
//
//   applet_bench [--clients N] [--requests-per-client M] [--rounds R] [--no-logs]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "applet/applet_request.h"
#include "applet/applet_server.h"
#include "applet/test_client.h"
#include "engine/test_support.h"
#include "shell/application.h"

namespace {

using Clock = std::chrono::steady_clock;
using plotrak::testing::ClientScript;

const char* const kSentences[] = {
    "czesc",        "co slychac?", "jak masz na imie?", "ile to dwa plus dwa?", "lubisz muzyke?",
    "nudzi mi sie", "!info",       "dobranoc"};

struct Figures {
  double seconds = 0;
  int requests = 0, lost = 0;
  double p50Ms = 0, p99Ms = 0;
};

// Runs `clients` threads of `perClient` requests each against `port`; calls `idle` on the
// calling thread until they are done (the server's event loop, or nothing).
template <typename Idle>
Figures Load(uint16_t port, int clients, int perClient, Idle idle) {
  std::vector<double> latencies;
  std::mutex lock;
  std::atomic<int> lost{0}, running{clients};
  const auto start = Clock::now();
  std::vector<std::thread> threads;
  for (int c = 0; c < clients; ++c) {
    threads.emplace_back([&, c] {
      std::vector<double> mine;
      const std::string identifier = "gosc" + std::to_string(c);
      for (int r = 0; r < perClient; ++r) {
        const char* sentence = kSentences[(c + r) % std::size(kSentences)];
        ClientScript script{{*plotrak::EncodeAppletSentence(sentence) + "&" + identifier}};
        const auto begin = Clock::now();
        const auto result = plotrak::testing::RunClient(port, script);
        mine.push_back(std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
        if (!result.connected || !result.closedByServer || result.received.empty()) ++lost;
      }
      std::lock_guard<std::mutex> guard(lock);
      latencies.insert(latencies.end(), mine.begin(), mine.end());
      --running;
    });
  }
  while (running > 0) idle();
  for (std::thread& t : threads) t.join();
  Figures f;
  f.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  f.requests = clients * perClient;
  f.lost = lost;
  std::sort(latencies.begin(), latencies.end());
  f.p50Ms = latencies[latencies.size() / 2];
  f.p99Ms = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
  return f;
}

// The reference: accept, read once, write a fixed answer, close; nothing else.
class BareServer {
 public:
  BareServer() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd_, 1024);
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] {
      char buffer[65536];
      for (;;) {
        const int client = accept(fd_, nullptr, nullptr);
        if (client < 0) return;
        if (read(client, buffer, sizeof buffer) > 0) {
          static const char kAnswer[] = "Witaj";
          (void)!write(client, kAnswer, sizeof kAnswer - 1);
        }
        close(client);
      }
    });
  }
  ~BareServer() {
    shutdown(fd_, SHUT_RDWR);
    close(fd_);
    thread_.join();
  }
  uint16_t port() const { return port_; }

 private:
  int fd_;
  uint16_t port_;
  std::thread thread_;
};

void Print(const char* name, const Figures& f) {
  std::printf("%-34s %7d requests  %9.0f req/s  p50 %7.3f ms  p99 %7.3f ms  lost %d\n", name,
              f.requests, f.requests / f.seconds, f.p50Ms, f.p99Ms, f.lost);
}

}  // namespace

int main(int argc, char** argv) {
  int clients = 32, perClient = 300, rounds = 3;
  bool logs = true;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--clients") && i + 1 < argc)
      clients = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--requests-per-client") && i + 1 < argc)
      perClient = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
      rounds = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--no-logs"))
      logs = false;
  }
  QCoreApplication qt(argc, argv);

  plotrak::testing::ScratchDir dir;
  std::filesystem::copy_file(PLOTRAK_BASE_FILE, dir.path() / "baza.ptk");
  std::filesystem::copy_file(PLOTRAK_NAMES_FILE, dir.path() / "imiona.ptk");
  plotrak::SystemClock clock;
  plotrak::Random random(1);
  plotrak::Application app(dir.path(), dir.path() / "plotrak", clock, random);
  plotrak::AppletServer server(app);
  if (auto stop = app.Start()) {
    std::fprintf(stderr, "%s\n", stop->c_str());
    return 1;
  }
  app.model.settings.SetText(plotrak::SettingId::kWwwPort, "0");
  app.model.settings.SetFlag(plotrak::SettingId::kWwwLog, logs);
  app.model.settings.SetFlag(plotrak::SettingId::kServiceLog, logs);
  server.Start();
  if (!server.listening()) return 1;

  std::printf("%d concurrent clients x %d requests, logs %s, best of %d rounds\n", clients,
              perClient, logs ? "on" : "off", rounds);
  BareServer bare;
  Figures applet, reference;
  int lost = 0, requests = 0;
  auto faster = [](const Figures& a, const Figures& b) {
    return b.requests == 0 || a.requests / a.seconds > b.requests / b.seconds;
  };
  for (int round = 0; round < rounds; ++round) {
    const Figures a = Load(server.port(), clients, perClient,
                           [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); });
    const Figures b = Load(bare.port(), clients, perClient,
                           [] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); });
    lost += a.lost + b.lost;
    requests += a.requests;
    if (faster(a, applet)) applet = a;
    if (faster(b, reference)) reference = b;
  }
  Print("applet server (whole path)", applet);
  Print("bare accept-read-write-close loop", reference);
  const int said = app.model.said(plotrak::SaidChannel::kWww);
  std::printf("applet / bare rate: %.2f; unanswered %d; counted %d of %d\n",
              (applet.requests / applet.seconds) / (reference.requests / reference.seconds), lost,
              said, requests);
  return lost == 0 && said == requests ? 0 : 1;
}
