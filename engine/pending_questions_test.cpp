#include "engine/pending_questions.h"

#include <gtest/gtest.h>

#include "engine/cp1250.h"
#include "engine/respond.h"
#include "engine/test_support.h"

namespace plotrak {
namespace {

// Each step stores a question for a speaker; the table keeps its last row free and grows by
// one row when the row it would use is that last one.
struct PendingStep {
  const char* speaker;
  const char* question;
  int row;   // where the speaker's question is now (0: nowhere)
  int size;  // rows after the step, element 0 included
  const char* shown;
};

TEST(PendingQuestions, RowsAndGrowth) {
  const PendingStep steps[] = {
      {"A", "q$1$", 2, 3, "q1"},  // row 1 is the last one: a row is appended for A
      {"B", "q2", 1, 3, "q2"},    // the first free row
      {"A", "q3", 2, 3, "q3"},    // his own row, even though it is the last one
      {"C", "q4", 3, 4, "q4"},    // no free row at all: one more
      {"A", "", 0, 4, ""},        // an empty question frees his row
      {"D", "q5", 2, 4, "q5"},    // the freed row is taken again
      {"B", "$$", 1, 4, ""},      // a question of "$" only is kept, shown empty
      {"C", "", 0, 4, ""},        // frees the last row
      {"E", "q6", 4, 5, "q6"},    // the first free row is the last: a row is appended
  };
  PendingQuestionTable table;
  EXPECT_EQ(table.Size(), 2);
  for (const PendingStep& step : steps) {
    SCOPED_TRACE(std::string(step.speaker) + " " + step.question);
    bool grew = false;
    const int before = table.Size();
    EXPECT_EQ(table.SetPending(step.speaker, step.question, step.row % 2 == 0, &grew), step.shown);
    EXPECT_EQ(table.Size(), step.size);
    EXPECT_EQ(grew, step.size > before);
    const auto pending = table.GetPending(step.speaker);
    EXPECT_EQ(pending.question, step.question);
    if (step.row != 0) {
      EXPECT_EQ(table[step.row].speaker, step.speaker);
      EXPECT_EQ(pending.fromDynamic, step.row % 2 == 0);
    }
  }
  EXPECT_EQ(table.GetPending("B").question, "$$");
  EXPECT_EQ(table.GetPending("nobody").question, "");
}

TEST(PendingQuestions, GrowthIsShownOnTheSizeLine) {
  testing::TestEngine t;
  t.LoadBase({{"$X$", "x"}}, {{"Jaki lubisz kolor?", "niebieski"}});
  t.engine.settings.fixedVsRandom = 1000;
  t.engine.settings.learnVsPerfect = 1000;
  const std::string label = FromUtf8("rozmiar tablicy bierzącej: ");
  EXPECT_EQ(Respond(t.engine, "A", "nic", false, "prog"), "Jaki lubisz kolor?");
  EXPECT_EQ(t.status.Get(label), label + "3");
  Respond(t.engine, "B", "nic", false, "prog");  // row 1, no growth
  Respond(t.engine, "C", "nic", false, "prog");
  EXPECT_EQ(t.status.Get(label), label + "4");
}

}  // namespace
}  // namespace plotrak
