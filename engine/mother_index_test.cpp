#include "engine/mother_index.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/cp1250.h"
#include "engine/find_answer.h"
#include "engine/knowledge_base.h"
#include "engine/normalize.h"
#include "engine/test_support.h"

namespace plotrak {
namespace {

// Candidates are exactly the keys whose runs all occur, so every key that matches is among
// them: for random keys with wildcards, runs of whole and partial words, several spaces in a
// row, and the runs that the word tables leave to the automaton (parts nested deeper than
// the tables take, many runs on one pair of parts, long parts and rests).
TEST(MotherKeyIndex, CandidatesAreTheKeysWhoseRunsOccur) {
  const std::vector<std::string> words = {"A",    "AA",    "AAA",    "BA",      "ABA",     "KOT",
                                          "KOTA", "OTA",   "MA",     "AMA",     "",        "MAMA",
                                          "AAAA", "AAAAA", "AAAAAA", "AAAAAAA", "AAAAAAAA"};
  std::mt19937 gen(11);
  auto phrase = [&](int minWords, int maxWords) {
    std::string s;
    const int n = std::uniform_int_distribution<int>(minWords, maxWords)(gen);
    for (int w = 0; w < n; ++w) s += (w ? " " : "") + words[gen() % words.size()];
    return s;
  };
  testing::TestEngine t;
  KnowledgeBase& base = t.engine.base;
  base.Resize(5, 1002, 4, true);
  auto pick = [&gen](const std::string& alphabet, int minLen, int maxLen) {
    std::string s(std::uniform_int_distribution<int>(minLen, maxLen)(gen), ' ');
    for (char& c : s) c = alphabet[gen() % alphabet.size()];
    return s;
  };
  for (int e = 1; e <= 1000; ++e) {
    std::string key;
    for (int p = 0; p < 1 + e % 2; ++p) {
      if (e % 3 == 0) {
        key += "$" + pick("ABCab@^ ?", 1, 7) + "$";
        continue;
      }
      key += "$" + phrase(1, 4);
      if (gen() % 3 == 0) key += "@" + phrase(1, 2);
      key += "$";
    }
    if (e % 17 == 0) key += "$";  // an unpaired "$"
    // Nine runs on the pair ("KOT", "MA") and rests longer than the tables compare.
    if (e % 50 == 0) key = "$@KOT MA " + std::string(1 + e / 50 % 9, 'A') + "@$";
    if (e % 97 == 0) key = "$@A A " + std::string(60, 'A') + "@$";
    if (e % 89 == 0) key = "$@" + std::string(70, 'A') + " A@$";
    if (e % 83 == 0) key = "$@A " + std::string(300, 'B') + " A@$";
    base.SetCell(kMotherBase, e, 1, key);
  }
  MotherKeyIndex index;
  index.Refresh(base);
  int matches = 0;
  for (int n = 0; n < 3000; ++n) {
    std::string input = n % 3 == 0 ? pick("ABC @!", 0, 9) : phrase(1, 9);
    if (n % 4 == 0) input.insert(gen() % (input.size() + 1), "  ");
    if (n % 100 == 0)
      input = "A A " + std::string(n % 200 ? 70 : 300, "AB"[n / 100 % 4 / 2]) + " A";
    std::vector<int> expected;
    for (int e = 1; e <= 1000; ++e) {
      const std::string key(base.Cell(kMotherBase, e, 1));
      if (KeyMayMatch(input, key)) expected.push_back(e);
      if (MatchKey(t.engine, input, UpperAscii(key), "x")) {
        ++matches;
        ASSERT_TRUE(KeyMayMatch(input, key)) << "key " << key << " input '" << input << "'";
      }
    }
    ASSERT_EQ(index.Candidates(input, 0, base.LastEntry()), expected) << "input '" << input << "'";
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

// A remembered key whose entry now holds another key is still matched as the text heard:
// the answer rotates through the entry that took the key over, as the ordered scan does.
TEST(MotherKeyIndex, RemembersKeysThatMovedToAnotherEntry) {
  testing::TestEngine filtered, scanned;
  scanned.engine.motherIndex.ScanEveryKey(true);
  for (testing::TestEngine* t : {&filtered, &scanned}) {
    t->LoadBase({{"$@KOT@$", "a", "b"}, {"$NIC$", "x"}});
    EXPECT_EQ(FindAnswer(t->engine, kMotherBase, "kot", "p"), "a");
    t->engine.base.SetCell(kMotherBase, 1, 1, "$@PIES@$");
    t->engine.base.SetCell(kMotherBase, 2, 1, "$@KOT@$");
    t->engine.base.SetCell(kMotherBase, 2, 2, "a");
    t->engine.base.SetCell(kMotherBase, 2, 3, "b");
  }
  for (int line = 0; line < 3; ++line) {
    ASSERT_EQ(FindAnswer(filtered.engine, kMotherBase, "kot", "p"),
              FindAnswer(scanned.engine, kMotherBase, "kot", "p"))
        << "line " << line;
  }
}

// The filtered search and the ordered scan of every key give the same answer, entry and
// rotation on random bases and inputs: Polish letters, wildcards next to each other, "?",
// several patterns to a key, keys without answers (the search goes on behind them), and keys
// added, changed and removed between lines, often enough to force rebuilds of the index, or
// seldom, so that long answer memories are searched.
TEST(MotherKeyIndex, FilteredSearchGivesTheOrderedScansAnswers) {
  const std::string keyAlphabet = FromUtf8("ABKOŁĄ @@^^? ");
  const std::string inputAlphabet = FromUtf8("abkołąABKO !?");
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    std::mt19937 gen(seed);
    auto pick = [&gen](const std::string& alphabet, int minLen, int maxLen) {
      std::string s(std::uniform_int_distribution<int>(minLen, maxLen)(gen), ' ');
      for (char& c : s) c = alphabet[gen() % alphabet.size()];
      return s;
    };
    auto randomKey = [&]() {
      std::string key;
      const int patterns = 1 + static_cast<int>(gen() % 3);
      for (int p = 0; p < patterns; ++p) key += "$" + pick(keyAlphabet, 1, 6) + "$";
      if (gen() % 7 == 0) key += "|IMIE&POBIERZ|";  // a condition that sets the name flag
      return gen() % 9 == 0 ? key.substr(1) : key;
    };
    testing::TestEngine filtered(seed), scanned(seed);
    scanned.engine.motherIndex.ScanEveryKey(true);
    testing::TestEngine::Entries mother;
    for (int e = 0; e < 300; ++e) {
      std::vector<std::string> entry = {ToUtf8(randomKey())};
      const int answers = static_cast<int>(gen() % 4);
      for (int a = 0; a < answers; ++a)
        entry.push_back("a" + std::to_string(e) + "." + std::to_string(a));
      mother.push_back(entry);
    }
    filtered.LoadBase(mother);
    scanned.LoadBase(mother);
    int answered = 0;
    // The later seeds change keys seldom or never and talk with one person, who builds a long
    // answer memory.
    const unsigned changeOneIn = seed > 10 ? 0 : seed > 8 ? 40 : 4;
    for (int step = 0; step < 1500; ++step) {
      if (changeOneIn != 0 && gen() % changeOneIn == 0) {
        // Between lines: a key rewritten, emptied or added, sometimes in a new last row.
        KnowledgeBase& base = filtered.engine.base;
        if (gen() % 20 == 0) {
          base.AddEntryRow();
          scanned.engine.base.AddEntryRow();
        }
        const int e = 1 + static_cast<int>(gen() % (base.LastEntry() - 1));
        const std::string key = gen() % 8 == 0 ? std::string() : randomKey();
        const std::string answer = "n" + std::to_string(step);
        for (KnowledgeBase* b : {&base, &scanned.engine.base}) {
          b->SetCell(kMotherBase, e, 1, key);
          b->SetCell(kMotherBase, e, 2, answer);
        }
        continue;
      }
      const std::string speaker = "p" + std::to_string(seed > 8 ? 0 : gen() % 3);
      const std::string input = pick(inputAlphabet, 0, 10);
      filtered.engine.trace.how.clear();
      scanned.engine.trace.how.clear();
      const std::string answer = FindAnswer(filtered.engine, kMotherBase, input, speaker);
      ASSERT_EQ(answer, FindAnswer(scanned.engine, kMotherBase, input, speaker))
          << "seed " << seed << " step " << step << " input '" << input << "'";
      ASSERT_EQ(filtered.engine.trace.how, scanned.engine.trace.how)
          << "seed " << seed << " step " << step;
      ASSERT_EQ(filtered.engine.script.nameCaptured, scanned.engine.script.nameCaptured)
          << "seed " << seed << " step " << step;
      const auto& a = filtered.engine.people[filtered.engine.people.FindInterlocutor(speaker)];
      const auto& b = scanned.engine.people[scanned.engine.people.FindInterlocutor(speaker)];
      ASSERT_EQ(a.answerMemory.size(), b.answerMemory.size());
      for (size_t i = 1; i < a.answerMemory.size(); ++i) {
        ASSERT_EQ(a.answerMemory[i].key, b.answerMemory[i].key);
        ASSERT_EQ(a.answerMemory[i].answer, b.answerMemory[i].answer);
      }
      answered += !answer.empty();
    }
    EXPECT_GT(answered, 50) << "seed " << seed;
  }
}

// One person who has heard hundreds of keys: his answer memory is looked up by the candidate
// entries instead of scanned, and must give what the scan gives, name flag included.
TEST(MotherKeyIndex, LongAnswerMemoryGivesTheScansAnswers) {
  auto word = [](int n) {
    std::string w = "Q";
    for (int v = n; w.size() < 4; v /= 20) w += static_cast<char>('A' + v % 20);
    return w + "Q";
  };
  testing::TestEngine filtered, scanned;
  scanned.engine.motherIndex.ScanEveryKey(true);
  testing::TestEngine::Entries mother;
  for (int e = 0; e < 400; ++e) {
    std::string key = "$@" + word(e) + "@$";
    if (e % 5 == 0) key += "|IMIE&POBIERZ|";
    mother.push_back({key, "a" + std::to_string(e), "b" + std::to_string(e)});
  }
  filtered.LoadBase(mother);
  scanned.LoadBase(mother);
  std::mt19937 gen(5);
  for (int step = 0; step < 3000; ++step) {
    std::string input = word(static_cast<int>(gen() % 400));
    if (step % 3 == 0) input += " " + word(static_cast<int>(gen() % 400));
    const std::string answer = FindAnswer(filtered.engine, kMotherBase, input, "p");
    ASSERT_EQ(answer, FindAnswer(scanned.engine, kMotherBase, input, "p")) << "step " << step;
    ASSERT_EQ(filtered.engine.script.nameCaptured, scanned.engine.script.nameCaptured)
        << "step " << step;
  }
  const auto& memory = filtered.engine.people[filtered.engine.people.FindInterlocutor("p")];
  EXPECT_GT(memory.answerMemory.size(), 300u);
}

}  // namespace
}  // namespace plotrak
