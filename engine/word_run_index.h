// Finds the literal runs that hold a space, word by word instead of character by character.
//
// A run such as "JAK LUBISZ" occurs in an input exactly when, at some space of the input, the
// run's part before its first space ("JAK") ends the word before that space and the part
// after it up to the next space ("LUBISZ") begins the word after it, and the rest of the run
// (empty here) follows. Both parts are looked up in small tables of the parts in use, and
// each pair found in one table of pairs: the lookups at different spaces do not depend on
// each other, so the memory they touch is fetched side by side, where a walk over an
// automaton of every run waits for one node after another.
//
// Runs that could make a lookup slow are left to the caller (Build says which): a part that
// ends or begins like too many other parts, a pair shared by too many runs, a long rest. So
// Find costs at most a fixed number of lookups and comparisons per input character.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plotrak {

class WordRunIndex {
 public:
  // Files the runs it can find within its bounds; taken[i] tells whether runs[i] was filed.
  // Each filed run is reported by Find with values[i].
  std::vector<bool> Build(const std::vector<std::string_view>& runs);
  void SetValues(const std::vector<uint32_t>& values);

  // Reports the value of every filed run that occurs in the input; a run that occurs more
  // than once may be reported more than once.
  void Find(std::string_view input, const std::function<void(uint32_t)>& report) const;

 private:
  static constexpr uint32_t kNone = UINT32_MAX;
  // A word ends (or begins) with at most kNesting filed parts: see Build.
  static constexpr size_t kNesting = 6;
  static constexpr size_t kKeptWord = 24;

  // A set of word parts: (hash, length) to id, open addressing; texts kept for the check.
  class PartSet {
   public:
    PartSet() { Clear(); }
    void Clear();
    // The id of the part, or kNone.
    uint32_t Find(uint64_t hash, std::string_view text) const {
      for (size_t i = Home(hash);; i = (i + 1) & (slots_.size() - 1)) {
        const Slot& slot = slots_[i];
        if (slot.id == kNone) return kNone;
        if (slot.hash == hash && slot.length == text.size() &&
            std::string_view(text_).substr(slot.offset, slot.length) == text) {
          return slot.id;
        }
      }
    }
    // Adds a part not in the set yet; returns its id.
    uint32_t Add(uint64_t hash, std::string_view text);
    size_t longest = 0;

   private:
    struct Slot {
      uint64_t hash = 0;
      uint32_t id = kNone, offset = 0, length = 0;
    };
    void Place(const Slot& slot);
    size_t Home(uint64_t hash) const { return (hash * 0x9e3779b97f4a7c15u) >> shift_; }
    std::vector<Slot> slots_;
    int shift_ = 60;
    uint32_t count_ = 0;
    std::string text_;
  };

  // A pair of parts and its runs in filed_; a pair of one run with nothing after its second
  // part holds the run's value in `begin` instead, and kAlone as its count.
  static constexpr uint32_t kAlone = UINT32_MAX;
  struct Pair {
    uint32_t first = kNone, second = kNone;
    uint32_t begin = 0, count = 0;
  };
  struct Filed {
    uint32_t value;
    uint32_t restBegin, restLength;  // the rest of the run after its second part, in rests_
  };

  // The filed parts a word ends with and begins with. Words repeat from line to line, so
  // they are kept in a small table by the word's text.
  struct WordParts {
    uint64_t hash = 0;
    uint32_t length = UINT32_MAX;
    uint8_t firstCount = 0, secondCount = 0;
    uint8_t secondLength[kNesting] = {};
    uint32_t first[kNesting] = {}, second[kNesting] = {};
    char text[kKeptWord] = {};
  };
  // The parts of a word with its HashWord.
  const WordParts& PartsOf(std::string_view word, uint64_t hash) const;
  // Where the parts of a word are kept.
  WordParts& Place(uint64_t hash, size_t length) const;
  // A probe of pairs_ for a pair of parts at a space, waiting for its memory to arrive.
  struct Probe {
    uint32_t first, second, slot, after;  // after: where the rest of the run must follow
  };
  // Reports the runs of the probes waiting.
  void Resolve(std::string_view input, const std::function<void(uint32_t)>& report) const;

  PartSet firsts_;   // parts before a first space, hashed from their end backwards
  PartSet seconds_;  // parts after it, hashed from their beginning
  std::vector<Pair> pairs_;
  std::vector<uint64_t> pairBits_;  // a bit per pair hash: set when a pair may be there
  std::vector<Filed> filed_;
  std::string rests_;
  mutable std::vector<WordParts> words_;
  mutable WordParts scratch_;        // the parts of a word too long to keep
  mutable WordParts scratchBefore_;  // the word before the current space
  mutable std::vector<Probe> probes_;
};

}  // namespace plotrak
