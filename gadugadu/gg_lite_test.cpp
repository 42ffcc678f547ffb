#include "gadugadu/gg_lite.h"

#include <gtest/gtest.h>

#include "engine/cp1250.h"
#include "gadugadu/gg_test_server.h"
#include "gadugadu/gg_test_support.h"
#include "gadugadu/gg_wire.h"

namespace plotrak::gg {
namespace {

using testing::ContactRecord;
using testing::ImagePiece;
using testing::MessageFrom;
using testing::Pump;
using testing::PumpUntil;
using testing::Raw;
using testing::RichText;
using testing::ServerConfig;
using testing::TestServer;
using testing::U32;

const std::string kPassword = FromUtf8("tajne-hasło-źdźbło");

ServerConfig Account() {
  ServerConfig config;
  config.number = 4321;
  config.password = kPassword;
  return config;
}

// A client with every event recorded.
struct Client {
  Client() {
    lite.SetLogin(4321);
    lite.SetPassword(kPassword);
    lite.SetTimeoutMs(2000);
    lite.OnRecvMsg = [this](TGGLite&, const std::string& body, const std::vector<FormatPair>& f,
                            int32_t from) {
      std::string text = std::to_string(from) + ":" + body;
      for (const FormatPair& p : f) text += " " + std::to_string(p.position) + p.format;
      events.push_back(text);
    };
    lite.OnRecvUserNotify = [this](TGGLite&, const UserNotify& n) {
      events.push_back("notify " + std::to_string(n.userId) + " " + n.description);
    };
    lite.OnRecvImage = [this](TGGLite&, uint32_t, uint32_t, int32_t from, const std::string& b) {
      events.push_back("image " + std::to_string(from) + " " + b);
    };
    lite.OnRecvContactsReply = [this](TGGLite&, const std::string& piece) {
      events.push_back("contacts " + piece);
    };
    lite.OnRecvPacket = [this](TGGLite&, int type, int word) {
      events.push_back("packet " + std::to_string(type) + " " + std::to_string(word));
    };
    lite.OnDisconnecting = [this](TGGLite&) { ++disconnects; };
  }
  TGGLite lite;
  std::vector<std::string> events;
  int disconnects = 0;
};

TEST(GgLiteTest, LogsInTalksAndEndsWhenTheServerCloses) {
  TestServer server(Account());
  Client client;
  EXPECT_EQ(client.lite.SendStatus(), -1);  // not connected
  ASSERT_EQ(client.lite.SetServer("127.0.0.1", server.port()), 0);
  ASSERT_EQ(client.lite.Connect(), 0) << client.lite.LastError();
  EXPECT_EQ(client.lite.Connect(), -1);
  EXPECT_EQ(server.accepted(), 1);
  EXPECT_EQ(server.lastHash(), LoginHash(kPassword, ServerConfig{}.seed));
  const std::string login = server.lastLogin();
  EXPECT_EQ(LoadU32(reinterpret_cast<const uint8_t*>(login.data()) + 8), 20u);  // invisible
  EXPECT_EQ(static_cast<uint8_t>(login[29]), 20);
  EXPECT_EQ(static_cast<uint8_t>(login[30]), 0xBE);

  client.lite.SetUserStatus(UserStatus::kAvailableDesc);
  client.lite.SetUserDesc(std::string(80, 'd'));
  EXPECT_EQ(client.lite.SendStatus(), 0);
  EXPECT_EQ(client.lite.SendMsg(true, 77, {{0, "<n>"}}, "czesc"), 0);
  EXPECT_EQ(client.lite.ImportContacts(), 0);
  EXPECT_EQ(client.lite.ExportContacts(";;a;a;;;1;;0;;0;;0;\r\n"), 0);
  ASSERT_TRUE(PumpUntil([&] { return server.Count(kContactsRequest) == 2; }));
  const auto sent = server.Received();
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[0].type, kEmptyList);
  EXPECT_EQ(sent[1].body, U32(4) + std::string(70, 'd') + std::string(1, '\0'));
  EXPECT_EQ(sent[2].body.substr(12, 6), std::string("czesc") + '\0');

  // everything the server sends, unknown packets and a 16 MB body among them
  server.Send(MessageFrom(55, "hej") + Raw(0x99, std::string(16 << 20, 'u')) +
              MessageFrom(55, "pogrubione", RichText({{0, 1}})) +
              ContactRecord(kNotifyReply, 56, 4, 1, 0,
                            "\x03"
                            "abc" +
                                std::string(1, '\0')) +
              Raw(kSendMsgAck, U32(2) + U32(77) + U32(0)) +
              MessageFrom(57, "", ImagePiece(true, 3, 9, "a")) +
              MessageFrom(57, "", ImagePiece(false, 3, 9, "b")) +
              MessageFrom(57, "", ImagePiece(false, 3, 9, "c")) + Raw(kContactsReply, "\x06;;A;") +
              Raw(kContactsReply, "\x06;;B;"));
  const std::vector<std::string> expected = {"55:hej",       "55:pogrubione 0<b>", "notify 56 abc",
                                             "packet 5 2",   "image 57 abc",       "contacts ;;A;",
                                             "contacts ;;B;"};
  ASSERT_TRUE(PumpUntil([&] { return client.events.size() >= expected.size(); }, 10000));
  EXPECT_EQ(client.events, expected);

