#include "engine/respond.h"

#include <gtest/gtest.h>

#include <fstream>

#include "engine/bot_command.h"
#include "engine/cp1250.h"
#include "engine/incoming_text.h"
#include "engine/normalize.h"
#include "engine/test_support.h"

namespace plotrak {
namespace {

using testing::TestEngine;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// A base whose mother knows a greeting and the functional questions, with one static
// question and one dynamic phrase to ask.
void LoadSmallBase(TestEngine& t) {
  t.LoadBase({{"$CZESC$", "Witaj"}, {"$1111111111$", "Zagramy w gre?"}},
             {{"Jaki lubisz kolor?", "niebieski"}}, {{"co to jest kwark"}});
}

TEST(Respond, FirstTextOpensAConversationAndRepeatsAreCounted) {
  TestEngine t;
  LoadSmallBase(t);
  EXPECT_EQ(Respond(t.engine, "TY", "czesc", true, "prog"), "Witaj");
  const int who = t.engine.people.FindInterlocutor("TY");
  ASSERT_EQ(who, 2);  // element 1 is the permanent empty record
  EXPECT_EQ(t.engine.people[who].repeatCount, 1);
  EXPECT_EQ(t.engine.people[who].mood, 50);
  EXPECT_EQ(t.engine.people[who].channel, "prog");
  EXPECT_EQ(t.engine.stats.startedSinceStart, 1);
  EXPECT_EQ(t.status.Get(FromUtf8("Rozpoczętych rozmów - dziś: ")),
            FromUtf8("Rozpoczętych rozmów - dziś: 1"));
  Respond(t.engine, "TY", "czesc", true, "prog");
  EXPECT_EQ(t.engine.people[who].repeatCount, 2);
  EXPECT_EQ(t.engine.stats.startedSinceStart, 1);
  Respond(t.engine, "ty", "czesc", true, "prog");  // another person: letter case counts
  EXPECT_EQ(t.engine.stats.startedSinceStart, 2);
  EXPECT_EQ(t.status.Get(FromUtf8("Ostatni tekst od: ")), FromUtf8("Ostatni tekst od: ty"));
}

TEST(Respond, SilencedConversationAnswersNothing) {
  TestEngine t;
  LoadSmallBase(t);
  for (const char* channel : {"prog", "chat", "gg", "www"}) {
    Respond(t.engine, channel, "czesc", true, channel);
    auto& r = t.engine.people[t.engine.people.FindInterlocutor(channel)];
    EndConversation(r);
    EXPECT_EQ(Respond(t.engine, channel, "czesc", true, channel), "Witaj");  // ended only
    EndConversation(t.engine.people[t.engine.people.FindInterlocutor(channel)]);
    EXPECT_EQ(Respond(t.engine, channel, "czesc", true, channel),
              std::string(channel) == "prog" ? " " : "");
  }
}

TEST(Respond, SliderAtZeroAlwaysGivesTheFunctionalQuestionAndSavesNothing) {
  TestEngine t;
  LoadSmallBase(t);
  std::filesystem::remove(t.engine.DataFile("baza.ptk"));
  t.engine.settings.fixedVsRandom = 0;
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(Respond(t.engine, "TY", "nie rozumiem " + std::to_string(i), true, "prog"),
              "Zagramy w gre?");
  }
  EXPECT_FALSE(std::filesystem::exists(t.engine.DataFile("baza.ptk")));
  EXPECT_EQ(t.engine.base.dynamicPositions, 1);
}

TEST(Respond, SliderAtMaximumAsksAndLearnsThePhrase) {
  TestEngine t;
  LoadSmallBase(t);
  t.engine.settings.fixedVsRandom = 1000;
  t.engine.settings.learnVsPerfect = 1000;  // questions almost always from the static base
  int asked = 0;
  for (int i = 0; i < 20; ++i) {
    const std::string answer = Respond(t.engine, "p" + std::to_string(i),
                                       "zagadka " + std::string(1, 'a' + i), true, "chat");
    asked += answer == "Jaki lubisz kolor?" || answer == "co to jest kwark";
  }
  EXPECT_GE(asked, 19);  // only the draw of 1000 gives the functional question
  EXPECT_TRUE(std::filesystem::exists(t.engine.DataFile("baza.ptk")));
  EXPECT_GE(t.engine.base.dynamicPositions, 19);
}

TEST(Respond, AnswerToADynamicQuestionBecomesAStaticEntry) {
  TestEngine t;
  LoadSmallBase(t);
  t.engine.settings.fixedVsRandom = 1000;
  t.engine.settings.learnVsPerfect = 0;  // 50 of 150 draws ask from the dynamic base
  std::string asked;
  for (int i = 0; i < 50 && asked != "co to jest kwark"; ++i) {
    asked = Respond(t.engine, "TY", "niezrozumiale " + std::to_string(i), false, "prog");
  }
  ASSERT_EQ(asked, "co to jest kwark");
  const int before = t.engine.base.dynamicPositions;
  t.engine.settings.fixedVsRandom = 0;  // no new question after the answer
  Respond(t.engine, "TY", "czastka elementarna", true, "prog");
  EXPECT_EQ(t.engine.base.Cell(kStaticBase, 2, 1), "co to jest kwark");
  EXPECT_EQ(t.engine.base.Cell(kStaticBase, 2, 2), "czastka elementarna");
  EXPECT_NE(t.engine.base.Cell(kDynamicBase, 1, 1), "co to jest kwark");
  EXPECT_LE(t.engine.base.dynamicPositions, before);  // one left, one learned at most
  EXPECT_TRUE(t.engine.pending.GetPending("TY").question.empty());
  KnowledgeBase saved;
  ASSERT_TRUE(ReloadBase(saved, t.engine.DataFile("baza.ptk")));
  EXPECT_EQ(saved.Cell(kStaticBase, 2, 2), "czastka elementarna");
}

TEST(Respond, ChannelWithoutLearningKeepsThePendingQuestion) {
  TestEngine t;
  LoadSmallBase(t);
  t.engine.settings.fixedVsRandom = 1000;
  t.engine.settings.learnVsPerfect = 1000;
  std::string asked;
  for (int i = 0; i < 20 && asked.empty(); ++i) {
    std::string a = Respond(t.engine, "gosc", "hmm " + std::to_string(i), false, "www");
    if (a == "Jaki lubisz kolor?") asked = a;
  }
  ASSERT_FALSE(asked.empty());
  const int answers = t.engine.base.staticAnswers;
  Respond(t.engine, "gosc", "czerwony", false, "www");
  EXPECT_EQ(t.engine.base.staticAnswers, answers);
  EXPECT_FALSE(t.engine.pending.GetPending("gosc").question.empty());
}

TEST(Respond, EmptyBaseSectionsGiveTheErrorTexts) {
  TestEngine t;
  t.LoadBase({{"$X$", "x"}});
  std::vector<std::string> memo;
  t.engine.onLocalMemoLine = [&memo](const std::string& line) { memo.push_back(line); };
  t.engine.settings.fixedVsRandom = 1000;
  t.engine.settings.learnVsPerfect = 0;
  int blad2 = 0;
  for (int i = 0; i < 30; ++i) {
    blad2 += Respond(t.engine, "TY", "??" + std::to_string(i), false, "prog") ==
             "BLAD 2 PROSZE ZGLOSCIC RIZAVIDU!!!!!!!!";
  }
  EXPECT_GE(blad2, 29);
  EXPECT_FALSE(memo.empty());
  EXPECT_EQ(memo.front(), "BLAAAD 51 PROSZE ZGLOSCIC RIZAVIDU");
}

TEST(Respond, WwwConversationLengthIsMeasuredOnLaterTexts) {
  TestEngine t;
  LoadSmallBase(t);
  t.engine.uptimeSeconds = 100;
  Respond(t.engine, "v1", "czesc", false, "www");
  EXPECT_EQ(t.engine.stats.longestWww, 0);
  t.engine.uptimeSeconds = 3825;
  Respond(t.engine, "v1", "czesc", false, "www");
  EXPECT_EQ(t.engine.stats.longestWww, 3725);
  EXPECT_EQ(t.status.Get(FromUtf8("Najdłuższa rozmowa(WWW): ")),
            FromUtf8("Najdłuższa rozmowa(WWW): godzin 1 minut 2 sekund 5"));
  EXPECT_EQ(t.status.Get(FromUtf8("Najdłuższa rozmowa(WWW)  - osoba: ")),
            FromUtf8("Najdłuższa rozmowa(WWW)  - osoba: v1"));
}

TEST(Respond, ServiceLogKeepsEveryTextWhenOn) {
  TestEngine t;
  LoadSmallBase(t);
  Respond(t.engine, "TY", "czesc", false, "prog");
  t.engine.settings.serviceLog = false;
  Respond(t.engine, "TY", "nie zapisane", false, "prog");
  t.engine.settings.serviceLog = true;
  Respond(t.engine, "TY", FromUtf8("żółw"), false, "prog");
  EXPECT_EQ(ReadFile(t.engine.DataFile("servicelog.ptk")), "czesc\r\n" + FromUtf8("żółw") + "\r\n");
}

}  // namespace
}  // namespace plotrak

