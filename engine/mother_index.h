// Narrows the scan of the mother base to the keys that can match an input.
//
// Every literal run of a pattern (characters other than "@" and "^", and no "?", which the
// "???" shortcut may skip) is compared character by character against consecutive input
// characters whenever the pattern matches, so a key can only match an input that contains
// one of its patterns' runs. Each pattern is filed under the rarest three-character piece of
// its longest run; keys with a pattern that has no such run are always candidates.
// Skipping the other keys is invisible: key conditions only run after a pattern matched.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace plotrak {

class KnowledgeBase;

class MotherKeyIndex {
 public:
  // Rebuilds the index when the mother keys changed since the last call.
  void Refresh(const KnowledgeBase& base);

  // The entries above `start` and below `limit` whose keys may match the normalised input,
  // in increasing order.
  std::vector<int> Candidates(const std::string& input, int start, int limit) const;

  // The key of entry e upper-cased by the ASCII rule, as matching uses it.
  const std::string& UpperKey(int entry) const { return upperKeys_[entry]; }

 private:
  uint64_t revision_ = UINT64_MAX;
  std::vector<std::string> upperKeys_;                 // by entry, up to the first empty key
  std::vector<int> always_;                            // sorted
  std::unordered_map<uint32_t, std::vector<int>> byTrigram_;  // sorted lists
};

}  // namespace plotrak
