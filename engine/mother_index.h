// Narrows the scan of the mother base to the keys that can match an input, at a cost that
// grows with the input's length and the number of keys that pass, not with the base.
//
// Every literal run of a pattern (the characters between "@", "^" and "?") is compared
// character by character against consecutive input characters whenever the pattern matches,
// so a pattern can only match an input that contains all of its runs (see LiteralRunsOccur).
// The runs that hold a space are found word by word (see WordRunIndex); all other runs sit in
// one automaton that finds, in a single pass over the input, every run the input contains.
// Each pattern is filed under its rarest run and passes when its other runs were found too.
// Patterns without a run (such as "@@@" and "???") make their keys candidates for every input.
// Skipping the other keys is invisible: key conditions only run after a pattern matched.
//
// The index follows the base: keys changed since the last build (learning, editing) are
// replayed from the base's change list and kept in a small side list until the next full
// build, so no change ever waits for a rebuild of the whole index.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/word_run_index.h"

namespace plotrak {

class KnowledgeBase;

class MotherKeyIndex {
 public:
  // Brings the index up to date with the base's mother keys.
  void Refresh(const KnowledgeBase& base);

  // The entries above `start` and below `limit` whose keys may match the normalised input,
  // in increasing order: exactly those with a pattern whose runs all occur in the input.
  std::vector<int> Candidates(std::string_view input, int start, int limit) const;

  // Every entry whose key may match the normalised input (Candidates over the whole base),
  // kept until the input or the index changes: an answer search asks about one input many
  // times. Null while ScanEveryKey is on.
  const std::vector<int>* AllCandidates(std::string_view input) const;

  // With `on`, Candidates returns every entry in the range: the plain ordered scan the index
  // stands in for (tests compare the two).
  void ScanEveryKey(bool on) { scanEveryKey_ = on; }

 private:
  static constexpr uint32_t kNone = UINT32_MAX;
  // A trie node is a record in trie_: suffix link, nearest run end on the suffix chain (itself
  // included), child count with the run-end flag, the children's labels four to a word, then
  // the children; a run end goes on with its run number, the next run end on its suffix
  // chain, its item count and its items. An item is the entry of a pattern made of this run
  // alone, kMultiRun | pattern for a pattern of several runs filed under it, or kGone once its
  // key changed. So the walk and the run ends it meets read the records and nothing else. The
  // runs that the word tables find have a run part of their own after the nodes.
  enum : uint32_t { kFail = 0, kOut = 1, kCount = 2, kLabels = 3 };
  enum : uint32_t { kRunEnd = 1u << 16, kChildMask = kRunEnd - 1 };
  enum : uint32_t { kMultiRun = 1u << 31, kGone = kNone, kAlways = 1u << 31 };

  struct Pattern {
    int entry;
    uint32_t runBegin, runCount;  // run numbers in patternRuns_
  };
  // A key changed since the last build, with its patterns' runs as text.
  struct ChangedKey {
    int entry;
    std::vector<std::vector<std::string>> patterns;
  };

  void Build(const KnowledgeBase& base);
  void Replay(const KnowledgeBase& base, int entry);
  uint32_t Child(uint32_t node, unsigned char c) const;
  // Where a run end's run part begins in its record.
  uint32_t RunPart(uint32_t node) const {
    const uint32_t count = trie_[node + kCount] & kChildMask;
    return node + kLabels + (count + 3) / 4 + count;
  }
  // Marks every run the input contains (its bit in seen_) and lists the run parts of
  // their records.
  const std::vector<uint32_t>& FindRuns(std::string_view input) const;
  // Adds the entries of the items that pass to out.
  void TakeItems(const uint32_t* items, uint32_t count, std::vector<int>& out) const;

  // Which base and change the index reflects.
  uint64_t epoch_ = UINT64_MAX;
  size_t replayed_ = 0;
  bool scanEveryKey_ = false;

  WordRunIndex words_;             // the runs with a space it can hold; the trie has the rest
  std::vector<uint32_t> trie_;     // node records, the root at 0, then the word runs' records
  uint32_t automatonRuns_ = 0;     // runs in the trie, numbered before the word runs
  uint32_t rootNext_[256] = {};    // the root's step on every byte
  std::vector<Pattern> patterns_;  // by entry, then key order
  std::vector<uint32_t> patternRuns_;
  std::vector<uint32_t> itemAt_;       // per pattern: its item in trie_, or kAlways | index
  std::vector<uint32_t> alwaysItems_;  // the items of patterns without runs, by entry
  size_t deadCount_ = 0;               // items gone since the build
  std::vector<ChangedKey> changed_;
  // The runs of the last input: answer searches ask about the same input more than once.
  mutable std::vector<uint64_t> seen_;  // a bit per run: the last input holds it
  mutable std::string lastInput_;
  mutable std::vector<uint32_t> lastRuns_;  // run parts of the runs found
  mutable bool lastValid_ = false;
  // AllCandidates of allInput_, valid while allValid_.
  mutable std::string allInput_;
  mutable std::vector<int> all_;
  mutable bool allValid_ = false;
};

// The literal runs of a pattern: its pieces between "@", "^" and "?" (a "?" can be skipped
// by the "???" rule, so the runs beside it prove nothing about it).
template <typename F>
void ForEachLiteralRun(std::string_view pattern, F&& f) {
  size_t begin = 0;
  for (size_t i = 0; i <= pattern.size(); ++i) {
    if (i == pattern.size() || pattern[i] == '@' || pattern[i] == '^' || pattern[i] == '?') {
      if (i > begin) f(pattern.substr(begin, i - begin));
      begin = i + 1;
    }
  }
}

// The "$...$" patterns of an upper-cased key, as MatchKey takes them apart.
template <typename F>
void ForEachPattern(std::string_view key, F&& f) {
  for (size_t open = key.find('$'); open != std::string_view::npos;) {
    const size_t close = key.find('$', open + 1);
    if (close == std::string_view::npos) break;  // an unpaired "$" opens nothing
    f(key.substr(open + 1, close - open - 1));
    open = key.find('$', close + 1);
  }
}

// Whether every literal run of the pattern occurs in `input`: a pattern whose runs do not
// all occur cannot match.
bool LiteralRunsOccur(std::string_view input, std::string_view pattern);

// Whether some pattern of the key (upper-cased here by the ASCII rule) passes
// LiteralRunsOccur: a key for which this is false cannot match the input.
bool KeyMayMatch(std::string_view input, std::string_view key);

}  // namespace plotrak
