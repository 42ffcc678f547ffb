// The engine finds static questions, learning places, random keys, mother keys and people
// through indexes. These tests run long random sequences of changes and compare every answer
// with a plain scan over the rectangular table, which is what the indexes stand in for.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/cp1250.h"
#include "engine/find_answer.h"
#include "engine/learning.h"
#include "engine/normalize.h"
#include "engine/test_support.h"

namespace plotrak {
namespace {

using testing::TestEngine;

// A plain rectangular table with the learning rules applied by scanning.
struct ScanModel {
  std::vector<std::vector<std::vector<std::string>>> cells;  // [section][entry][slot]
  int32_t staticKeys = 0, staticAnswers = 0, dynamicPositions = 0, learned = 0;

  explicit ScanModel(const KnowledgeBase& base) {
    cells.assign(base.SectionCount(),
                 std::vector<std::vector<std::string>>(base.EntryCount(),
                                                       std::vector<std::string>(base.SlotCount())));
    for (int s = 0; s < base.SectionCount(); ++s) {
      for (int e = 0; e < base.EntryCount(); ++e) {
        for (int k = 0; k < base.SlotCount(); ++k) cells[s][e][k] = base.Cell(s, e, k);
      }
    }
    staticKeys = base.staticKeys;
    staticAnswers = base.staticAnswers;
    dynamicPositions = base.dynamicPositions;
  }
  int Entries() const { return static_cast<int>(cells[0].size()); }
  int Slots() const { return static_cast<int>(cells[0][0].size()); }
  int LastEntry() const { return Entries() - 1; }
  int LastSlot() const { return Slots() - 1; }
  std::string& Key(int s, int e) { return cells[s][e][1]; }

  void AddRow() {
    for (auto& section : cells) section.emplace_back(Slots());
  }
  void AddColumn() {
    for (auto& section : cells) {
      for (auto& entry : section) entry.emplace_back();
    }
  }

  void Store(int s, const std::string& key, const std::string& answer) {
    const std::string letters = NormalizeText(key, 2);
    int e = 1;
    while (e <= LastEntry() && !Key(s, e).empty() && NormalizeText(Key(s, e), 2) != letters) ++e;
    if (e > LastEntry()) {
      AddRow();
      e = LastEntry();
    }
    if (Key(s, e).empty()) {
      Key(s, e) = key;
      if (s == kStaticBase) {
        cells[s][e][2] = answer;
        ++staticKeys;
        ++staticAnswers;
      } else {
        ++dynamicPositions;
      }
      return;
    }
    if (s != kStaticBase) return;
    int k = 2;
    while (k <= LastSlot() && !cells[s][e][k].empty()) ++k;
    if (k > LastSlot()) {
      AddColumn();
      k = LastSlot();
    }
    cells[s][e][k] = answer;
    ++staticAnswers;
  }

  bool Forget(const std::string& phrase) {
    int e = 1;
    while (Key(3, e) != phrase && !Key(3, e).empty() && e != LastEntry()) ++e;
    if (Key(3, e) != phrase) return false;
    ++learned;
    for (;; ++e) {
      if (e == LastEntry()) {
        Key(3, e).clear();
        break;
      }
      Key(3, e) = Key(3, e + 1);
      if (Key(3, e).empty()) break;
    }
    --dynamicPositions;
    return true;
  }

  int FindStatic(const std::string& input) {
    const std::string letters = NormalizeText(input.empty() ? " " : input, 2);
    for (int e = 1; e < LastEntry() && !Key(2, e).empty(); ++e) {
      if (NormalizeText(Key(2, e), 2) == letters) return e;
    }
    return 0;
  }

