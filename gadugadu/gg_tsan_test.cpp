// The two threads of the client under ThreadSanitizer: messages arriving while the user
// disconnects or the client goes away, and connections that end during the handshake.
#include <gtest/gtest.h>

#include <memory>

#include "gadugadu/gg_lite.h"
#include "gadugadu/gg_test_server.h"
#include "gadugadu/gg_test_support.h"

namespace plotrak::gg {
namespace {

using testing::MessageFrom;
using testing::Pump;
using testing::PumpUntil;
using testing::ServerConfig;
using testing::TestServer;

ServerConfig Account() {
  ServerConfig config;
  config.number = 99;
  config.password = "haslo123";
  return config;
}

std::unique_ptr<TGGLite> NewClient(int port, int& messages, int& disconnects) {
  auto lite = std::make_unique<TGGLite>();
  lite->SetLogin(99);
  lite->SetPassword("haslo123");
  lite->SetTimeoutMs(1000);
  lite->SetServer("127.0.0.1", port);
  lite->OnRecvMsg = [&messages](TGGLite& self, const std::string&, const std::vector<FormatPair>&,
                                int32_t from) {
    ++messages;
    self.SendMsg(true, from, {{0, "<n>"}}, "odpowiedz");  // a write while reads go on
  };
  lite->OnDisconnecting = [&disconnects](TGGLite&) { ++disconnects; };
  return lite;
}

std::string Burst(int n) {
  std::string bytes;
  for (int i = 0; i < n; ++i) bytes += MessageFrom(1000 + i, "wiadomosc " + std::to_string(i));
  return bytes;
}

TEST(GgThreadsTest, MessagesArrivingWhileTheUserDisconnects) {
  TestServer server(Account());
  for (int round = 0; round < 20; ++round) {
    int messages = 0, disconnects = 0;
    auto lite = NewClient(server.port(), messages, disconnects);
    ASSERT_EQ(lite->Connect(), 0) << lite->LastError();
    server.Send(Burst(50));
    Pump(round % 4);  // some of them are being handed over right now
    ASSERT_EQ(lite->Disconnect(), 0);
    ASSERT_TRUE(PumpUntil([&] { return disconnects == 1; }));
    EXPECT_FALSE(lite->GetConnected());
  }
}

TEST(GgThreadsTest, TheClientGoesAwayWhileMessagesArrive) {
  TestServer server(Account());
  for (int round = 0; round < 20; ++round) {
    int messages = 0, disconnects = 0;
    auto lite = NewClient(server.port(), messages, disconnects);
    ASSERT_EQ(lite->Connect(), 0);
    server.Send(Burst(50));
    Pump(round % 3);
    lite.reset();  // the receive thread may be waiting for a hand-over that never runs
    PumpUntil([&] { return !server.clientConnected(); });
  }
}

TEST(GgThreadsTest, ConnectionsThatEndDuringTheHandshake) {
  using W = ServerConfig::Welcome;
  for (W welcome : {W::kCloseInstead, W::kCloseAfter, W::kNormal}) {
    ServerConfig config = Account();
    config.welcome = welcome;
    // accepted, then dropped at once: the receive thread finds the end while the main
    // thread still sends the empty list and the status
    config.closeAfterLoginOk = welcome == W::kNormal;
    TestServer server(config);
    for (int round = 0; round < 10; ++round) {
      int messages = 0, disconnects = 0;
      auto lite = NewClient(server.port(), messages, disconnects);
      const int result = lite->Connect();
      if (result == 0) {
        lite->SendStatus();
        ASSERT_TRUE(PumpUntil([&] { return disconnects == 1; }));
      } else {
        EXPECT_EQ(result, 1);
        Pump(5);
        EXPECT_EQ(disconnects, 0);
      }
      EXPECT_FALSE(lite->GetConnected());
    }
  }
}

}  // namespace
}  // namespace plotrak::gg
