#include "applet/www_conversation.h"

#include <gtest/gtest.h>

#include "applet/applet_test_support.h"

namespace plotrak {
namespace {

using testing::ReadFile;
using testing::StartedApp;

TEST(WwwConversationTest, ShowsLogsCountsAndAnswersEveryText) {
  StartedApp t;
  ASSERT_TRUE(t.started);
  ConversationPage& page = t.app.model.wwwPage;
  const std::string stamp = "[2026-12-07][12:30:05] ";

  // a text the base answers, in a fresh tab
  EXPECT_EQ(WwwConversation(t.app, "gosc1", "co slychac?"), "Wszystko dobrze");
  ASSERT_EQ(page.tabs().size(), 2u);
  EXPECT_EQ(page.tabs()[1].caption, "gosc1");
  const std::vector<std::string> expected = {stamp + "[OD gosc1] co slychac?",
                                             stamp + "[PRIV gosc1] Wszystko dobrze"};
  EXPECT_EQ(page.tabs()[0].lines, expected);
  EXPECT_EQ(page.tabs()[1].lines, expected);
  EXPECT_EQ(page.activeTab(), 1);
  EXPECT_EQ(t.Line("Powiedzianych tekstów(www): "), "Powiedzianych tekstów(www): 1");
  EXPECT_EQ(t.Line("Powiedzianych tekstów(suma): "), "Powiedzianych tekstów(suma): 1");
  EXPECT_EQ(t.Line("otwartych zakładek (WWW): "), "otwartych zakładek (WWW): 1");
  EXPECT_EQ(t.Line("Ostatni tekst od: "), "Ostatni tekst od: gosc1");
  const std::string log = ReadFile(t.dir.path() / "logi" / "www" / "gosc1.htm");
  EXPECT_NE(log.find("co slychac?"), std::string::npos);
  EXPECT_NE(log.find("Wszystko dobrze"), std::string::npos);

  // the same identifier shares its tab and its engine record
  WwwConversation(t.app, "gosc1", "czesc");
  EXPECT_EQ(page.tabs().size(), 2u);
  EXPECT_EQ(page.tabs()[1].lines.size(), 4u);
  const int people = t.app.engine.people.Size();

  // a command answer replaces the engine's
  const std::string banner = BotCommand(t.app.engine, t.app.CommandState(), "!info", false);
  ASSERT_FALSE(banner.empty());
  EXPECT_EQ(WwwConversation(t.app, "gosc1", "!info"), banner);
  EXPECT_EQ(t.app.engine.people.Size(), people);

  // control bytes from the network never reach a tab, a log or the engine
  WwwConversation(t.app, "zly\r\n\x1b[2J", "a\x07\tb");
  ASSERT_EQ(page.tabs().size(), 3u);
  EXPECT_EQ(page.tabs()[2].caption, "zly  [2J");
  EXPECT_EQ(page.tabs()[2].lines[0], stamp + "[OD zly  [2J] a b");

  // with the tabs switch off, lines still reach the traffic pane; logging off writes nothing
  t.app.model.settings.SetFlag(SettingId::kWwwOpenTabs, false);
  t.app.model.settings.SetFlag(SettingId::kWwwLog, false);
  const size_t traffic = page.tabs()[0].lines.size();
  WwwConversation(t.app, "gosc2", "czesc");
  EXPECT_EQ(page.tabs().size(), 3u);
  EXPECT_EQ(page.tabs()[0].lines.size(), traffic + 2);
  EXPECT_FALSE(std::filesystem::exists(t.dir.path() / "logi" / "www" / "gosc2.htm"));
  EXPECT_EQ(t.Line("Powiedzianych tekstów(www): "), "Powiedzianych tekstów(www): 5");

  // an identifier that is nothing but control bytes is refused without a trace
  EXPECT_EQ(WwwConversation(t.app, "\x01\x02", "czesc"), "");
  EXPECT_EQ(page.tabs()[0].lines.size(), traffic + 2);
  EXPECT_EQ(t.Line("Powiedzianych tekstów(www): "), "Powiedzianych tekstów(www): 5");
}

}  // namespace
}  // namespace plotrak
