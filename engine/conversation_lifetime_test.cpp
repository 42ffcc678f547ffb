#include "engine/conversation_lifetime.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "engine/cp1250.h"
#include "engine/respond.h"
#include "engine/test_support.h"

namespace plotrak {
namespace {

struct Prompt {
  int second;  // seconds after the start
  std::string channel, speaker, text;
};

class SilenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.LoadBase({{"$@CZESC@$", "Witaj"}});
    StartEngine(t.engine, lifetime);
    auto record = [this](const char* channel) {
      return [this, channel](const std::string& speaker, const std::string& prompt) {
        prompts.push_back({elapsed, channel, speaker, ToUtf8(prompt)});
      };
    };
    delivery = {record("prog"), record("chat"), record("gg")};
  }
  void Say(const std::string& speaker, const std::string& channel) {
    Respond(t.engine, speaker, "czesc", false, channel);
  }
  // Runs the silence timer for `seconds` ticks, one second apart.
  void Run(int seconds) {
    for (int i = 0; i < seconds; ++i) {
      t.clock.Advance(1);
      ++elapsed;
      SilenceTick(t.engine, lifetime.stages, delivery);
    }
  }
  std::vector<int> SecondsFor(const std::string& speaker) const {
    std::vector<int> out;
    for (const Prompt& p : prompts)
      if (p.speaker == speaker) out.push_back(p.second);
    return out;
  }

  testing::TestEngine t;
  ConversationLifetime lifetime;
  SilenceDelivery delivery;
  std::vector<Prompt> prompts;
  int elapsed = 0;
};

TEST_F(SilenceTest, OnePromptOfEachStageAfter90And150And240Seconds) {
  Say("TY", "prog");
  Run(600);
  EXPECT_EQ(SecondsFor("TY"), (std::vector<int>{90, 150, 240}));
  const auto stages = DefaultSilenceStages();
  for (size_t i = 0; i < prompts.size(); ++i) {
    std::set<std::string> allowed;
    for (const std::string& p : stages[i + 1].prompts)
      if (!p.empty()) allowed.insert(ToUtf8(p));
    EXPECT_TRUE(allowed.count(prompts[i].text)) << prompts[i].text;
  }
  EXPECT_EQ(prompts[0].channel, "prog");
}

TEST_F(SilenceTest, ANewTextRestartsTheCount) {
  Say("TY", "prog");
  Run(100);
  Say("TY", "prog");
  Run(300);
  EXPECT_EQ(SecondsFor("TY"), (std::vector<int>{90, 190, 250, 340}));
}

TEST_F(SilenceTest, EndedAndAppletConversationsGetNothing) {
  Say("ola", "chat");
  Say("123", "gg");
  Say("gosc", "www");
  Say("zly", "chat");
  EndConversation(t.engine.people[t.engine.people.FindInterlocutor("zly")]);
  Run(300);
  EXPECT_EQ(SecondsFor("ola"), (std::vector<int>{90, 150, 240}));
  EXPECT_EQ(SecondsFor("123"), (std::vector<int>{90, 150, 240}));
  EXPECT_TRUE(SecondsFor("gosc").empty());
  EXPECT_TRUE(SecondsFor("zly").empty());
  for (const Prompt& p : prompts) EXPECT_EQ(p.channel, p.speaker == "ola" ? "chat" : "gg");
}

TEST_F(SilenceTest, ALateTickSkipsThePrompt) {
  Say("TY", "prog");
  t.clock.Advance(91);  // the tick of second 90 never came
  SilenceTick(t.engine, lifetime.stages, delivery);
  EXPECT_TRUE(prompts.empty());
}

TEST_F(SilenceTest, LocalDeliveryWritesTheMemoLineAndTheLog) {
  std::vector<std::string> memo;
  t.engine.onLocalMemoLine = [&](const std::string& line) { memo.push_back(line); };
  bool log = true;
  delivery.prog = LocalSilenceDelivery(t.engine, [&] { return log; });
  Say("TY", "prog");
  Run(90);
  ASSERT_EQ(memo.size(), 1u);
  EXPECT_EQ(memo[0].rfind("PLOTRAK: ", 0), 0u);
  std::ifstream in(t.dir.path() / "logi" / "program" / "TY.htm", std::ios::binary);
  std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(html.find("<b>PLOTRAK</b><i> " + ToUtf8(memo[0].substr(9))), std::string::npos);
  log = false;
  Run(60);
  EXPECT_EQ(memo.size(), 2u);
}

TEST(LoadNamesTest, UpperCasesFoldsPolishCapitalsAndDropsSpaces) {
  testing::TestEngine t;
  std::ofstream(t.dir.path() / "imiona.ptk", std::ios::binary)
      << FromUtf8("Łukasz\r\nEwa Maria\r\nżaneta\r\nŚwiętosław\r\n\r\n");
  ASSERT_TRUE(LoadNames(t.engine));
  EXPECT_EQ(t.engine.names,
            (std::vector<std::string>{"LUKASZ", "EWAMARIA", "ZANETA", "SWIETOSLAW", ""}));
  EXPECT_EQ(t.engine.nameSpellings,
            (std::vector<std::string>{FromUtf8("Łukasz"), "Ewamaria", FromUtf8("Żaneta"),
                                      FromUtf8("Świętosław"), ""}));
  EXPECT_FALSE(t.engine.dataFileFailure);
}

TEST(LoadNamesTest, MissingFileSetsTheFailureFlag) {
  testing::TestEngine t;
  EXPECT_FALSE(LoadNames(t.engine));
  EXPECT_TRUE(t.engine.dataFileFailure);
  EXPECT_EQ(NamesMissingText(), "Plik imiona.ptk nie odnaleziony");
}

TEST(EngineLifetimeTest, StartEmptiesTheTablesAndStopReleasesThem) {
  testing::TestEngine t;
  ConversationLifetime lifetime;
  t.engine.people.FindOrAddInterlocutor("x");
  t.engine.pending.SetPending("x", "q", false);
  StartEngine(t.engine, lifetime);
  EXPECT_EQ(t.engine.people.Size(), 2);
  EXPECT_EQ(t.engine.pending.Size(), 2);
  EXPECT_EQ(lifetime.stages[3].threshold, "240");
  EXPECT_TRUE(lifetime.stages[4].threshold.empty());
  EXPECT_TRUE(lifetime.timerRunning);
  StopEngine(t.engine, lifetime);
  EXPECT_FALSE(lifetime.timerRunning);
  EXPECT_TRUE(lifetime.stages[1].threshold.empty());
}

}  // namespace
}  // namespace plotrak