namespace plotrak {
namespace {

// A text from a network peer can be huge and hold control bytes: it is cut and cleaned
// before anything sees it, so no control sequence is stored and replayed, and the matcher's
// work stays bounded.
TEST(Respond, LongBinaryTextIsCutAndCleanedBeforeItIsAnsweredOrLearned) {
  testing::TestEngine t;
  t.LoadBase({{"$@A@A@A@A@B$", "x"}, {"$@^CZESC^@$", "hej"}, {"$1111111111$", "f"}},
             {{"pytanie", "odp"}}, {{"fraza"}});
  t.engine.settings.fixedVsRandom = 1000;
  std::string text(200000, 'A');
  for (size_t i = 0; i < text.size(); i += 7) text[i] = static_cast<char>(i % 256);
  const std::string answer = Respond(t.engine, "peer", text, true, "chat");
  EXPECT_FALSE(answer.empty());
  // what comes after the bound is not seen at all
  EXPECT_NE(Respond(t.engine, "peer", text + " czesc", true, "chat"), "hej");
  EXPECT_EQ(Respond(t.engine, "peer", "\x1B[H\x1B[J czesc\a", true, "chat"), "hej");
  KnowledgeBase saved;
  ASSERT_TRUE(ReloadBase(saved, t.engine.DataFile("baza.ptk")));
  const std::string learned = saved.Cell(kDynamicBase, 2, 1);
  EXPECT_EQ(learned, CleanIncomingText(text));
  EXPECT_LE(learned.size(), kMaxIncomingText);
  EXPECT_EQ(t.engine.stats.longestText, static_cast<int32_t>(learned.size()));
  for (char c : learned) EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F);
}

// A command line is the bot's business, not conversation: it is neither learned as an answer
// nor kept as a phrase to ask others, and no question is asked behind the command's answer.
TEST(Respond, TextACommandAnswersIsNotLearned) {
  testing::TestEngine t;
  LoadSmallBase(t);
  t.engine.settings.fixedVsRandom = 1000;  // nothing answered: always ask and learn
  t.engine.settings.learnVsPerfect = 0;    // ask from the dynamic base
  Respond(t.engine, "TY", "zupelnie nowe", true, "prog");
  const auto asked = t.engine.pending.GetPending("TY");
  ASSERT_FALSE(asked.question.empty());
  const int phrases = t.engine.base.dynamicPositions;

  BotCommandState commands;
  EXPECT_EQ(RespondOrCommand(t.engine, commands, "TY", "!baseVersion", true, "prog", false),
            "test");
  EXPECT_EQ(t.engine.trace.how, "command");
  EXPECT_EQ(t.engine.base.dynamicPositions, phrases);
  EXPECT_EQ(t.engine.pending.GetPending("TY").question, asked.question);
  EXPECT_EQ(t.engine.people[t.engine.people.FindInterlocutor("TY")].lastText, "!baseVersion");

  // A command switched off is ordinary conversation, as Respond alone would have it.
  commands.enabled[static_cast<int>(BotCommandId::kBaseVersion)] = false;
  const std::string answer =
      RespondOrCommand(t.engine, commands, "TY", "!baseVersion", true, "prog", false);
  EXPECT_FALSE(answer.empty());
  const KnowledgeBase& base = t.engine.base;
  const int entry =
      base.FindByLetters(kStaticBase, NormalizeText(asked.question, NormalizeMode::kLettersOnly));
  ASSERT_NE(entry, 0);
  bool taught = false;
  for (int k = 2; k <= base.LastSlot(); ++k)
    taught |= base.Cell(kStaticBase, entry, k) == "!baseVersion";
  EXPECT_TRUE(taught);
}

}  // namespace
}  // namespace plotrak
