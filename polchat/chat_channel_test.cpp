#include "polchat/chat_channel.h"

#include <gtest/gtest.h>

#include <fstream>

#include "engine/bot_command.h"
#include "engine/cp1250.h"
#include "engine/test_support.h"
#include "polchat/polchat_test_server.h"
#include "shell/application.h"

namespace plotrak {
namespace {

using polchat::BuildFrame;
using polchat::testing::PolchatTestServer;
using polchat::testing::WaitUntil;

class ChatChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(dir.path() / "baza.ptk", std::ios::binary)
        << testing::MakeBaseBytes("test", {{{"$@CZESC@$", "Witaj"}}, {{"CO", "Nic"}}, {}});
    std::ofstream(dir.path() / "imiona.ptk", std::ios::binary) << "Ala\r\n";
    ASSERT_EQ(app.Start(), std::nullopt);
    chat.timerTicks = false;  // the test is the antiflood timer
    Set(SettingId::kChatServer, "127.0.0.1");
    Set(SettingId::kChatPort, std::to_string(server.port()));
    Set(SettingId::kChatAntiflood, "800");
  }
  void Set(SettingId id, const std::string& utf8) {
    app.model.settings.SetText(id, FromUtf8(utf8));
  }
  void Login() {
    app.hooks.connect["chat"]();
    ASSERT_TRUE(WaitUntil(
        [&] { return app.model.connected(Connection::kChat) && server.received().size() >= 2; }));
  }
  // Ticks `n` times and returns the texts the server got meanwhile: a room-list request
  // after the ticks marks the end, since the stream keeps its order.
  std::vector<std::string> Tick(int n) {
    const size_t before = server.Texts().size();
    for (int i = 0; i < n; ++i) chat.ChatTick();
    chat.client().PoprosListe("koniec");
    ++markers_;
    EXPECT_TRUE(WaitUntil([&] {
      size_t seen = 0;
      for (const auto& packet : server.received()) seen += packet.opcode() == 411;
      return seen == markers_;
    }));
    const std::vector<std::string> all = server.Texts();
    return std::vector<std::string>(all.begin() + static_cast<long>(before), all.end());
  }
  std::string Traffic() const {
    const auto& lines = app.model.chatPage.tabs()[0].lines;
    return lines.empty() ? std::string() : ToUtf8(lines.back());
  }
  std::string Line(const char* label) const { return ToUtf8(app.status.Get(FromUtf8(label))); }

  testing::ScratchDir dir;
  FixedClock clock{LocalTime{2026, 12, 7, 12, 0, 0}};
  Random random{3};
  Application app{dir.path(), "/opt/plotrak/plotrak", clock, random};
  ChatChannel chat{app};
  PolchatTestServer server;
  size_t markers_ = 0;
};

