// Entries of one section filed by a hash of their keys' letters: an open-addressed table of
// (hash, entry) pairs, eight bytes a key and no allocation per key. Several entries may share
// a hash; callers compare the letters of what they get.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plotrak {

class LetterIndex {
 public:
  void Clear();
  void Reserve(size_t keys);
  // Shrinks the table to what its keys need.
  void Fit();
  size_t HeapBytes() const { return slots_.capacity() * sizeof(Slot); }
  void Add(uint64_t hash, int entry);
  // Removes one filing of the entry under the hash; nothing when there is none.
  void Remove(uint64_t hash, int entry);

  // Calls f(entry) for every entry filed under the hash, in no particular order.
  template <typename F>
  void ForEach(uint64_t hash, F&& f) const {
    if (slots_.empty()) return;
    const uint32_t h = Short(hash);
    for (size_t i = Home(h);; i = (i + 1) & (slots_.size() - 1)) {
      const Slot& s = slots_[i];
      if (s.entry == kFree) return;
      if (s.entry != kGone && s.hash == h) f(static_cast<int>(s.entry));
    }
  }

 private:
  static constexpr int32_t kFree = INT32_MIN, kGone = INT32_MIN + 1;
  struct Slot {
    uint32_t hash;
    int32_t entry;
  };
  static uint32_t Short(uint64_t hash) { return static_cast<uint32_t>(hash ^ (hash >> 32)); }
  size_t Home(uint32_t h) const { return (h * 0x9E3779B1u) & (slots_.size() - 1); }
  void Rehash(size_t capacity);

  std::vector<Slot> slots_;  // a power of two in size, or empty
  size_t used_ = 0, gone_ = 0;
};

}  // namespace plotrak
