#include "shell/conversation_page.h"

#include <gtest/gtest.h>

#include "engine/cp1250.h"
#include "shell/page_line_filter.h"
#include "shell/presentation_model.h"

namespace plotrak {
namespace {

class ConversationPageTest : public ::testing::Test {
 protected:
  StatusLines status;
  ConversationPage page{"gg", {"Kontakty", "Rozmowa "}, "otwartych: ", status};
};

TEST_F(ConversationPageTest, PersonLineOpensAndShowsATabAndCountsIt) {
  std::vector<std::pair<ConversationPage::Change, int>> changes;
  page.onChange = [&](ConversationPage::Change c, int i) { changes.push_back({c, i}); };
  EXPECT_EQ(page.AddPersonLine("Ala", "[OD Ala] hej"), 2);
  EXPECT_EQ(page.activeTab(), 2);
  EXPECT_EQ(page.tabs()[2].lines, (std::vector<std::string>{"[OD Ala] hej"}));
  EXPECT_EQ(status.Get("otwartych: "), "otwartych: 1");
  EXPECT_EQ(page.AddPersonLine("Ala", "[PRIV Ala] no"), 2);  // same tab
  EXPECT_EQ(page.openTabCount(), 1);
  EXPECT_EQ(changes.front().first, ConversationPage::Change::kTabOpened);
}

TEST_F(ConversationPageTest, SwitchesDecideOpeningAndShowing) {
  page.openNewTabs = false;
  EXPECT_EQ(page.AddPersonLine("Ala", "x"), -1);
  EXPECT_EQ(page.tabs().size(), 2u);
  page.openNewTabs = true;
  page.goToNewTabs = false;
  page.goToTextTab = false;
  EXPECT_EQ(page.AddPersonLine("Ala", "x"), 2);
  EXPECT_EQ(page.activeTab(), 0);
  page.goToTextTab = true;
  page.AddPersonLine("Ala", "y");
  EXPECT_EQ(page.activeTab(), 2);
}

TEST_F(ConversationPageTest, ClosingCountsOffAndKeepsFixedTabs) {
  page.AddPersonLine("Ala", "x");
  page.AddPersonLine("Ola", "y");
  page.CloseTab(2);
  EXPECT_EQ(page.openTabCount(), 1);
  EXPECT_EQ(page.tabs()[2].caption, "Ola");
  EXPECT_EQ(page.activeTab(), 2);
  page.CloseTab(0);
  page.CloseTab(1);
  EXPECT_EQ(page.tabs().size(), 3u);
  page.CloseTab(2);
  EXPECT_EQ(page.activeTab(), 1);
  EXPECT_EQ(status.Get("otwartych: "), "otwartych: 0");
}

TEST_F(ConversationPageTest, AFloodOfPeopleAndLinesStaysBounded) {
  for (int i = 0; i < kMaxPersonTabs + 50; ++i)
    page.AddPersonLine("gosc" + std::to_string(i), "czesc");
  EXPECT_EQ(page.openTabCount(), kMaxPersonTabs);
  EXPECT_EQ(page.AddPersonLine("jeszcze jeden", "czesc"), -1);  // traffic pane only
  const int first = page.FindTab("gosc0");
  for (size_t i = 0; i < 3 * kMaxLinesPerTab; ++i) page.AddLine(first, std::to_string(i));
  const auto& lines = page.tabs()[first].lines;
  EXPECT_LE(lines.size(), kMaxLinesPerTab);
  EXPECT_EQ(lines.back(), std::to_string(3 * kMaxLinesPerTab - 1));  // the newest stay
}

TEST(PresentationModelTest, PageSwitchesFollowTheSettingsExceptGaduGadu) {
  StatusLines status;
  PresentationModel model(status);
  model.settings.SetFlag(SettingId::kChatOpenTabs, false);
  model.settings.SetFlag(SettingId::kWwwGoToText, false);
  EXPECT_FALSE(model.chatPage.openNewTabs);
  EXPECT_FALSE(model.wwwPage.goToTextTab);
  EXPECT_TRUE(model.ggPage.openNewTabs);
  EXPECT_EQ(model.ggPage.tabs()[0].caption, "Kontakty");
}

TEST(PresentationModelTest, SaidCountersShowEachChannelAndTheSum) {
  StatusLines status;
  PresentationModel model(status);
  model.ShowInitialCaptions();
  EXPECT_EQ(ToUtf8(status.Get(FromUtf8("Powiedzianych tekstów(suma): "))),
            "Powiedzianych tekstów(suma): 0");
  model.CountSaid(SaidChannel::kProgram);
  model.CountSaid(SaidChannel::kGaduGadu);
  model.CountSaid(SaidChannel::kGaduGadu);
  EXPECT_EQ(ToUtf8(status.Get(FromUtf8("Powiedzianych tekstów (chat): "))),
            "Powiedzianych tekstów (chat): 0");
  model.CountSaid(SaidChannel::kChat);
  model.CountSaid(SaidChannel::kWww);
  // each channel rewrites its line with its own spelling of the caption
  EXPECT_EQ(ToUtf8(status.Get(FromUtf8("Powiedzianych tekstów(program): "))),
            "Powiedzianych tekstów (program): 1");
  EXPECT_EQ(ToUtf8(status.Get(FromUtf8("Powiedzianych tekstów (chat): "))),
            "Powiedzianych tekstów(chat): 1");
  EXPECT_EQ(ToUtf8(status.Get(FromUtf8("Powiedzianych tekstów(www): "))),
            "Powiedzianych tekstów(www): 1");
  EXPECT_EQ(ToUtf8(status.Get(FromUtf8("Powiedzianych tekstów(gadu-gadu): "))),
            "Powiedzianych tekstów(gadu-gadu): 2");
  EXPECT_EQ(ToUtf8(status.Get(FromUtf8("Powiedzianych tekstów(suma): "))),
            "Powiedzianych tekstów(suma): 5");
}

TEST(PageLineFilterTest, AnEchoInAnotherTabIsDroppedARepeatInOneTabIsNot) {
  PageLineFilter filter;
  EXPECT_TRUE(filter.ShouldPrint(0, "[OD Ala] hej"));
  EXPECT_FALSE(filter.ShouldPrint(2, "[OD Ala] hej"));  // the same line in Ala's tab
  EXPECT_TRUE(filter.ShouldPrint(2, "[OD Ala] hej"));   // Ala says it again
  EXPECT_TRUE(filter.ShouldPrint(2, "[OD Ala] hej"));
  EXPECT_FALSE(filter.ShouldPrint(0, "[OD Ala] hej"));  // ... and its echo in the pane
  EXPECT_TRUE(filter.ShouldPrint(0, "[OD Ola] cze"));
}

TEST(PresentationModelTest, ConnectionStatesAnnounceOnlyChanges) {
  StatusLines status;
  PresentationModel model(status);
  int calls = 0;
  model.onConnected = [&](Connection, bool) { ++calls; };
  model.SetConnected(Connection::kChat, true);
  model.SetConnected(Connection::kChat, true);
  EXPECT_TRUE(model.connected(Connection::kChat));
  EXPECT_FALSE(model.connected(Connection::kWww));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(ToUtf8(model.statusBar()), "nie wykryto błędów w działaniu");
}

}  // namespace
}  // namespace plotrak