  // the version probe is answered here and never sent
  EXPECT_EQ(client.lite.SendMsg(true, 77, {}, "which_version"), -1);
  EXPECT_EQ(client.events.back(), "0:TGGLITE 0.17");

  EXPECT_EQ(client.lite.Disconnect(), 0);
  ASSERT_TRUE(PumpUntil([&] { return client.disconnects == 1; }));
  EXPECT_FALSE(client.lite.GetConnected());
  EXPECT_EQ(client.lite.Disconnect(), -1);
  EXPECT_EQ(client.lite.SendMsg(true, 77, {}, "x"), -1);
  // and a new login works on the same object
  ASSERT_EQ(client.lite.Connect(), 0);
  server.Send(Raw(kDisconnecting, ""));
  ASSERT_TRUE(PumpUntil([&] { return client.disconnects == 2; }));
  Pump(200);
  EXPECT_EQ(client.disconnects, 2);  // once per connection, though the socket ends as well
}

TEST(GgLiteTest, FailedHandshakesReturnOneAndLeaveNothingOpen) {
  using W = ServerConfig::Welcome;
  struct Case {
    W welcome;
    std::string password;
  } cases[] = {
      {W::kNormal, "zle-haslo"},   {W::kWrongType, kPassword}, {W::kCloseInstead, kPassword},
      {W::kCloseAfter, kPassword}, {W::kSilent, kPassword},
  };
  for (const Case& c : cases) {
    ServerConfig config = Account();
    config.welcome = c.welcome;
    TestServer server(config);
    Client client;
    client.lite.SetTimeoutMs(300);
    client.lite.SetPassword(c.password);
    client.lite.SetServer("127.0.0.1", server.port());
    EXPECT_EQ(client.lite.Connect(), 1) << static_cast<int>(c.welcome);
    EXPECT_FALSE(client.lite.GetConnected());
    EXPECT_EQ(client.lite.LastError().find(c.password), std::string::npos);
    EXPECT_EQ(client.lite.LastError().find(kPassword), std::string::npos);
    Pump(50);
    EXPECT_EQ(client.disconnects, 0);
  }
  // a password of 4 characters or fewer leaves the previous one
  TestServer server(Account());
  Client client;
  client.lite.SetPassword("abcd");
  client.lite.SetServer("127.0.0.1", server.port());
  EXPECT_EQ(client.lite.Connect(), 0);
  // nobody listens / a TLS client meets a plain server
  Client lonely;
  EXPECT_EQ(lonely.lite.Connect(), 1);  // no server set
  lonely.lite.SetServer("127.0.0.1", 1);
  EXPECT_EQ(lonely.lite.Connect(), 1);
  TestServer plain(Account());
  lonely.lite.SetServer("127.0.0.1", plain.port());
  lonely.lite.SetSSL(true);
  lonely.lite.SetTimeoutMs(500);
  EXPECT_EQ(lonely.lite.Connect(), 1);
  EXPECT_FALSE(lonely.lite.LastError().empty());
  EXPECT_EQ(lonely.lite.LastError().find(kPassword), std::string::npos);
  EXPECT_EQ(lonely.lite.SetServer("", 8074), 1);
}

TEST(GgLiteTest, ConnectsThroughASocks5Proxy) {
  ServerConfig config = Account();
  config.socks5 = true;
  config.socksHost = "gg.example.test";  // the proxy resolves it, not we
  TestServer server(config);
  Client client;
  client.lite.SetServer("gg.example.test", server.port());
  client.lite.SetProxy(true);
  client.lite.SetProxyServer("127.0.0.1", server.port());
  ASSERT_EQ(client.lite.Connect(), 0) << client.lite.LastError();
  EXPECT_EQ(server.accepted(), 1);
  // a proxy that refuses the target
  client.lite.SetServer("other.example.test", server.port());
  server.DropClient();
  ASSERT_TRUE(PumpUntil([&] { return client.disconnects == 1; }));
  EXPECT_EQ(client.lite.Connect(), 1);
  EXPECT_NE(client.lite.LastError().find("SOCKS5"), std::string::npos);
}

TEST(GgLiteTest, ABodyThatStopsComingEndsTheConnection) {
  TestServer server(Account());
  Client client;
  client.lite.SetTimeoutMs(300);
  client.lite.SetServer("127.0.0.1", server.port());
  ASSERT_EQ(client.lite.Connect(), 0);
  // gigabytes promised, a few bytes given: nothing allocated, the stream given up
  server.Send(testing::B("\x0a\x00\x00\x00\x00\x00\x00\xc0") + U32(5) + "abc");
  ASSERT_TRUE(PumpUntil([&] { return client.disconnects == 1; }));
  EXPECT_TRUE(client.events.empty());
  EXPECT_FALSE(client.lite.GetConnected());
}

}  // namespace
}  // namespace plotrak::gg