TEST_F(ChatChannelTest, LogsInAnswersPeopleAndKeepsTheConnectionAlive) {
  Login();
  const auto& login = server.received()[0];
  EXPECT_EQ(login.opcode(), 1400);
  EXPECT_EQ(login.strings,
            (std::vector<std::string>{"Plotrak", "", "", "randka",
                                      "http://www.polchat.pl/chat/?_room=randka", "127.0.0.1",
                                      "nlst=1&nnum=1&jlmsg=true&ignprv=false"}));
  EXPECT_EQ(server.received()[1].ints, (std::vector<uint16_t>{1410, 1}));  // bold nick
  EXPECT_EQ(app.model.lamp(Lamp::kChat), LampColour::kGreen);

  std::vector<std::string> crowd;
  for (int i = 0; i < 500; ++i) crowd.push_back("osoba" + std::to_string(i));
  server.SendPeople(crowd);
  server.SendPriv("<b>Ala</b>: czesc", "Ala");
  ASSERT_TRUE(WaitUntil([&] { return app.model.chatPage.FindTab("Ala") > 0; }));
  EXPECT_EQ(chat.client().Il_Osob(), 500);
  EXPECT_EQ(ToUtf8(app.model.chatPage.tabs()[1].lines.back()),
            "[2026-12-07][12:00:00] [OD Ala]  czesc");
  // "Witaj": 180 x 5 + 1500 = 2400 ms, four ticks of 800
  EXPECT_EQ(Tick(3), std::vector<std::string>{});
  EXPECT_EQ(Tick(1), std::vector<std::string>{"/msg Ala Witaj"});
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "logi" / "chat" / "Ala.htm"));
  EXPECT_EQ(Line("Powiedzianych tekstów (chat): "), "Powiedzianych tekstów(chat): 1");

  // commands: privately to the person, in the room to the room, at the next tick
  const std::string banner = ToUtf8(InfoBanner(true));
  server.SendPriv("<b>Ala</b>: !info", "Ala");
  server.SendMain("<b>Ola</b>: !INFO");
  server.SendPriv("<b>~Plotrak</b>: !info", "Plotrak");  // the bot's own words
  ASSERT_TRUE(WaitUntil([&] { return chat.queue().queued() == 2; }));
  EXPECT_EQ(Tick(1), std::vector<std::string>{"/msg Ala " + banner});
  EXPECT_EQ(Tick(1), std::vector<std::string>{banner});

  // a newcomer is greeted when greeting is on; "Przychodzi" is no newcomer
  app.model.settings.SetFlag(SettingId::kChatStartOnEntry, true);
  server.SendMain("<font>** Przychodzi Iza :)</font>");
  server.SendMain("<font>** przychodzi Ewa :)</font>");
  ASSERT_TRUE(WaitUntil([&] { return chat.queue().queued() == 1; }));
  EXPECT_EQ(Traffic(), "[2026-12-07][12:00:00] ** przychodzi Ewa :)");
  EXPECT_EQ(Tick(1), std::vector<std::string>{"/msg Ewa </b>"});

  // the keep-alive: at the first free tick once the period has passed (2000 / 800 = 2.5
  // rounds to 2 ticks)
  Set(SettingId::kChatKeepAlive, "2");
  EXPECT_EQ(Tick(1), std::vector<std::string>{"/unbuddy Zefir"});
  EXPECT_EQ(Tick(1), std::vector<std::string>{});
  EXPECT_EQ(Tick(1), std::vector<std::string>{"/unbuddy Zefir"});

  // the server answers pings
  server.Send(BuildFrame({1}, {}));
  ASSERT_TRUE(WaitUntil([&] { return server.received().back().ints.empty(); }));

  server.CloseClient();
  ASSERT_TRUE(WaitUntil([&] { return !app.model.connected(Connection::kChat); }));
  EXPECT_EQ(Traffic(), "[### Utrata połączenia z serwerem ###]");
  EXPECT_EQ(app.model.lamp(Lamp::kChat), LampColour::kRed);
  EXPECT_EQ(Line("Tekstów w buforze: "), "Tekstów w buforze: 0");
}

TEST_F(ChatChannelTest, FailuresAreToldInPolish) {
  // a user's disconnect: "/quit", then the server closes; the lamp is grey
  Login();
  app.hooks.disconnect["chat"]();
  ASSERT_TRUE(WaitUntil([&] { return !server.Texts().empty(); }));
  EXPECT_EQ(server.Texts().back(), "/quit");
  server.CloseClient();
  ASSERT_TRUE(WaitUntil([&] { return !app.model.connected(Connection::kChat); }));
  EXPECT_EQ(app.model.lamp(Lamp::kChat), LampColour::kGrey);

  // a server that sends a frame no stream can hold is dropped at once
  Login();
  server.Send(std::string("\xFF\xFF\xFF\xFF", 4) + "x");
  ASSERT_TRUE(WaitUntil([&] { return !app.model.connected(Connection::kChat); }));
  EXPECT_EQ(Traffic(), "[### Błędna ramka od serwera, połączenie zerwane ###]");
  EXPECT_EQ(app.model.lamp(Lamp::kChat), LampColour::kRed);

  // no tick, no queue
  Set(SettingId::kChatAntiflood, "0");
  app.hooks.connect["chat"]();
  EXPECT_EQ(Traffic(), "[### Błąd: bufor antyflood musi być większy od zera ###]");
  // a conversion error ends the attempt before the client is touched
  Set(SettingId::kChatAntiflood, "800");
  Set(SettingId::kLetterTime, "szybko");
  app.hooks.connect["chat"]();
  EXPECT_EQ(ToUtf8(app.model.statusBar()).rfind("Błąd: 'szybko'", 0), 0u);
  EXPECT_FALSE(app.model.connected(Connection::kChat));

  // a refused connection
  Set(SettingId::kLetterTime, "180");
  quint16 closedPort;
  {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    closedPort = probe.serverPort();
  }
  Set(SettingId::kChatPort, std::to_string(closedPort));
  std::vector<std::string> errors;
  chat.client().OnErrorMsg = [&](polchat::PolchatProtocol&, const std::string& text) {
    errors.push_back(ToUtf8(text));
  };
  app.hooks.connect["chat"]();
  ASSERT_TRUE(WaitUntil([&] { return Traffic() == "[### *** ###]"; }));
  EXPECT_EQ(errors, std::vector<std::string>{"Serwer, z którym się łączysz nie istnieje!"});
}

