#include "engine/mother_index.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/find_answer.h"
#include "engine/knowledge_base.h"
#include "engine/normalize.h"
#include "engine/test_support.h"

namespace plotrak {
namespace {

// The index may only drop keys that cannot match: every key that matches an input must be
// among its candidates.
TEST(MotherKeyIndex, NeverDropsAKeyThatMatches) {
  std::mt19937 gen(7);
  auto pick = [&gen](const std::string& alphabet, int minLen, int maxLen) {
    std::string s(std::uniform_int_distribution<int>(minLen, maxLen)(gen), ' ');
    for (char& c : s) c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(gen)];
    return s;
  };
  testing::TestEngine t;
  KnowledgeBase& base = t.engine.base;
  base.Resize(5, 402, 4, true);
  for (int e = 1; e <= 400; ++e) {
    std::string key;
    const int patterns = 1 + e % 2;
    for (int p = 0; p < patterns; ++p) key += "$" + pick("ABCab@^ ?", 1, 7) + "$";
    if (e % 17 == 0) key += "$";  // an unpaired "$"
    base.SetCell(kMotherBase, e, 1, key);
  }
  MotherKeyIndex index;
  index.Refresh(base);
  int matches = 0;
  for (int n = 0; n < 3000; ++n) {
    const std::string input = pick("ABC @!", 0, 9);
    const std::vector<int> candidates = index.Candidates(input, 0, base.LastEntry());
    for (int e = 1; e <= 400; ++e) {
      if (!MatchKey(t.engine, input, UpperAscii(base.Cell(kMotherBase, e, 1)), "x")) continue;
      ++matches;
      ASSERT_TRUE(std::binary_search(candidates.begin(), candidates.end(), e))
          << "key " << base.Cell(kMotherBase, e, 1) << " input '" << input << "'";
    }
  }
  EXPECT_GT(matches, 1000);
}

TEST(MotherKeyIndex, FollowsChangesOfTheKeys) {
  testing::TestEngine t;
  t.LoadBase({{"$PIERWSZY$", "1"}, {"$DRUGI$", "2"}});
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "drugi", "x"), "2");
  t.engine.base.SetCell(kMotherBase, 2, 1, "$TRZECI$");
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "drugi", "x"), "");
  EXPECT_EQ(FindAnswer(t.engine, kMotherBase, "trzeci", "x"), "2");
}

}  // namespace
}  // namespace plotrak
