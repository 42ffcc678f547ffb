#include "engine/learning.h"

#include <gtest/gtest.h>

#include "engine/cp1250.h"
#include "engine/test_support.h"
#include "engine/text_codec.h"

namespace plotrak {
namespace {

using testing::TestEngine;

TEST(Learning, AnswerJoinsTheQuestionWithTheSameLetters) {
  TestEngine t;
  t.LoadBase({{"$X$", "x"}}, {{"Jak masz na imię?", "Plotrak"}});
  LearnPair(t.engine, "JAK MASZ NA IMIE", "Zenek");
  EXPECT_EQ(t.engine.base.Cell(kStaticBase, 1, 3), "Zenek");
  EXPECT_TRUE(t.engine.base.Cell(kStaticBase, 2, 1).empty());
  EXPECT_EQ(t.engine.base.staticKeys, 1);
  EXPECT_EQ(t.engine.base.staticAnswers, 2);
  LearnPair(t.engine, "jak masz na imie", "Zenek");  // a duplicate answer is still added
  EXPECT_EQ(t.engine.base.Cell(kStaticBase, 1, 4), "Zenek");
}

TEST(Learning, FullTableGrowsByOneRowForANewQuestion) {
  TestEngine t;
  t.LoadBase({{"$X$", "x"}}, {{"pierwsze", "1"}, {"drugie", "2"}});
  const int rows = t.engine.base.EntryCount();
  t.engine.base.SetCell(kStaticBase, t.engine.base.LastEntry(), 1, "ostatnie");
  LearnPair(t.engine, "nowe pytanie", "odpowiedz");
  EXPECT_EQ(t.engine.base.EntryCount(), rows + 1);
  EXPECT_EQ(t.engine.base.Cell(kStaticBase, rows - 1, 1), "ostatnie");
  EXPECT_EQ(t.engine.base.Cell(kStaticBase, rows, 1), "nowe pytanie");
  EXPECT_EQ(t.engine.base.Cell(kStaticBase, rows, 2), "odpowiedz");
}

TEST(Learning, FullEntryGrowsByOneSlotColumn) {
  TestEngine t;
  t.LoadBase({{"$X$", "x"}}, {{"pytanie", "a", "b"}});
  const int slots = t.engine.base.SlotCount();
  t.engine.base.SetCell(kStaticBase, 1, t.engine.base.LastSlot(), "c");
  LearnPair(t.engine, "pytanie", "d");
  EXPECT_EQ(t.engine.base.SlotCount(), slots + 1);
  for (int k = 2; k <= 5; ++k)
    EXPECT_EQ(t.engine.base.Cell(kStaticBase, 1, k), std::string(1, 'a' + k - 2));
}

TEST(Learning, LearnedTableSavesAndReloadsCompletely) {
  TestEngine t;
  t.LoadBase({{"$X$", "x"}}, {{"pytanie", "a"}});
  t.engine.base.SetCell(kStaticBase, 1, t.engine.base.LastSlot(), "spare slot");
  t.engine.base.SetCell(kStaticBase, t.engine.base.LastEntry(), 1, "spare row");
  LearnPair(t.engine, "pytanie", "b");
  LearnPair(t.engine, "jeszcze jedno", "c");
  t.engine.SaveBase();
  KnowledgeBase reloaded;
  ASSERT_TRUE(ReloadBase(reloaded, t.engine.DataFile("baza.ptk")));
  EXPECT_EQ(BaseFileBytes(reloaded), BaseFileBytes(t.engine.base));
  EXPECT_EQ(reloaded.staticAnswers, 4);
}

TEST(Learning, PhraseIsStoredOncePerLetters) {
  TestEngine t;
  t.LoadBase({{"$X$", "x"}}, {{"q", "a"}}, {{"stare"}});
  LearnPhrase(t.engine, "Co to jest?");
  LearnPhrase(t.engine, "co TO jest");
  EXPECT_EQ(t.engine.base.dynamicPositions, 2);
  EXPECT_EQ(t.engine.base.Cell(kDynamicBase, 2, 1), "Co to jest?");
  EXPECT_EQ(t.engine.status.Get(FromUtf8("ilość pozycji w bazie dynamicznej: ")),
            FromUtf8("ilość pozycji w bazie dynamicznej: 2"));
}

TEST(Learning, ForgettingShiftsLaterPhrasesUp) {
  TestEngine t;
  t.LoadBase({{"$X$", "x"}}, {}, {{"a"}, {"b"}, {"c"}});
  EXPECT_FALSE(ForgetDynamicPhrase(t.engine, "B"));  // byte for byte only
  EXPECT_TRUE(ForgetDynamicPhrase(t.engine, "b"));
  EXPECT_EQ(t.engine.base.Cell(kDynamicBase, 1, 1), "a");
  EXPECT_EQ(t.engine.base.Cell(kDynamicBase, 2, 1), "c");
  EXPECT_TRUE(t.engine.base.Cell(kDynamicBase, 3, 1).empty());
  EXPECT_TRUE(ForgetDynamicPhrase(t.engine, "c"));  // the last used row leaves no copy
  EXPECT_TRUE(t.engine.base.Cell(kDynamicBase, 2, 1).empty());
  EXPECT_EQ(t.engine.learnedPhrases, 2);
  EXPECT_EQ(t.engine.status.Get(FromUtf8("Nauczonych zwrotów: ")),
            FromUtf8("Nauczonych zwrotów: 2"));
}

TEST(Learning, ForgettingInTheTablesLastRowEmptiesIt) {
  TestEngine t;
  t.LoadBase({{"$X$", "x"}}, {}, {{"a"}});
  t.engine.base.SetCell(kDynamicBase, t.engine.base.LastEntry(), 1, "x");
  t.engine.base.SetCell(kDynamicBase, t.engine.base.LastEntry() - 1, 1, "w");
  EXPECT_TRUE(ForgetDynamicPhrase(t.engine, "w"));
  EXPECT_EQ(t.engine.base.Cell(kDynamicBase, t.engine.base.LastEntry() - 1, 1), "x");
  EXPECT_TRUE(t.engine.base.Cell(kDynamicBase, t.engine.base.LastEntry(), 1).empty());
}

TEST(Learning, ABaseWithoutStaticOrDynamicTextsStillLearns) {
  // The file sizes the table by the texts it holds, so these sections are not in it.
  for (const bool withStatic : {false, true}) {
    TestEngine t;
    if (withStatic) {
      t.LoadBase({{"$X$", "x"}}, {{"q", "a"}});
    } else {
      t.LoadBase({{"$X$", "x"}});
    }
    LearnPhrase(t.engine, "nowe");
    LearnPair(t.engine, "pytanie", "odpowiedz");
    EXPECT_EQ(t.engine.base.Cell(kDynamicBase, 1, 1), "nowe");
    EXPECT_EQ(t.engine.base.dynamicPositions, 1);
    EXPECT_EQ(t.engine.base.staticKeys, withStatic ? 2 : 1);
    EXPECT_TRUE(ForgetDynamicPhrase(t.engine, "nowe"));
  }
  // Not even an answer slot.
  TestEngine t;
  ReloadBaseFromBytes(t.engine.base, EncodeText("v") + "\xC8\xC9");
  LearnPair(t.engine, "pytanie", "odpowiedz");
  EXPECT_EQ(t.engine.base.Cell(kStaticBase, 1, 2), "odpowiedz");
}

TEST(Learning, EmptyTextsAreNeitherStoredNorCounted) {
  TestEngine t;
  t.LoadBase({{"$X$", "x"}}, {{"q", "a"}}, {{"d"}});
  const int rows = t.engine.base.EntryCount();
  LearnPhrase(t.engine, "");
  LearnPair(t.engine, "q", "");
  LearnPair(t.engine, "nowe", "");
  LearnPair(t.engine, "", "bez pytania");
  EXPECT_EQ(t.engine.base.dynamicPositions, 1);
  EXPECT_EQ(t.engine.base.staticKeys, 2);
  EXPECT_EQ(t.engine.base.staticAnswers, 1);
  EXPECT_EQ(t.engine.base.EntryCount(), rows);
  EXPECT_EQ(t.engine.base.Cell(kStaticBase, 2, 1), "nowe");
  t.engine.SaveBase();
  KnowledgeBase reloaded;
  ASSERT_TRUE(ReloadBase(reloaded, t.engine.DataFile("baza.ptk")));
  EXPECT_EQ(reloaded.staticAnswers, t.engine.base.staticAnswers);
  EXPECT_EQ(reloaded.dynamicPositions, t.engine.base.dynamicPositions);
  // An empty question still joins a question without letters.
  LearnPair(t.engine, ":-)", "usmiech");
  LearnPair(t.engine, "", "drugi");
  EXPECT_EQ(t.engine.base.Cell(kStaticBase, 3, 3), "drugi");
}

}  // namespace
}  // namespace plotrak
