#include "engine/learning.h"

#include <algorithm>

#include "engine/cp1250.h"
#include "engine/engine.h"
#include "engine/normalize.h"

namespace plotrak {
namespace {

// The entry a learned key goes to: the first entry with an empty key or with the same
// letters, scanning from 1 through the table's last row; a full table gets one more row.
// Sets `isNew` when the entry is a free one.
int PlaceFor(KnowledgeBase& base, int section, const std::string& key, bool& isNew) {
  const int same = base.FindByLetters(section, NormalizeText(key, NormalizeMode::kLettersOnly));
  const int free = base.FirstEmptyKey(section);
  if (same != 0 && same < free) {
    isNew = false;
    return same;
  }
  isNew = true;
  if (free <= base.LastEntry()) return free;
  base.AddEntryRow();
  return base.LastEntry();
}

void StoreLearned(Engine& engine, int section, const std::string& key, const std::string& answer) {
  KnowledgeBase& base = engine.base;
  // A base file with no static or dynamic texts sizes the table without those sections (and
  // a base without answers without slot 2); learning must still have somewhere to write.
  if (base.SectionCount() <= section || base.EntryCount() < 2 || base.SlotCount() < 3) {
    base.Resize(std::max(base.SectionCount(), section + 1), std::max(base.EntryCount(), 2),
                std::max(base.SlotCount(), 3), /*clear=*/false);
  }
  // An empty key would make an entry that holds nothing (and whose answer a reload would give
  // to the entry before it); it only ever joins an existing question without letters.
  if (key.empty()) {
    const int same = base.FindByLetters(section, std::string());
    if (section != kStaticBase || same == 0 || same >= base.FirstEmptyKey(section)) {
      engine.ShowBaseStatistics();
      return;
    }
  }
  bool isNew = false;
  const int e = PlaceFor(base, section, key, isNew);
  if (isNew) {
    base.SetCell(section, e, 1, key);
    if (section == kStaticBase) {
      base.SetCell(section, e, 2, answer);
      ++base.staticKeys;
      if (!answer.empty()) ++base.staticAnswers;  // an empty answer is not stored
    } else {
      ++base.dynamicPositions;
    }
  } else if (section == kStaticBase && !answer.empty()) {
    // Answers are added even when the same one is there already.
    int k = 2;
    const int stored = base.StoredSlotEnd(section, e);
    while (k < stored && !base.Cell(section, e, k).empty()) ++k;
    if (k > base.LastSlot()) {
      base.AddSlotColumn();
      k = base.LastSlot();
    }
    base.SetCell(section, e, k, answer);
    ++base.staticAnswers;
  }
  engine.ShowBaseStatistics();
}

}  // namespace

void LearnPair(Engine& engine, const std::string& question, const std::string& answer) {
  StoreLearned(engine, kStaticBase, question, answer);
}

void LearnPhrase(Engine& engine, const std::string& text) {
  StoreLearned(engine, kDynamicBase, text, std::string());
}

bool ForgetDynamicPhrase(Engine& engine, const std::string& phrase) {
  KnowledgeBase& base = engine.base;
  // The scan stops at the phrase, at the first empty key or at the table's last row.
  int exact = 0;
  for (int e :
       base.EntriesWithLetters(kDynamicBase, NormalizeText(phrase, NormalizeMode::kLettersOnly))) {
    if (e >= 1 && base.Cell(kDynamicBase, e, 1) == phrase) {
      exact = e;
      break;
    }
  }
  int reached = std::min(base.FirstEmptyKey(kDynamicBase), base.LastEntry());
  if (exact != 0) reached = std::min(reached, exact);
  if (reached < 1 || base.Cell(kDynamicBase, reached, 1) != phrase || phrase.empty()) return false;

  ++engine.learnedPhrases;
  engine.status.Show(FromUtf8("Nauczonych zwrotów: "), std::to_string(engine.learnedPhrases));
  for (int e = reached;; ++e) {
    if (e >= base.LastEntry()) {
      base.SetCell(kDynamicBase, e, 1, std::string());
      break;
    }
    std::string below = base.Cell(kDynamicBase, e + 1, 1);
    const bool movedEmpty = below.empty();
    base.SetCell(kDynamicBase, e, 1, std::move(below));
    if (movedEmpty) break;
  }
  return true;
}

}  // namespace plotrak
