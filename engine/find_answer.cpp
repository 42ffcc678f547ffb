#include "engine/find_answer.h"

#include <algorithm>
#include <optional>

#include "engine/engine.h"
#include "engine/mother_index.h"
#include "engine/normalize.h"
#include "engine/pattern_match.h"
#include "script/answer_script.h"

namespace plotrak {

namespace {

// MatchKey on a key that nothing can change while its conditions run: a copy of the base's
// cell, or a key that holds no condition.
bool MatchStableKey(Engine& engine, const std::string& input, std::string_view key,
                    bool hasConditions, const std::string& speaker) {
  size_t open = key.find('$');
  while (open != std::string_view::npos) {
    const size_t close = key.find('$', open + 1);
    if (close == std::string_view::npos) break;  // an unpaired "$" opens nothing
    const std::string_view pattern(key.data() + open + 1, close - open - 1);
    // The runs test is cheap and rejects most keys before the matcher is built.
    if (LiteralRunsOccur(input, pattern) && MatchPattern(input, pattern) &&
        (!hasConditions || CheckKeyConditions(engine, key, speaker, input))) {
      return true;
    }
    open = key.find('$', close + 1);
  }
  return false;
}

// MatchKey, with the key upper-cased first when `upperCase`.
bool MatchKeyAs(Engine& engine, const std::string& input, std::string_view key,
                const std::string& speaker, bool upperCase) {
  engine.script.nameCaptured = true;
  if (input.empty() || key.empty()) return false;
  const bool hasConditions = key.find('|') != std::string_view::npos;
  if (!hasConditions && !upperCase) return MatchStableKey(engine, input, key, false, speaker);
  if (hasConditions && FirstConditionFails(engine, key, speaker)) return false;
  // Conditions may change the base or the people's records, where the key may live.
  const std::string copy = upperCase ? UpperAscii(key) : std::string(key);
  return MatchStableKey(engine, input, copy, hasConditions, speaker);
}

}  // namespace

bool MatchKey(Engine& engine, const std::string& input, std::string_view key,
              const std::string& speaker) {
  return MatchKeyAs(engine, input, key, speaker, false);
}

namespace {

// MatchKey with the key upper-cased, copied only when it holds a lower-case letter.
bool MatchUpperKey(Engine& engine, const std::string& input, std::string_view key,
                   const std::string& speaker) {
  return MatchKeyAs(engine, input, key, speaker, HasLowerAscii(key));
}

// The first mother entry behind `start` whose key matches, or 0. The scan stops at the first
// empty key and never answers from the table's last row.
int FindMotherEntry(Engine& engine, const std::string& input, const std::string& speaker,
                    int start) {
  const KnowledgeBase& base = engine.base;
  engine.motherIndex.Refresh(base);
  int limit = base.LastEntry();
  if (base.FirstEmptyKey(kMotherBase) > start)
    limit = std::min(limit, base.FirstEmptyKey(kMotherBase));
  const std::vector<int> candidates = engine.motherIndex.Candidates(input, start, limit);
  for (int e : candidates) {
    if (MatchUpperKey(engine, input, base.Cell(kMotherBase, e, 1), speaker)) return e;
  }
  // The keys skipped cannot match, but trying one sets the name flag: a scan of every key
  // ends with the flag set unless the last key of the range was tried.
  const int last = limit - 1;
  if (last > std::max(start, 0) && (candidates.empty() || candidates.back() != last)) {
    engine.script.nameCaptured = true;
  }
  return 0;
}

// The first static entry behind `start` with the input's letters, or 0.
int FindStaticEntry(const KnowledgeBase& base, const std::string& input, int start) {
  const std::string letters = NormalizeText(input, NormalizeMode::kLettersOnly);
  const int e = base.FindByLetters(kStaticBase, letters, start);
  if (e == 0 || e >= base.LastEntry()) return 0;
  // A scan from start + 1 would stop at the first empty key it meets.
  const int gap = base.FirstEmptyKey(kStaticBase);
  if (gap > start) return e < gap ? e : 0;
  for (int k = start + 1; k < e; ++k) {
    if (base.Cell(kStaticBase, k, 1).empty()) return 0;
  }
  return e;
}

// Slot of entry j holding exactly `answer` (lowest), or 0.
int SlotHolding(const KnowledgeBase& base, int entry, const std::string& answer) {
  const int end = base.StoredSlotEnd(kMotherBase, entry);
  for (int k = 2; k < end && k <= base.LastSlot(); ++k) {
    if (base.Cell(kMotherBase, entry, k) == answer) return k;
  }
  return 0;
}

// Whether the remembered key is still the key of the entry it was read from: then the key
// index's verdict on that entry is KeyMayMatch's verdict on the key. Renews the record.
bool StillKeyOfEntry(const KnowledgeBase& base, AnswerMemoryPair& pair) {
  const uint64_t epoch = base.MotherKeyEpoch();
  const size_t changes = base.MotherKeyChanges().size();
  if (pair.entry <= 0) return false;
  if (pair.epoch != epoch || pair.changes != changes) {
    if (base.Cell(kMotherBase, pair.entry, 1) != pair.key) return false;
    pair.epoch = epoch;
    pair.changes = changes;
  }
  return true;
}

// The person's pairs read from the candidate entries, in memory order, when every pair's key
// is still in its entry (checked again after the base's keys changed): the only pairs that
// may match. Nothing when some key has left its entry.
std::optional<std::vector<int>> RememberedPairs(Engine& engine, int person,
                                                const std::vector<int>& candidates) {
  const KnowledgeBase& base = engine.base;
  InterlocutorRecord& record = engine.people[person];
  const uint64_t epoch = base.MotherKeyEpoch();
  const size_t changes = base.MotherKeyChanges().size();
  if (record.answerMemoryEpoch != epoch || record.answerMemoryChanges != changes) {
    bool held = true;
    for (size_t i = 1; i < record.answerMemory.size(); ++i) {
      AnswerMemoryPair& p = record.answerMemory[i];
      held = (p.key.empty() || StillKeyOfEntry(base, p)) && held;
    }
    if (!held) return std::nullopt;
    record.answerMemoryEpoch = epoch;
    record.answerMemoryChanges = changes;
  }
  std::vector<int> out;
  for (int e : candidates) {
    const auto [first, last] = record.answerMemoryAt.equal_range(e);
    for (auto it = first; it != last; ++it) out.push_back(it->second);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// The slot of mother entry j to answer with, following the person's answer memory: the next
// answer after the one he heard last time, or the first that applies; 0 when none applies.
int ChooseAnswerSlot(Engine& engine, int j, const std::string& input, const std::string& speaker) {
  const KnowledgeBase& base = engine.base;
  const int person = engine.people.FindOrAddInterlocutor(speaker);
  auto memory = [&engine, person ]() -> auto& {
    return engine.people[person].answerMemory;
  };
  auto expand = [&](int slot) {
    return ExpandAnswer(engine, base.Cell(kMotherBase, j, slot), speaker, input);
  };
  // The keys that may match this input, from the index; a key condition that changes the
  // base's keys sends the rest of the scan back to KeyMayMatch.
  // A copy: key conditions may search other inputs.
  engine.motherIndex.Refresh(base);
  const std::vector<int>* all = engine.motherIndex.AllCandidates(input);
  std::vector<int> candidates;
  if (all) candidates = *all;
  const std::vector<int>* mayMatch = all ? &candidates : nullptr;
  // A bit per entry number modulo 64 settles most remembered keys without a search.
  uint64_t candidateBits = 0;
  for (int e : candidates) candidateBits |= uint64_t{1} << (e & 63);
  const auto isCandidate = [&](int e) {
    return (candidateBits >> (e & 63) & 1) &&
           std::binary_search(mayMatch->begin(), mayMatch->end(), e);
  };
  // A short memory is scanned; a long one is looked up by the candidate entries.
  constexpr size_t kScannedPairs = 128;
  std::optional<std::vector<int>> remembered;
  if (mayMatch && memory().size() > kScannedPairs) {
    remembered = RememberedPairs(engine, person, candidates);
  }
  const size_t sizeAtStart = memory().size();
  size_t next = 0;
  const uint64_t revision = base.MotherRevision();
  int pair = 0, k = 0;
  for (int i = 1; i < static_cast<int>(memory().size()) && pair == 0; ++i) {
    if (base.MotherRevision() != revision) mayMatch = nullptr;
    if (remembered && mayMatch && memory().size() == sizeAtStart) {
      // The pairs before the next remembered one cannot match: they only set the flag.
      while (next < remembered->size() && (*remembered)[next] < i) ++next;
      const int to =
          next < remembered->size() ? (*remembered)[next] : static_cast<int>(sizeAtStart);
      if (to > i) {
        engine.script.nameCaptured = true;
        i = to - 1;
        continue;
      }
    }
    // A key that cannot match only sets the flag MatchKey sets first; most keys a person
    // heard answers from are such keys.
    const bool may = mayMatch && StillKeyOfEntry(base, memory()[i])
                         ? isCandidate(memory()[i].entry)
                         : KeyMayMatch(input, memory()[i].key);
    if (!may) {
      engine.script.nameCaptured = true;
      continue;
    }
    if (!MatchUpperKey(engine, input, memory()[i].key, speaker)) continue;
    k = SlotHolding(base, j, memory()[i].answer);
    if (k != 0) pair = i;
  }
  if (pair != 0) {
    // Rotation, wrapping to slot 2. When none of the answers applies now, the search goes on
    // behind the entry as it does the first time.
    const int tries = base.StoredSlotEnd(kMotherBase, j) + 2;
    for (int t = 0; t < tries; ++t) {
      ++k;
      if (base.Cell(kMotherBase, j, k).empty() || k == base.LastSlot()) k = 2;
      if (!expand(k).empty()) {
        memory()[pair].answer = base.Cell(kMotherBase, j, k);
        return k;
      }
    }
    return 0;
  }
  const int stored = base.StoredSlotEnd(kMotherBase, j);
  for (k = 2;; ++k) {
    if (!base.Cell(kMotherBase, j, k).empty() && !expand(k).empty()) break;
    if (k >= base.LastSlot()) break;
    if (k >= stored) k = base.LastSlot() - 1;  // the rest are empty: they expand to nothing
  }
  if (expand(k).empty()) return 0;
  memory().push_back({std::string(base.Cell(kMotherBase, j, 1)),
                      std::string(base.Cell(kMotherBase, j, k)), j, base.MotherKeyEpoch(),
                      base.MotherKeyChanges().size()});
  engine.people[person].answerMemoryAt.emplace(j, static_cast<int>(memory().size()) - 1);
  return k;
}

}  // namespace

std::string FindAnswer(Engine& engine, int section, const std::string& rawInput,
                       const std::string& speaker, int start) {
  const std::string input = rawInput.empty() ? std::string(" ") : rawInput;
  engine.script.lastMarkerSet = false;
  const KnowledgeBase& base = engine.base;
  std::string result;

  if (section == kMotherBase) {
    const std::string normalized = NormalizeText(input, NormalizeMode::kKeepAll);
    // The entry is located twice: its key conditions run again and may now differ.
    if (FindMotherEntry(engine, normalized, speaker, start) != 0) {
      if (const int j = FindMotherEntry(engine, normalized, speaker, start)) {
        const int k = ChooseAnswerSlot(engine, j, normalized, speaker);
        // Nothing of entry j applies now: the search goes on behind it, and that search
        // settles the marker.
        if (k == 0) return FindAnswer(engine, kMotherBase, normalized, speaker, j);
        engine.trace.how = "mother " + std::to_string(j);
        result = ExpandAnswer(engine, base.Cell(kMotherBase, j, k), speaker, normalized);
      }
    }
  } else if (section == kStaticBase) {
    if (const int e = FindStaticEntry(base, input, start)) {
      int count = 0;
      while (!base.Cell(kStaticBase, e, count + 2).empty()) ++count;
      const int k = engine.random.Uniform(2, count + 1);
      engine.trace.how = "static " + std::to_string(e);
      result = ExpandAnswer(engine, base.Cell(kStaticBase, e, k), speaker, input);
    }
  }

  // The marker of the previous answer lives exactly until the end of this search.
  if (!engine.script.lastMarkerSet) {
    engine.people[engine.people.FindOrAddInterlocutor(speaker)].lastMarker.clear();
  }
  return result;
}

}  // namespace plotrak
