#include "polchat/polchat_client.h"

#include <gtest/gtest.h>

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QUrlQuery>

#include "polchat/polchat_test_server.h"
#include "polchat/polchat_texts.h"
#include "polchat/socks_test_relay.h"

namespace plotrak::polchat {
namespace {

using testing::DecodePacket;
using testing::Packet;
using testing::PolchatTestServer;
using testing::SocksTestRelay;
using testing::WaitUntil;

// Records the events a test looks at.
struct Events {
  explicit Events(TPolchatClient& client) {
    client.OnPolchatConnected = [this](PolchatProtocol&, uint16_t) { log.push_back("connected"); };
    client.OnPolchatDisconnected = [this](PolchatProtocol&, const std::string& reason) {
      log.push_back("disconnected " + reason);
    };
    client.OnMsgPriv = [this](PolchatProtocol&, const std::string& text, const std::string& from,
                              const std::string&) { log.push_back("priv " + from + " " + text); };
    client.OnPing = [this](PolchatProtocol&) { log.push_back("ping"); };
  }
  bool Has(const std::string& line) const {
    return std::find(log.begin(), log.end(), line) != log.end();
  }
  std::vector<std::string> log;
};

TEST(PolchatClient, ThroughSocksProxiesOfBothVersions) {
  PolchatTestServer server;
  SocksTestRelay relay;
  for (int version : {4, 5}) {
    TPolchatClient client;
    Events events(client);
    client.Nick = "Bot";
    client.Server = "127.0.0.1";
    client.ServerPort = server.port();
    client.SOCKS = {true, "127.0.0.1", relay.port(), version};
    const size_t before = server.received().size();
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return server.received().size() > before; })) << version;
    EXPECT_EQ(server.received()[before].opcode(), 1400);
    EXPECT_EQ(relay.versions.back(), version);
    EXPECT_EQ(relay.targets.back(), "127.0.0.1:" + std::to_string(server.port()));
    EXPECT_TRUE(client.GetConnected());
    server.Send(BuildFrame({1}, {}) + BuildFrame({611}, {"hej", "Ala"}));
    ASSERT_TRUE(WaitUntil([&] { return events.Has("priv Ala hej"); }));
    ASSERT_TRUE(WaitUntil([&] { return server.received().back().ints.empty(); }));  // pong
    server.CloseClient();
    ASSERT_TRUE(WaitUntil([&] { return !server.hasClient() && !client.GetConnected(); }));
    ASSERT_TRUE(WaitUntil([&] {
      return !events.log.empty() && events.log.back() != "ping" &&
             events.log.back().rfind("disconnected", 0) == 0;
    }));
    EXPECT_EQ(events.log.back(), "disconnected " + LostConnectionReasonUtf8());
  }
}

// The tunnel's web side: "OK\n" to connect, then each POST's frames are recorded and
// answered with what the test queued.
class TunnelTestServer {
 public:
  TunnelTestServer() {
    server_.route("/cgi-bin/tunnel.cgi", [this](const QHttpServerRequest& request) {
      const QUrlQuery query = request.query();
      queries.push_back(query.toString().toStdString());
      if (query.queryItemValue("op") == "connect")
        return QHttpServerResponse("text/plain", accept ? "OK\n" : "NO\n");
      const QByteArray body = request.body();
      reassembler_.Feed(std::string_view(body.constData(), static_cast<size_t>(body.size())),
                        [this](std::string_view payload) {
                          if (auto packet = DecodePacket(payload)) received.push_back(*packet);
                        });
      QByteArray answer = QByteArray::fromStdString(toSend);
      toSend.clear();
      return QHttpServerResponse("application/octet-stream", answer);
    });
    port = static_cast<uint16_t>(server_.listen(QHostAddress::LocalHost, 0));
  }
  bool accept = true;
  std::string toSend;
  std::vector<Packet> received;
  std::vector<std::string> queries;
  uint16_t port = 0;

 private:
  QHttpServer server_;
  FrameReassembler reassembler_;
};

TEST(PolchatClient, HttpTunnelCarriesFramesBothWays) {
  TunnelTestServer tunnel;
  TPolchatClient client;
  Events events(client);
  client.SetHTTPConnection(true);
  client.Server = "127.0.0.1:" + std::to_string(tunnel.port);
  client.ServerPort = 14003;
  client.tunnelPollMs = 20;
  client.Connect();
  ASSERT_TRUE(WaitUntil([&] { return !tunnel.received.empty(); }));
  EXPECT_EQ(tunnel.received[0].opcode(), 1400);
  EXPECT_EQ(events.log, std::vector<std::string>{"connected"});
  EXPECT_FALSE(client.GetConnected());
  EXPECT_EQ(tunnel.queries[0].rfind("port=14003&op=connect&rand=", 0), 0u);
  tunnel.toSend =
      BuildFrame({3, 7, 8, 9}, {}) + BuildFrame({1}, {}) + BuildFrame({611}, {"hej", "Ala"});
  ASSERT_TRUE(WaitUntil([&] { return tunnel.received.size() >= 2; }));
  EXPECT_TRUE(tunnel.received[1].ints.empty());  // the ping's answer
  EXPECT_TRUE(events.Has("priv Ala hej"));
  EXPECT_EQ(tunnel.queries.back().rfind("op=data&port=14003&proc=7&con=8&check=9&rand=", 0), 0u);

  TunnelTestServer refusing;
  refusing.accept = false;
  TPolchatClient other;
  Events otherEvents(other);
  other.SetHTTPConnection(true);
  other.Server = "127.0.0.1:" + std::to_string(refusing.port);
  other.Connect();
  ASSERT_TRUE(WaitUntil([&] { return !otherEvents.log.empty(); }));
  EXPECT_EQ(otherEvents.log, std::vector<std::string>{"disconnected " + TunnelFailedReasonUtf8()});
}

}  // namespace
}  // namespace plotrak::polchat
