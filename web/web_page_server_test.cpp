#include "web/web_page_server.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpSocket>
#include <fstream>
#include <iterator>

#include "applet/www_conversation.h"
#include "engine/cp1250.h"
#include "engine/test_support.h"
#include "shell/application.h"
#include "web/web_test_support.h"

namespace plotrak {
namespace {

using testing::AnswerText;
using testing::ChatClient;
using testing::HttpExchange;
using testing::SpinUntil;

std::string BaseBytes() {
  return testing::MakeBaseBytes("wersja testowa",
                                {{{"$@CZESC@$", "|imie&czy_jest&true|Cześć, |imie&PODAJ|!",
                                   "|imie&czy_jest&false|Cześć, nieznajomy!"},
                                  {"$@MAM NA IMIE@$", "|IMIE&POBIERZ|Miło mi."},
                                  {"$@HTML@$", "<b>gruby</b> <img src=x onerror=alert(1)>"},
                                  {"$@POGODA@$", "Słońce", "Deszcz", "Śnieg", "Wiatr"}},
                                 {{"JAK MASZ NA IMIE", "Plotrak"}},
                                 {{"CO ROBISZ"}}});
}

// An application with a small base on a scratch folder and the page server on a free port.
struct Served {
  explicit Served(const WebLimits& limits = {}, const std::string& sites = "") {
    std::ofstream(dir.path() / "baza.ptk", std::ios::binary) << BaseBytes();
    std::ofstream(dir.path() / "imiona.ptk", std::ios::binary) << "Ala\r\n";
    std::ofstream(dir.path() / "setup.ini", std::ios::binary) << "[WWW]\r\nsekret=tajne\r\n";
    started = !app.Start().has_value();
    app.model.settings.SetText(SettingId::kWebPagePort, "0");
    app.model.settings.SetText(SettingId::kLetterTime, "25");
    app.model.settings.SetText(SettingId::kWebPageSites, FromUtf8(sites));
    server.SetLimits(limits);
    listening = server.Start();
  }
  std::string Own() const { return "http://127.0.0.1:" + std::to_string(server.port()); }