  int KeyCount(int s) {
    int count = 0;
    while (count + 1 < LastEntry() && !Key(s, count + 1).empty()) ++count;
    return count;
  }
};

void ExpectSameTable(const ScanModel& model, const Engine& engine, int step) {
  const KnowledgeBase& base = engine.base;
  ASSERT_EQ(base.EntryCount(), model.Entries()) << "step " << step;
  ASSERT_EQ(base.SlotCount(), model.Slots()) << "step " << step;
  for (int s = 1; s <= 3; ++s) {
    for (int e = 0; e < model.Entries(); ++e) {
      for (int k = 0; k < model.Slots(); ++k) {
        ASSERT_EQ(base.Cell(s, e, k), model.cells[s][e][k])
            << "step " << step << " at " << s << "/" << e << "/" << k;
      }
    }
  }
  EXPECT_EQ(base.staticKeys, model.staticKeys) << "step " << step;
  EXPECT_EQ(base.staticAnswers, model.staticAnswers) << "step " << step;
  EXPECT_EQ(base.dynamicPositions, model.dynamicPositions) << "step " << step;
  EXPECT_EQ(engine.learnedPhrases, model.learned) << "step " << step;
}

// Keys that collide on their letters, keys without letters, keys with "?" and unpaired "$".
const std::vector<std::string> kTexts = {"ala",    "Ala!", "ALA",   "ąla", "kot", "Kot?", "kot ma",
                                         "Kot-ma", ":)",   "?",     "$a$", "a$",  "$",    "ola",
                                         "Óla",    "pies", "PIES.", "ma",  "m a", "123"};

TEST(IndexesAgreeWithScans, LearningForgettingAndStaticSearch) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    TestEngine t(seed);
    t.LoadBase({{"$X$", "x"}}, {{"ala", "1"}, {"kot", "2", "3"}}, {{"pies"}, {"ola"}});
    ScanModel model(t.engine.base);
    std::mt19937 gen(seed);
    auto pick = [&gen]() { return FromUtf8(kTexts[gen() % kTexts.size()]); };
    for (int step = 0; step < 150; ++step) {
      const int op = static_cast<int>(gen() % 8);
      if (op == 0) {
        const std::string q = pick(), a = pick();
        LearnPair(t.engine, q, a);
        model.Store(kStaticBase, q, a);
      } else if (op == 1 || op == 2) {
        const std::string p = pick();
        LearnPhrase(t.engine, p);
        model.Store(kDynamicBase, p, "");
      } else if (op == 3) {
        // A pending dynamic question: often one that is there, sometimes one that is not.
        const int e = 1 + static_cast<int>(gen() % model.LastEntry());
        const std::string p = gen() % 4 ? model.Key(3, e) : pick();
        if (p.empty()) continue;
        const bool removed = ForgetDynamicPhrase(t.engine, p);
        ASSERT_EQ(removed, model.Forget(p)) << "seed " << seed << " step " << step;
        if (removed) --t.engine.base.dynamicPositions;
      } else if (op == 4) {
        // A key emptied or rewritten in the middle of a section, the last row included.
        const int s = 2 + static_cast<int>(gen() % 2);
        const int e = 1 + static_cast<int>(gen() % model.LastEntry());
        const std::string key = gen() % 2 ? std::string() : pick();
        t.engine.base.SetCell(s, e, 1, key);
        model.Key(s, e) = key;
      } else if (op == 5) {
        const std::string input = gen() % 5 ? pick() : std::string();
        t.engine.trace.how.clear();
        FindAnswer(t.engine, kStaticBase, input, "p");
        const int e = model.FindStatic(input);
        EXPECT_EQ(t.engine.trace.how, e ? "static " + std::to_string(e) : "")
            << "seed " << seed << " step " << step << " input " << input;
      } else {
        const int s = 2 + static_cast<int>(gen() % 2);
        Random copy = t.engine.random;
        const int count = model.KeyCount(s);
        const std::string expected = model.Key(s, count > 0 ? copy.Uniform(1, count) : 1);
        EXPECT_EQ(t.engine.RandomKey(s), expected) << "seed " << seed << " step " << step;
      }
      ExpectSameTable(model, t.engine, step);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

// Mother keys: patterns with literal runs, wildcards only, "?", "???", "@@@", lower case,
// unpaired "$" and empty patterns; keys emptied and rewritten in the middle and in the
// table's last row.
const std::vector<std::string> kMotherKeys = {
    "$ALA$",      "$@ALA@$", "$^KOT^$",        "$???$", "$@@@$",  "$ALA$KOT", "$KOT$$@MA@$",
    "$AL?$",      "$$",      "$@LA KO@$",      "$ala$", "$@A@$",  "$^$",      "$XYZ$|TEMAT|",
    "KOT$@KOT@$", "$@MA$",   "$@ALA KOT MA@$", "$123$", "$@???$", "$K^???$"};
const std::vector<std::string> kInputs = {"ala", "kot",     "ala kot ma", "la ko", ":)",
                                          "",    "x ala y", "kot ma",     "AL?",   "Ąla",
                                          "123", "ma",      " kot!"};

TEST(IndexesAgreeWithScans, MotherKeySearch) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    TestEngine t(seed);
    TestEngine::Entries mother;
    for (int i = 0; i < 6; ++i) mother.push_back({"$NIC$", "a"});
    t.LoadBase(mother, {{"q", "a"}});
    KnowledgeBase& base = t.engine.base;
    std::mt19937 gen(seed);
    for (int step = 0; step < 120; ++step) {
      if (gen() % 10 == 0) {
        // Learning grows the table behind the mother keys' back.
        if (gen() % 2) {
          base.AddEntryRow();
        } else {
          base.AddSlotColumn();
        }
        continue;
      }
      if (gen() % 3 == 0) {
        const int e = 1 + static_cast<int>(gen() % base.LastEntry());
        base.SetCell(kMotherBase, e, 1, gen() % 4 ? kMotherKeys[gen() % kMotherKeys.size()] : "");
        base.SetCell(kMotherBase, e, 2, "a");
        continue;
      }
      const std::string input = FromUtf8(kInputs[gen() % kInputs.size()]);
      const std::string normalized = NormalizeText(input.empty() ? " " : input, 0);
      int expected = 0;
      for (int e = 1; e < base.LastEntry() && !base.Cell(kMotherBase, e, 1).empty(); ++e) {
        if (MatchKey(t.engine, normalized, UpperAscii(base.Cell(kMotherBase, e, 1)), "p")) {
          expected = e;
          break;
        }
      }
      t.engine.trace.how.clear();
      const std::string answer = FindAnswer(t.engine, kMotherBase, input, "p");
      EXPECT_EQ(t.engine.trace.how, expected ? "mother " + std::to_string(expected) : "")
          << "seed " << seed << " step " << step << " input " << input;
      EXPECT_EQ(answer, expected ? "a" : "");
    }
  }
}

TEST(IndexesAgreeWithScans, PeopleAreFoundByExactSpeaker) {
  InterlocutorTable people;
  std::vector<std::string> speakers = {"", "Ala", "ala", "ALA", "ala ", "1234", "TY"};
  std::mt19937 gen(7);
  for (int step = 0; step < 500; ++step) {
    const std::string speaker = speakers[gen() % speakers.size()] + (gen() % 3 ? "" : "x");
    int expected = 0;
    for (int i = 1; i < people.Size() && expected == 0; ++i) {
      if (people[i].speaker == speaker) expected = i;
    }
    ASSERT_EQ(people.FindInterlocutor(speaker), expected) << speaker;
    const int index = people.FindOrAddInterlocutor(speaker);
    ASSERT_EQ(index, expected ? expected : people.Size() - 1);
    ASSERT_EQ(people[index].speaker, speaker);
    ASSERT_EQ(people[index].answerMemory.size(), 2u);
  }
  EXPECT_EQ(people.FindInterlocutor(""), 1);
}

}  // namespace
}  // namespace plotrak
