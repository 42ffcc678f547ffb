#include "engine/letter_index.h"

namespace plotrak {

void LetterIndex::Clear() {
  slots_.clear();
  slots_.shrink_to_fit();
  used_ = gone_ = 0;
}

void LetterIndex::Reserve(size_t keys) {
  size_t capacity = 16;
  while (capacity < keys * 2) capacity *= 2;
  if (capacity > slots_.size()) Rehash(capacity);
}

void LetterIndex::Fit() {
  if (used_ == 0) {
    Clear();
    return;
  }
  size_t capacity = 16;
  while (capacity < used_ * 2) capacity *= 2;
  if (capacity < slots_.size() || gone_ > 0) Rehash(capacity);
}

void LetterIndex::Rehash(size_t capacity) {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(capacity, Slot{0, kFree});
  used_ = gone_ = 0;
  for (const Slot& s : old) {
    if (s.entry == kFree || s.entry == kGone) continue;
    size_t i = Home(s.hash);
    while (slots_[i].entry != kFree) i = (i + 1) & (capacity - 1);
    slots_[i] = s;
    ++used_;
  }
}

void LetterIndex::Add(uint64_t hash, int entry) {
  // At most half full, tombstones included, so probes stay short.
  if ((used_ + gone_ + 1) * 2 > slots_.size()) {
    size_t capacity = 16;
    while (capacity < (used_ + 1) * 4) capacity *= 2;
    Rehash(capacity);
  }
  const uint32_t h = Short(hash);
  size_t i = Home(h);
  while (slots_[i].entry != kFree) i = (i + 1) & (slots_.size() - 1);
  slots_[i] = Slot{h, entry};
  ++used_;
}

void LetterIndex::Remove(uint64_t hash, int entry) {
  if (slots_.empty()) return;
  const uint32_t h = Short(hash);
  for (size_t i = Home(h);; i = (i + 1) & (slots_.size() - 1)) {
    Slot& s = slots_[i];
    if (s.entry == kFree) return;
    if (s.entry == entry && s.hash == h) {
      s.entry = kGone;
      --used_;
      ++gone_;
      return;
    }
  }
}

}  // namespace plotrak
