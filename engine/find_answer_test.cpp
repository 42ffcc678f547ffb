#include "engine/find_answer.h"

#include <gtest/gtest.h>

#include "engine/cp1250.h"
#include "engine/respond.h"
#include "engine/test_support.h"

namespace plotrak {
namespace {

using testing::TestEngine;

TEST(FindAnswer, MotherAnswersRotatePerPerson) {
  TestEngine t;
  t.LoadBase({{"$CZESC$", "jeden", "dwa", "trzy"}});
  for (const char* expected : {"jeden", "dwa", "trzy", "jeden"}) {
    EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "czesc", "ala"), expected);
  }
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, FromUtf8("Cześć"), "ola"), "jeden");
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "czesc", "ala"), "dwa");
}

TEST(FindAnswer, MotherKeysMatchTheFoldedInputAndAnyOfTheirPatterns) {
  TestEngine t;
  t.LoadBase({{"$@PIES@$$@KOT@$", "zwierzak"}, {"$jak sie masz$", "dobrze"}});
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, FromUtf8("mój kot śpi"), "x"), "zwierzak");
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "Jak sie masz", "x"), "dobrze");
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, FromUtf8("jak się masz"), "x"), "dobrze");
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "jak sie masz?", "x"), "");
  // An empty input is a single space, which only "@@@" or "???" keys can take.
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "", "x"), "");
}

TEST(FindAnswer, PolishLettersInAMotherKeyNeverMatch) {
  TestEngine t;
  t.LoadBase({{"$CZEŚĆ$", "nigdy"}});
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, FromUtf8("CZEŚĆ"), "x"), "");
}

TEST(FindAnswer, StaticQuestionsCompareLettersOnly) {
  TestEngine t;
  t.LoadBase({{"$X$", "x"}}, {{"Jak masz na imię?", "Plotrak"}, {"Bez odpowiedzi"}});
  EXPECT_EQ(FindAnswer(t.engine, kStaticBase, "jak masz na imie", "x"), "Plotrak");
  EXPECT_EQ(FindAnswer(t.engine, kStaticBase, "JAK, masz na... imie!!", "x"), "Plotrak");
  EXPECT_EQ(FindAnswer(t.engine, kStaticBase, "bez odpowiedzi", "x"), "");
  EXPECT_EQ(FindAnswer(t.engine, kStaticBase, "inne pytanie", "x"), "");
}

TEST(FindAnswer, StaticAnswersAreDrawnFromAllOfThem) {
  TestEngine t;
  t.LoadBase({{"$X$", "x"}}, {{"pytanie", "a", "b", "c"}});
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) seen.insert(FindAnswer(t.engine, kStaticBase, "pytanie", "x"));
  EXPECT_EQ(seen, (std::set<std::string>{"a", "b", "c"}));
}

TEST(FindAnswer, SearchStopsAtTheFirstEmptyKey) {
  TestEngine t;
  t.LoadBase({{"$A$", "a"}, {"$B$", "b"}}, {{"jeden", "1"}, {"dwa", "2"}});
  t.engine.base.SetCell(kMotherBase, 1, 1, "");
  t.engine.base.SetCell(kStaticBase, 1, 1, "");
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "B", "x"), "");
  EXPECT_EQ(FindAnswer(t.engine, kStaticBase, "dwa", "x"), "");
}

TEST(FindAnswer, LastMarkerLivesUntilTheEndOfTheNextSearch) {
  TestEngine t;
  t.LoadBase({{"$A$", "a"}});
  const int who = t.engine.people.FindOrAddInterlocutor("ala");
  t.engine.people[who].lastMarker = "SPORT";
  FindAnswer(t.engine, kMotherBase, "nic", "ala");
  EXPECT_EQ(t.engine.people[who].lastMarker, "");
}

TEST(FindAnswer, EntryWhoseAnswersAllFailGivesWayToTheNextMatchingOne) {
  TestEngine t;
  t.LoadBase({{"$@KOT@$", "|CZY_KOBIETA&true|Dla pani kot", "|CZY_KOBIETA&true|Kotek"},
              {"$@PIES@$", "pies"},
              {"$@KOT@$", "kot dla pana"}});
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "mam kota", "jan"), "kot dla pana");
  t.engine.people[t.engine.people.FindInterlocutor("jan")].female = 1;
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "mam kota", "jan"), "Dla pani kot");
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "mam kota", "jan"), "Kotek");
}

TEST(FindAnswer, RotationSkipsAnswersThatDoNotApplyNow) {
  TestEngine t;
  t.LoadBase({{"$@KOT@$", "jeden", "|CZY_KOBIETA&true|dla pani", "trzy"}});
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "kot", "jan"), "jeden");
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "kot", "jan"), "trzy");
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "kot", "jan"), "jeden");
}

TEST(FindAnswer, SecondLocateSeesWhatTheFirstOneSet) {
  TestEngine t;
  t.LoadBase({{"$@MECZ@$|CZY_TEMAT&SPORT|", "znowu o sporcie"},
              {"$@MECZ@$|TEMAT&SPORT|", "lubisz sport?"},
              {"$@PILKA@$|CZY_TEMAT&SPORT|", "pilka nozna?"}});
  // The first pass matches entry 2 and sets the topic; locating the entry again, entry 1
  // now holds.
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "ogladales mecz", "ola"), "znowu o sporcie");
  EXPECT_EQ(t.engine.people[t.engine.people.FindInterlocutor("ola")].topic, "SPORT");
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "pilka", "ola"), "pilka nozna?");
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "pilka", "ewa"), "");
}

TEST(FindAnswer, MissingRecordIsCreatedForTheSpeaker) {
  TestEngine t;
  t.LoadBase({{"$A$", "a"}});
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "A", "nowy"), "a");
  const int who = t.engine.people.FindInterlocutor("nowy");
  ASSERT_NE(who, 0);
  EXPECT_EQ(t.engine.people[who].answerMemory.size(), 3u);
}

}  // namespace
}  // namespace plotrak