  testing::ScratchDir dir;
  FixedClock clock{LocalTime{2026, 12, 7, 12, 30, 5}};
  Random random{7};
  Application app{dir.path(), dir.path() / "plotrak", clock, random};
  WebPageServer server{app};
  bool started = false, listening = false;
};

QByteArray Get(const std::string& target) {
  return QByteArray::fromStdString("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
}

TEST(WebPageServer, RoutesHeadersAndRefusedRequests) {
  Served s;
  ASSERT_TRUE(s.started && s.listening);
  EXPECT_EQ(s.app.model.lamp(Lamp::kWebPage), LampColour::kGreen);
  EXPECT_TRUE(s.app.model.connected(Connection::kWebPage));
  struct Case {
    QByteArray request;
    int status;
    std::string type;  // Content-Type prefix, when the status is 200
  };
  const std::string longHeader = "X-Long: " + std::string(9000, 'a') + "\r\n";
  std::string manyHeaders;
  for (int i = 0; i < 70; ++i) manyHeaders += "X-" + std::to_string(i) + ": 1\r\n";
  const Case cases[] = {
      {Get("/"), 200, "text/html; charset=utf-8"},
      {Get("/widget.js"), 200, "text/javascript"},
      {Get("/plotrak.css"), 200, "text/css"},
      {Get("/frames/1.jpg"), 200, "image/jpeg"},
      {Get("/frames/7.jpg"), 200, "image/jpeg"},
      {"GET / HTTP/1.1\nHost: a\n\n", 200, "text/html"},  // bare line feeds
      {"GET / HTTP/1.0\r\n\r\n", 200, "text/html"},
      {Get("/frames/8.jpg"), 404, ""},
      {Get("/widgetXjs"), 404, ""},
      {Get("/setup.ini"), 404, ""},
      {Get("/baza.ptk"), 404, ""},
      {Get("/ws"), 426, ""},
      {Get("/../setup.ini"), 400, ""},
      {Get("/frames/../../setup.ini"), 400, ""},
      {Get("/%2e%2e/setup.ini"), 400, ""},
      {Get("/%2E%2E%2Fsetup.ini"), 400, ""},
      {Get("/a%00b"), 400, ""},
      {Get("/a%zz"), 400, ""},
      {Get("//etc/passwd"), 400, ""},
      {Get("/a\\b"), 400, ""},
      {Get("/./widget.js"), 400, ""},
      {Get("http://127.0.0.1/"), 400, ""},
      {Get("/" + std::string(1100, 'a')), 414, ""},
      {"GET / HTTP/1.1\r\nHost: x\r\n" + QByteArray::fromStdString(longHeader) + "\r\n", 431, ""},
      {"GET / HTTP/1.1\r\nHost: x\r\n" + QByteArray::fromStdString(manyHeaders) + "\r\n", 431, ""},
      {"POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n\r\nab", 405, ""},
      {"DELETE / HTTP/1.1\r\nHost: x\r\n\r\n", 405, ""},
      {"GET / HTTP/2.0\r\nHost: x\r\n\r\n", 505, ""},
      {"GET / HTTP/1.1\r\n\r\n", 400, ""},  // no Host
      {"GET / HTTP/1.1\r\nHost: x\r\nHost: y\r\n\r\n", 400, ""},
      {"GET / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n", 501, ""},
      {"GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello", 413, ""},
      {"GET / HTTP/1.1\r\nHost: x\r\n folded\r\n\r\n", 400, ""},
      {"GET / HTTP/1.1\r\nHost: x\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n\r\n", 404, ""},
      {"GET / HTTP/1.1\r\nHost: x\r\nUpgrade: h2c\r\n\r\n", 400, ""},
      {QByteArray("GET /\0 HTTP/1.1\r\nHost: x\r\n\r\n", 29), 400, ""},
      {QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 15), 400, ""},
      {"GET\r\n\r\n", 400, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request.left(80).toStdString());
    const auto reply = HttpExchange(s.server.port(), c.request);
    EXPECT_EQ(reply.status, c.status);
    EXPECT_EQ(reply.Header("X-Content-Type-Options"), "nosniff");
    EXPECT_NE(reply.Header("Content-Security-Policy").find("default-src 'none'"),
              std::string::npos);
    EXPECT_EQ(reply.body.find("tajne"), std::string::npos);
    if (c.status == 200) {
      EXPECT_EQ(reply.Header("Content-Type").rfind(c.type, 0), 0u) << reply.Header("Content-Type");
      EXPECT_FALSE(reply.body.empty());
    }
  }
  const auto page = HttpExchange(s.server.port(), Get("/"));
  EXPECT_NE(page.Header("Content-Security-Policy").find("script-src 'self'"), std::string::npos);
  EXPECT_EQ(page.Header("X-Frame-Options"), "DENY");
  EXPECT_NE(page.body.find("<html lang=\"pl\">"), std::string::npos);
  EXPECT_EQ(page.body.find("http"), std::string::npos);  // nothing from another host
  EXPECT_EQ(HttpExchange(s.server.port(), Get("/widget.js")).Header("Cross-Origin-Resource-Policy"),
            "cross-origin");
  EXPECT_EQ(HttpExchange(s.server.port(), Get("/frames/2.jpg")).body.substr(0, 2), "\xFF\xD8");
  EXPECT_TRUE(s.server.running());
}

TEST(WebPageServer, KeepAliveRequestsAreCheckedOneByOne) {
  Served s;
  ASSERT_TRUE(s.listening);
  auto both = HttpExchange(s.server.port(), Get("/plotrak.css") + Get("/frames/3.jpg"), 2);
  EXPECT_EQ(both.status, 200);
  EXPECT_NE(both.head.find("text/css"), std::string::npos);
  EXPECT_NE(both.head.find("image/jpeg"), std::string::npos);
  const auto second = HttpExchange(s.server.port(), Get("/") + Get("/../setup.ini"), 2);
  EXPECT_EQ(second.status, 400);
  EXPECT_TRUE(second.closed);
}

TEST(WebPageServer, ConnectionBoundsAndIdleConnections) {
  WebLimits limits;
  limits.connections.maxConnections = 3;
  limits.connections.idleMs = 300;
  Served s(limits);
  ASSERT_TRUE(s.listening);
  std::vector<std::unique_ptr<QTcpSocket>> held;
  for (int i = 0; i < 3; ++i) {
    held.push_back(std::make_unique<QTcpSocket>());
    held.back()->connectToHost("127.0.0.1", s.server.port());
    held.back()->write("GET / HTTP/1.1\r\nHo");  // a head that never ends
  }
  ASSERT_TRUE(SpinUntil([&] { return s.server.OpenConnections() == 3; }));
  const auto refused = HttpExchange(s.server.port(), Get("/"));
  EXPECT_EQ(refused.status, 503);
  EXPECT_EQ(refused.Header("Retry-After"), "5");
  // The silent ones are closed, and then there is room again.
  EXPECT_TRUE(SpinUntil([&] {
    return std::all_of(held.begin(), held.end(), [](auto& socket) {
      return socket->state() == QAbstractSocket::UnconnectedState;
    });
  }));
  EXPECT_EQ(HttpExchange(s.server.port(), Get("/")).status, 200);
}

TEST(WebPageServer, ConversationsKeepTheirOwnSpeakerLogsAndTabs) {
  WebLimits fast;
  fast.messagesPerSecond = fast.messageBurst = 1000;
  Served s(fast);
  Served reference;  // the same base and seed, answered without the network
  ASSERT_TRUE(s.listening);
  s.app.model.settings.SetFlag(SettingId::kWwwLog, true);
  ChatClient ala(s.server.port(), "rozmowa-ali-0001", s.Own());
  ChatClient bob(s.server.port(), "rozmowa-boba-002", s.Own());
  ASSERT_TRUE(ala.WaitOpen() && bob.WaitOpen());
  const std::vector<std::pair<ChatClient*, std::string>> script = {
      {&ala, "mam na imię Ala"}, {&bob, "hej"},         {&ala, "cześć"},       {&bob, "cześć"},
      {&ala, "jaka pogoda"},     {&ala, "jaka pogoda"}, {&bob, "jaka pogoda"}, {&ala, "html"}};
  std::vector<std::string> answers;
  for (const auto& [client, text] : script) {
    const std::string frame = client->Say(text);
    EXPECT_NE(frame.find("\"letterMs\":25"), std::string::npos) << frame;
    EXPECT_EQ(frame.find('<'), std::string::npos);  // markup travels escaped
    answers.push_back(AnswerText(frame));
    const std::string id = client == &ala ? "rozmowa-ali-0001" : "rozmowa-boba-002";
    EXPECT_EQ(answers.back(), ToUtf8(WwwConversation(reference.app, id, FromUtf8(text))));
  }
  EXPECT_EQ(answers[0], "Miło mi.");
  // Each identifier is a speaker of its own in the engine.
  EXPECT_GT(s.app.engine.people.FindInterlocutor("rozmowa-ali-0001"), 0);
  EXPECT_GT(s.app.engine.people.FindInterlocutor("rozmowa-boba-002"), 0);
  EXPECT_EQ(answers[7], "<b>gruby</b> <img src=x onerror=alert(1)>");
  EXPECT_TRUE(std::filesystem::exists(s.dir.path() / "logi" / "www" / "rozmowa-ali-0001.htm"));
  EXPECT_TRUE(std::filesystem::exists(s.dir.path() / "logi" / "www" / "rozmowa-boba-002.htm"));
  EXPECT_GE(s.app.model.wwwPage.FindTab("rozmowa-ali-0001"), 0);
  EXPECT_GE(s.app.model.wwwPage.FindTab("rozmowa-boba-002"), 0);
  EXPECT_EQ(s.app.model.said(SaidChannel::kWww), 8);
}

TEST(WebPageServer, OriginCheck) {
  struct Case {
    std::string origin;  // "own" for the page's own origin
    std::string sites;
    bool allowed;
  };
  const Case cases[] = {
      {"own", "", true},
      {"http://inna.example", "", false},
      {"http://inna.example", "http://inna.example https://druga.example/", true},
      {"https://druga.example", "http://inna.example https://druga.example/", true},
      {"http://druga.example", "https://druga.example", false},
      {"http://inna.example:8081", "http://inna.example", false},
      {"null", "null", false},
      {"", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.origin + " | " + c.sites);
    Served s({}, c.sites);
    ASSERT_TRUE(s.listening);
    ChatClient client(s.server.port(), "abcdefgh12345678", c.origin == "own" ? s.Own() : c.origin);
    if (c.allowed) {
      ASSERT_TRUE(client.WaitOpen());
      EXPECT_EQ(AnswerText(client.Say("cześć")), "Cześć, nieznajomy!");
    } else {
      EXPECT_EQ(client.WaitClosed(), 4003);
      EXPECT_EQ(s.app.model.said(SaidChannel::kWww), 0);
    }
  }
}

TEST(WebPageServer, MessageLimits) {
  Served s;
  ASSERT_TRUE(s.listening);
  ChatClient client(s.server.port(), "limity-00000001", s.Own());
  ASSERT_TRUE(client.WaitOpen());
  const std::string longest = std::string(1999, 'a') + "ż";  // 2000 characters
  EXPECT_EQ(client.Say(longest).rfind("{\"type\":\"answer\"", 0), 0u);
  EXPECT_EQ(client.Say(longest + "a"), "{\"type\":\"notice\",\"code\":\"too-long\"}");
  // Five a second per address: a burst of ten gets some refused, and later it works again.
  int refused = 0;
  for (int i = 0; i < 10; ++i)
    refused += client.Say("cześć") == "{\"type\":\"notice\",\"code\":\"rate\"}";
  EXPECT_GE(refused, 4);
  SpinUntil([] { return false; }, 1100);
  EXPECT_EQ(AnswerText(client.Say("cześć")), "Cześć, nieznajomy!");
  // A malformed identifier ends the conversation before anything is said.
  ChatClient bad(s.server.port(), "a/b", s.Own());
  EXPECT_EQ(bad.WaitClosed(), 4000);
  // Idle conversations are closed.
  WebLimits quick;
  quick.idleMs = 200;
  Served idle(quick);
  ChatClient sleepy(idle.server.port(), "spiochspioch", idle.Own());
  ASSERT_TRUE(sleepy.WaitOpen());
  EXPECT_EQ(sleepy.WaitClosed(), 4008);
}

TEST(WebPageServer, ButtonsStartAtStartUpAndPortFailures) {
  testing::ScratchDir dir;
  std::ofstream(dir.path() / "baza.ptk", std::ios::binary) << BaseBytes();
  std::ofstream(dir.path() / "imiona.ptk", std::ios::binary) << "Ala\r\n";
  std::ofstream(dir.path() / "setup.ini", std::ios::binary)
      << "[WWW]\r\nport strony=0\r\nstrona przy starcie=1\r\n";
  FixedClock clock{LocalTime{2026, 12, 7, 12, 30, 5}};
  Random random{7};
  Application app{dir.path(), dir.path() / "plotrak", clock, random};
  WebPageServer server{app};
  ASSERT_FALSE(app.Start().has_value());
  EXPECT_FALSE(server.running());  // not before the event loop turns
  EXPECT_TRUE(SpinUntil([&] { return server.running(); }));
  EXPECT_EQ(HttpExchange(server.port(), Get("/")).status, 200);
  ChatClient visitor(server.port(), "gosc-przed-wylaczeniem",
                     "http://127.0.0.1:" + std::to_string(server.port()));
  ASSERT_TRUE(visitor.WaitOpen());
  app.hooks.disconnect["web"]();
  EXPECT_EQ(visitor.WaitClosed(), 1001);
  EXPECT_FALSE(server.running());
  EXPECT_EQ(app.model.lamp(Lamp::kWebPage), LampColour::kGrey);
  EXPECT_FALSE(app.model.connected(Connection::kWebPage));
  // A port in use: a red lamp and a line on the " WWW  " page.
  Served other;
  app.model.settings.SetText(SettingId::kWebPagePort, std::to_string(other.server.port()));
  app.hooks.connect["web"]();
  EXPECT_FALSE(server.running());
  EXPECT_EQ(app.model.lamp(Lamp::kWebPage), LampColour::kRed);
  EXPECT_NE(ToUtf8(app.model.wwwPage.tabs()[0].lines.back()).find("nie mogę postawić strony"),
            std::string::npos);
  app.model.settings.SetText(SettingId::kWebPagePort, "osiem");
  app.hooks.connect["web"]();
  EXPECT_FALSE(server.running());
}

}  // namespace
}  // namespace plotrak

int main(int argc, char** argv) {
  QCoreApplication qt(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
