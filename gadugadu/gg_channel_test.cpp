#include "gadugadu/gg_channel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/bot_command.h"
#include "engine/cp1250.h"
#include "engine/test_support.h"
#include "gadugadu/gg_test_server.h"
#include "gadugadu/gg_test_support.h"
#include "gadugadu/gg_wire.h"
#include "shell/application.h"

namespace plotrak {
namespace {

using gg::testing::MessageFrom;
using gg::testing::PumpUntil;
using gg::testing::Raw;
using gg::testing::ServerConfig;
using gg::testing::TestServer;
using gg::testing::U32;

// The texts of the messages the server received, with their recipients.
std::vector<std::string> SentMessages(const TestServer& server) {
  std::vector<std::string> out;
  for (const gg::testing::Packet& p : server.Received()) {
    if (p.type != gg::kSendMsg || p.body.size() < 13) continue;
    const auto* b = reinterpret_cast<const uint8_t*>(p.body.data());
    out.push_back(std::to_string(gg::LoadU32(b)) + ":" + std::string(p.body.c_str() + 12));
  }
  return out;
}

class GgChannelTest : public ::testing::Test {
 protected:
  GgChannelTest() : server(Config()) {
    Write("baza.ptk",
          testing::MakeBaseBytes("test", {{{"$@CZESC@$", "Witaj"}, {"$@PYTANIE@$", "Nie wiem"}},
                                          {{"JAK MASZ NA IMIE", "Plotrak"}},
                                          {{"CO ROBISZ"}}}));
    Write("imiona.ptk", "Ala\r\n");
    EXPECT_EQ(app.Start(), std::nullopt);
    SettingsValues& s = app.model.settings;
    s.SetText(SettingId::kGgNumber, "4321");
    s.SetText(SettingId::kGgPassword, FromUtf8("hasło-gg"));
    s.SetText(SettingId::kGgServer, "127.0.0.1:" + std::to_string(server.port()));
    s.SetText(SettingId::kGgDescription, "opis");
    s.SetFlag(SettingId::kGgWithDescription, true);
    app.model.contacts.rows[1] = {"Ala", "1001", "T"};
    app.model.contacts.rows[2] = {"Ola", "1002", "N"};
    channel.client().SetTimeoutMs(2000);
  }
  static ServerConfig Config() {
    ServerConfig config;
    config.number = 4321;
    config.password = FromUtf8("hasło-gg");
    return config;
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir.path() / name, std::ios::binary) << bytes;
  }
  const std::vector<std::string>& Pane() { return app.model.ggPage.tabs()[1].lines; }
  // The pane's lines without their time stamps.
  std::vector<std::string> PaneText() {
    std::vector<std::string> out;
    for (const std::string& line : Pane())
      out.push_back(
          ToUtf8(line.size() > 23 && line[0] == '[' && line[12] == '[' ? line.substr(23) : line));
    return out;
  }
  void Connect() {
    app.hooks.connect["gg"]();
    ASSERT_TRUE(app.model.connected(Connection::kGaduGadu)) << ::testing::PrintToString(PaneText());
    channel.antifloodTimer().stop();  // the test drives the ticks
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) channel.AntifloodTick();
  }
  bool WaitPane(size_t lines) {
    return PumpUntil([&] { return Pane().size() >= lines; });
  }

  TestServer server;
  testing::ScratchDir dir;
  FixedClock clock{LocalTime{2026, 12, 7, 12, 0, 0}};
  Random random{5};
  Application app{dir.path(), "/opt/plotrak/plotrak", clock, random};
  GaduGaduChannel channel{app};
};