TEST_F(ChatChannelTest, AFloodOfTextsIsBoundedAndCounted) {
  Login();
  const size_t limit = polchat::AntifloodQueue::kMaxQueuedTexts;
  std::string flood;
  for (size_t i = 0; i < limit + 50; ++i)
    flood += BuildFrame({611}, {"<b>Gosc" + std::to_string(i) + "</b>: !info", "x"});
  server.Send(flood);
  ASSERT_TRUE(WaitUntil([&] { return chat.queue().queued() + chat.refusedTexts() == limit + 50; }));
  EXPECT_EQ(chat.queue().queued(), limit);
  EXPECT_EQ(Line("Odrzuconych tekstów(chat): "), "Odrzuconych tekstów(chat): 50");
  EXPECT_EQ(Line("Tekstów w buforze: "), "Tekstów w buforze: " + std::to_string(limit));
  EXPECT_LE(chat.queue().size(), polchat::AntifloodQueue::kMaxSlots);
  // the silence prompts and the send line queue as commands do
  app.delivery.chat("Gosc1", "Jestes tam?");
  EXPECT_EQ(chat.refusedTexts(), 51);
  Tick(1);
  app.delivery.chat("Gosc1", "Jestes tam?");
  EXPECT_EQ(chat.refusedTexts(), 51);
}

TEST_F(ChatChannelTest, PageLinesFollowTheSwitches) {
  // the client's packets straight in, no server needed
  auto priv = [&](const std::string& message) {
    chat.client().Dispatch(polchat::BuildPayload({611}, {message, "x"}));
  };
  auto room = [&](const std::string& message) {
    chat.client().Dispatch(polchat::BuildPayload({610}, {message}));
  };
  const ConversationPage& page = app.model.chatPage;
  chat.client().Nick = "Plotrak";  // as a login sets it
  app.model.settings.SetFlag(SettingId::kChatPriv, true);
  app.model.settings.SetFlag(SettingId::kChatOpenTabs, false);
  priv("<b>Ala</b>: czesc");
  EXPECT_EQ(Traffic(), "[2026-12-07][12:00:00] [OD Ala] czesc");
  EXPECT_EQ(page.tabs().size(), 1u);

  app.model.settings.SetFlag(SettingId::kChatPriv, false);
  app.model.settings.SetFlag(SettingId::kChatOpenTabs, true);
  app.model.settings.SetFlag(SettingId::kChatGoToText, false);
  app.model.settings.SetFlag(SettingId::kChatGoToNew, false);
  priv("<b>Ola</b>: hej");
  ASSERT_EQ(page.tabs().size(), 2u);
  EXPECT_EQ(ToUtf8(page.tabs()[1].lines.back()), "[2026-12-07][12:00:00] [OD Ola] : hej");
  EXPECT_EQ(page.activeTab(), 0);
  EXPECT_EQ(Line("otwartych zakładek (chat): "), "otwartych zakładek (chat): 1");

  // with Ola's tab showing, "Main" adds room lines to it, "Serwer" off keeps notices out
  app.model.chatPage.ShowTab(1);
  app.model.settings.SetFlag(SettingId::kChatMain, true);
  room("<b>Ewa</b>: witam");
  room("** ktos wychodzi");
  EXPECT_EQ(ToUtf8(page.tabs()[1].lines.back()), "[2026-12-07][12:00:00] Ewa: witam");
  EXPECT_EQ(Traffic(), "[2026-12-07][12:00:00] ** ktos wychodzi");

  // the bot's own words and messages that name nobody open no tab and are not answered
  const std::string inBuffer = Line("Tekstów w buforze: ");
  priv("<b>Plotrak</b>: hej");
  priv("<b>~Plotrak</b>: hej");
  priv(" bez nadawcy");
  EXPECT_EQ(Traffic(), "[2026-12-07][12:00:00] [OD ] ");
  EXPECT_EQ(page.tabs().size(), 2u);
  EXPECT_EQ(Line("Tekstów w buforze: "), inBuffer);
}

}  // namespace
}  // namespace plotrak