TEST_F(GgChannelTest, LogsInAnswersPacedStaysSilentForNAndAnswersCommandsAtOnce) {
  Connect();
  EXPECT_EQ(server.accepted(), 1);
  EXPECT_EQ(app.model.lamp(Lamp::kGaduGadu), LampColour::kGreen);
  ASSERT_TRUE(PumpUntil([&] { return server.Count(gg::kNewStatus) == 1; }));
  EXPECT_EQ(server.Received()[1].body, U32(4) + "opis" + std::string(1, '\0'));

  // two texts from Ala: the second answer counts from the first one's due tick
  server.Send(MessageFrom(1001, "czesc") + MessageFrom(1001, "czesc"));
  ASSERT_TRUE(WaitPane(2));
  const int64_t wait = (1500 + 180 * 5) / 100 + 1;  // "Witaj": 25 ticks
  ASSERT_EQ(channel.antiflood().all().size(), 2u);
  EXPECT_EQ(channel.antiflood().all()[0].due, std::to_string(wait));
  EXPECT_EQ(channel.antiflood().all()[1].due, std::to_string(2 * wait));
  EXPECT_EQ(ToUtf8(app.status.Get(GgBufferSizeLabel())), "Bufor antyflood(gadu-gadu): 2");
  Ticks(wait - 1);
  gg::testing::Pump(50);
  EXPECT_TRUE(SentMessages(server).empty());
  Ticks(1);
  ASSERT_TRUE(PumpUntil([&] { return SentMessages(server).size() == 1; }));
  EXPECT_EQ(SentMessages(server)[0], "1001:Witaj");

  // Ola ("N") is heard and logged but not answered; her command is answered at once
  server.Send(MessageFrom(1002, "czesc") + MessageFrom(1002, "!thinktime"));
  ASSERT_TRUE(PumpUntil([&] { return SentMessages(server).size() == 2; }));
  EXPECT_EQ(SentMessages(server)[1].substr(0, 5), "1002:");
  Ticks(wait);
  ASSERT_TRUE(PumpUntil([&] { return SentMessages(server).size() == 3; }));
  gg::testing::Pump(50);
  EXPECT_EQ(SentMessages(server).size(), 3u);  // Ala's second answer only
  EXPECT_EQ(SentMessages(server)[2], "1001:Witaj");

  // a stranger appears under the number; control bytes never reach the page
  server.Send(MessageFrom(5555, "czesc\x1b[2J"));
  ASSERT_TRUE(PumpUntil([&] { return app.model.ggPage.FindTab("5555") > 0; }));
  const std::vector<std::string> expected = {
      "[OD Ala] czesc",   "[OD Ala] czesc",      "[PRIV Ala] Witaj",
      "[OD Ola] czesc",   "[OD Ola] !thinktime", "[PRIV Ola] Czas zastanawiania się 1500",
      "[PRIV Ala] Witaj", "[OD 5555] czesc[2J"};
  EXPECT_EQ(PaneText(), expected);
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "logi" / "gadugadu" / "Ola.htm"));
  EXPECT_EQ(app.model.said(SaidChannel::kGaduGadu), 3);
  EXPECT_EQ(ToUtf8(app.status.Get(FromUtf8("Powiedzianych tekstów(gadu-gadu): "))),
            "Powiedzianych tekstów(gadu-gadu): 3");

  // the silence prompt and the send line go out at once, by name or number
  app.delivery.gg("1001", "halo?");
  app.model.ggPage.ShowTab(app.model.ggPage.FindTab("Ala"));
  app.hooks.sendLine["gg"]("recznie");
  app.model.ggPage.ShowTab(0);
  app.model.contacts.selectedRow = 2;
  app.hooks.sendLine["gg"]("do Oli");
  ASSERT_TRUE(PumpUntil([&] { return SentMessages(server).size() == 6; }));
  EXPECT_EQ(SentMessages(server)[3], "1001:halo?");
  EXPECT_EQ(SentMessages(server)[4], "1001:recznie");
  EXPECT_EQ(SentMessages(server)[5], "1002:do Oli");

  // the user disconnects: the server closes, the lamp goes grey
  app.hooks.disconnect["gg"]();
  ASSERT_TRUE(PumpUntil([&] { return !app.model.connected(Connection::kGaduGadu); }));
  EXPECT_EQ(app.model.lamp(Lamp::kGaduGadu), LampColour::kGrey);
  // a lost connection turns it red
  Connect();
  server.DropClient();
  ASSERT_TRUE(PumpUntil([&] { return !app.model.connected(Connection::kGaduGadu); }));
  EXPECT_EQ(app.model.lamp(Lamp::kGaduGadu), LampColour::kRed);
}

TEST_F(GgChannelTest, ImportsAndExportsTheContactList) {
  app.hooks.ggExportContacts();  // not connected
  Connect();
  app.hooks.ggExportContacts();
  app.hooks.ggImportContacts();
  ASSERT_TRUE(PumpUntil([&] { return server.Count(gg::kContactsRequest) == 2; }));
  const auto sent = server.Received();
  EXPECT_EQ(sent[2].body, std::string(1, '\0') + ";;Ala;Ala;;;1001;;0;;0;;0;\r\n" +
                              ";;Ola;Ola;;;1002;;0;;0;;0;\r\n");
  EXPECT_EQ(sent[3].body, "\x02");
  server.Send(Raw(gg::kContactsReply, "\x06;;x;Basia;;;2001;;0;;0;;0;\r\n;;y;Cel") +
              Raw(gg::kContactsReply, "\x06ina;;;2002;;0;;0;;0;\r\n"));
  ASSERT_TRUE(PumpUntil([&] { return app.model.contacts.rows[2][0] == "Celina"; }));
  EXPECT_EQ(app.model.contacts.rows[1], (ContactsTable::Row{"Basia", "2001", "T"}));
  EXPECT_EQ(app.model.contacts.rows[2], (ContactsTable::Row{"Celina", "2002", "T"}));
  EXPECT_EQ(PaneText(),
            (std::vector<std::string>{"[*** Błąd: Nie mogę wyeksportować kontaktów ***]",
                                      "[*** Wykonałem eksport kontaktów ***]",
                                      "[*** Zaimportowałem kontakty ***]"}));
}

TEST_F(GgChannelTest, FailuresAreOneBracketedLineEach) {
  app.hooks.ggApplyStatus();
  app.hooks.disconnect["gg"]();
  app.model.settings.SetText(SettingId::kGgServer, "127.0.0.1:99999");
  app.hooks.connect["gg"]();
  app.model.settings.SetText(SettingId::kGgServer, "127.0.0.1:" + std::to_string(server.port()));
  app.model.settings.SetText(SettingId::kGgPassword, "inne-haslo");
  app.hooks.connect["gg"]();
  EXPECT_EQ(PaneText(),
            (std::vector<std::string>{
                "[*** Musisz być połączony aby zmienić status ***]", "[*** Nie mogę rozłączyć ***]",
                "[*** Błąd: Nie mogę znaleść Hosta ***]", "[*** Błąd: Nie mogę się zalogować ***]",
                "[*** Błąd: Nie mogę się zalogować ***]"}));
  EXPECT_EQ(app.model.ggPage.activeTab(), 1);
  EXPECT_FALSE(app.model.connected(Connection::kGaduGadu));
  // the password appears nowhere the user or a log could see it
  for (const std::string& line : Pane()) EXPECT_EQ(line.find("haslo"), std::string::npos);
  EXPECT_EQ(app.model.statusBar().find("haslo"), std::string::npos);
  // a number that is not one is a conversion error for the general handler
  app.model.settings.SetText(SettingId::kGgNumber, "abc");
  app.hooks.connect["gg"]();
  EXPECT_NE(ToUtf8(app.model.statusBar()).find("abc"), std::string::npos);
  EXPECT_EQ(server.logins(), 1);
}

}  // namespace
}  // namespace plotrak
