#include "engine/knowledge_base.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "engine/normalize.h"

namespace plotrak {

namespace {

bool IsIndexed(int section) {
  return section == kStaticBase || section == kDynamicBase;
}

// Records are kept sorted by number; in a base without holes record i is number i + first,
// which answers most look-ups without a search.
template <typename Records, typename Number>
auto FindRecord(Records& records, int number, Number numberOf) -> decltype(records.data()) {
  if (records.empty()) return nullptr;
  const long guess = static_cast<long>(number) - numberOf(records.front());
  if (guess >= 0 && guess < static_cast<long>(records.size()) &&
      numberOf(records[guess]) == number) {
    return &records[guess];
  }
  auto it = std::lower_bound(records.begin(), records.end(), number,
                             [&](const auto& r, int n) { return numberOf(r) < n; });
  return it != records.end() && numberOf(*it) == number ? &*it : nullptr;
}

// Changes of mother keys kept for the indexes before a new epoch makes them rebuild.
constexpr size_t kMotherChangesKept = 1 << 16;

}  // namespace

uint64_t KnowledgeBase::NextEpoch() {
  static std::atomic<uint64_t> next{1};
  return next++;
}

void KnowledgeBase::NewMotherEpoch() {
  motherEpoch_ = NextEpoch();
  motherChanges_.clear();
}

const KnowledgeBase::EntryRecord* KnowledgeBase::Find(int section, int entry) const {
  const SectionRecord* s =
      FindRecord(sections_, section, [](const SectionRecord& r) { return r.section; });
  if (s == nullptr) return nullptr;
  return FindRecord(s->entries, entry, [](const EntryRecord& r) { return r.entry; });
}

KnowledgeBase::EntryRecord* KnowledgeBase::FindOrAdd(int section, int entry) {
  auto s = std::lower_bound(sections_.begin(), sections_.end(), section,
                            [](const SectionRecord& r, int n) { return r.section < n; });
  if (s == sections_.end() || s->section != section) s = sections_.insert(s, {section, {}});
  auto& entries = s->entries;
  if (EntryRecord* r = FindRecord(entries, entry, [](const EntryRecord& r) { return r.entry; })) {
    return r;
  }
  auto e = std::lower_bound(entries.begin(), entries.end(), entry,
                            [](const EntryRecord& r, int n) { return r.entry < n; });
  return &*entries.insert(e, EntryRecord{entry, static_cast<uint32_t>(cells_.size()), 0, 0});
}

void KnowledgeBase::Erase(int section, int entry) {
  auto s = std::lower_bound(sections_.begin(), sections_.end(), section,
                            [](const SectionRecord& r, int n) { return r.section < n; });
  if (s == sections_.end() || s->section != section) return;
  auto& entries = s->entries;
  auto e = std::lower_bound(entries.begin(), entries.end(), entry,
                            [](const EntryRecord& r, int n) { return r.entry < n; });
  if (e == entries.end() || e->entry != entry) return;
  deadCells_ += e->capacity;
  entries.erase(e);
  if (entries.empty()) sections_.erase(s);
}

KnowledgeBase::TextRef KnowledgeBase::Append(std::string_view text) {
  if (texts_.size() + text.size() > UINT32_MAX) throw std::length_error("knowledge base too large");
  TextRef ref{static_cast<uint32_t>(texts_.size()), static_cast<uint32_t>(text.size())};
  texts_.append(text);
  return ref;
}

CellText KnowledgeBase::Cell(int section, int entry, int slot) const {
  if (slot < 0) return CellText();
  const EntryRecord* r = Find(section, entry);
  if (r == nullptr || static_cast<uint32_t>(slot) >= r->count) return CellText();
  return CellText(Text(cells_[r->first + slot]));
}

void KnowledgeBase::SetCell(int section, int entry, int slot, std::string text) {
  if (section < 0 || entry < 0 || slot < 0 || section >= sectionCount_ || entry >= entryCount_ ||
      slot >= slotCount_) {
    throw std::out_of_range("knowledge base index out of range");
  }
  EntryRecord* r =
      text.empty() ? const_cast<EntryRecord*>(Find(section, entry)) : FindOrAdd(section, entry);
  if (r == nullptr) return;
  if (static_cast<uint32_t>(slot) >= r->count) {
    if (text.empty()) return;
    const uint32_t count = slot + 1;
    if (count > r->capacity) {
      // The last record of the pool grows where it stands; any other moves to the end.
      const uint32_t capacity = std::max(count, r->capacity * 2);
      if (r->first + r->capacity == cells_.size()) {
        cells_.resize(r->first + capacity);
      } else {
        const uint32_t first = static_cast<uint32_t>(cells_.size());
        cells_.resize(first + capacity);
        std::copy_n(cells_.begin() + r->first, r->count, cells_.begin() + first);
        deadCells_ += r->capacity;
        r->first = first;
      }
      r->capacity = capacity;
    }
    std::fill(cells_.begin() + r->first + r->count, cells_.begin() + r->first + count, TextRef{});
    r->count = count;
  }
  TextRef& ref = cells_[r->first + slot];
  const std::string_view old = Text(ref);
  if (old == text) return;
  if (slot == 1) {
    if (section == kMotherBase) {
      ++motherRevision_;
      if (motherChanges_.size() >= kMotherChangesKept) NewMotherEpoch();
      motherChanges_.push_back(entry);
    }
    if (IsIndexed(section)) {
      if (!old.empty()) IndexKey(section, entry, old, false);
      if (!text.empty()) IndexKey(section, entry, text, true);
    }
    UpdateFirstEmpty(section, entry, text.empty());
  }
  deadText_ += ref.length;
  if (text.size() <= ref.length) {
    // Written over the old text: nothing grows.
    std::copy(text.begin(), text.end(), texts_.begin() + ref.offset);
    deadText_ -= text.size();
    ref.length = static_cast<uint32_t>(text.size());
  } else {
    ref = Append(text);
  }
  // Trailing empty slots and entries take no room, so memory follows the texts held.
  while (r->count > 0 && cells_[r->first + r->count - 1].length == 0) --r->count;
  if (r->count == 0) Erase(section, entry);
  if (deadText_ > (1u << 20) && deadText_ > texts_.size() / 2) Compact();
  if (deadCells_ > (1u << 16) && deadCells_ > cells_.size() / 2) Compact();
}

void KnowledgeBase::Compact() {
  std::string texts;
  texts.reserve(texts_.size() - deadText_);
  std::vector<TextRef> cells;
  cells.reserve(cells_.size() - deadCells_);
  for (SectionRecord& s : sections_) {
    for (EntryRecord& r : s.entries) {
      const uint32_t first = static_cast<uint32_t>(cells.size());
      for (uint32_t k = 0; k < r.count; ++k) {
        const TextRef old = cells_[r.first + k];
        cells.push_back({static_cast<uint32_t>(texts.size()), old.length});
        texts.append(Text(old));
      }
      r.first = first;
      r.capacity = r.count;
    }
  }
  texts_ = std::move(texts);
  cells_ = std::move(cells);
  deadText_ = deadCells_ = 0;
}

void KnowledgeBase::Resize(int sections, int entries, int slots, bool clear) {
  const bool onlyGrows =
      !clear && sections >= sectionCount_ && entries >= entryCount_ && slots >= slotCount_;
  sectionCount_ = sections;
  entryCount_ = entries;
  slotCount_ = slots;
  if (onlyGrows) {
    // Learning grows the table by one row or column per store. No text moves and the new
    // cells are empty, so the keys, their indexes and the first empty keys all stay valid.
    firstEmptyKey_.resize(std::clamp(sections, 0, kDynamicBase + 1), -1);
    return;
  }
  ++motherRevision_;
  NewMotherEpoch();
  // Only the sections that are ever scanned keep a cache; a file may name thousands.
  firstEmptyKey_.assign(std::clamp(sections, 0, kDynamicBase + 1), -1);
  if (clear) {
    sections_.clear();
    cells_.clear();
    texts_.clear();
    deadText_ = deadCells_ = 0;
    for (auto& index : letterIndex_) index.Clear();
    return;
  }
  // Drop what falls outside; the dropped keys leave the letter indexes.
  for (SectionRecord& s : sections_) {
    for (EntryRecord& r : s.entries) {
      const bool outside = s.section >= sections || r.entry >= entries;
      const uint32_t keep = outside ? 0 : std::min<uint32_t>(r.count, std::max(slots, 0));
      if (keep < 2 && r.count > 1 && IsIndexed(s.section) && cells_[r.first + 1].length > 0) {
        IndexKey(s.section, r.entry, Text(cells_[r.first + 1]), false);
      }
      for (uint32_t k = keep; k < r.count; ++k) deadText_ += cells_[r.first + k].length;
      r.count = keep;
      while (r.count > 0 && cells_[r.first + r.count - 1].length == 0) --r.count;
    }
    std::erase_if(s.entries, [this](const EntryRecord& r) {
      if (r.count == 0) deadCells_ += r.capacity;
      return r.count == 0;
    });
  }
  std::erase_if(sections_, [](const SectionRecord& s) { return s.entries.empty(); });
  Compact();
}

int KnowledgeBase::FirstEmptyKey(int section) const {
  if (section < 0 || section >= sectionCount_) return 1;
  auto scan = [this, section]() {
    int e = 1;
    while (!Cell(section, e, 1).empty()) ++e;
    return e;
  };
  if (section >= static_cast<int>(firstEmptyKey_.size())) return scan();
  int& cached = firstEmptyKey_[section];
  if (cached < 0) cached = scan();
  return cached;
}

void KnowledgeBase::UpdateFirstEmpty(int section, int entry, bool nowEmpty) {
  if (entry < 1 || section >= static_cast<int>(firstEmptyKey_.size())) return;
  int& cached = firstEmptyKey_[section];
  if (cached < 0) return;
  if (nowEmpty && entry < cached) {
    cached = entry;
  } else if (!nowEmpty && entry == cached) {
    // Filling the first gap moves it to the next empty key further down; the new key is not
    // stored yet, so the walk starts behind it.
    int e = entry + 1;
    while (!Cell(section, e, 1).empty()) ++e;
    cached = e;
  }
}

void KnowledgeBase::IndexKey(int section, int entry, std::string_view key, bool add) {
  LetterIndex& index = letterIndex_[section - kStaticBase];
  if (add) {
    index.Add(LettersHash(key), entry);
  } else {
    index.Remove(LettersHash(key), entry);
  }
}

int KnowledgeBase::FindByLetters(int section, const std::string& letters, int after) const {
  int best = 0;
  if (!IsIndexed(section)) return 0;
  letterIndex_[section - kStaticBase].ForEach(LettersHash(letters), [&](int e) {
    if (e > after && (best == 0 || e < best) && HasLetters(Cell(section, e, 1), letters)) best = e;
  });
  return best;
}

std::vector<int> KnowledgeBase::EntriesWithLetters(int section, const std::string& letters) const {
  std::vector<int> out;
  if (!IsIndexed(section)) return out;
  letterIndex_[section - kStaticBase].ForEach(LettersHash(letters), [&](int e) {
    if (HasLetters(Cell(section, e, 1), letters)) out.push_back(e);
  });
  std::sort(out.begin(), out.end());
  return out;
}

int KnowledgeBase::StoredEntryEnd(int section) const {
  const SectionRecord* s =
      FindRecord(sections_, section, [](const SectionRecord& r) { return r.section; });
  if (s == nullptr) return 0;
  return std::min(s->entries.back().entry + 1, entryCount_);
}

int KnowledgeBase::StoredSlotEnd(int section, int entry) const {
  if (entry < 0 || entry >= entryCount_) return 0;
  const EntryRecord* r = Find(section, entry);
  return r == nullptr ? 0 : std::min(static_cast<int>(r->count), slotCount_);
}

int KnowledgeBase::NextStoredEntry(int section, int after) const {
  const SectionRecord* s =
      FindRecord(sections_, section, [](const SectionRecord& r) { return r.section; });
  if (s == nullptr) return 0;
  // In a section without holes the next entry is the next record.
  if (after < INT32_MAX &&
      FindRecord(s->entries, after + 1, [](const EntryRecord& r) { return r.entry; })) {
    return std::min(after + 1, entryCount_);
  }
  auto it = std::upper_bound(s->entries.begin(), s->entries.end(), after,
                             [](int n, const EntryRecord& r) { return n < r.entry; });
  return it == s->entries.end() ? StoredEntryEnd(section) : std::min(it->entry, entryCount_);
}

size_t KnowledgeBase::StoredTextCount() const {
  size_t n = 0;
  for (const SectionRecord& s : sections_) {
    for (const EntryRecord& r : s.entries) {
      for (uint32_t k = 0; k < r.count; ++k) n += cells_[r.first + k].length > 0;
    }
  }
  return n;
}

size_t KnowledgeBase::HeapBytes() const {
  size_t n = texts_.capacity() + cells_.capacity() * sizeof(TextRef) +
             sections_.capacity() * sizeof(SectionRecord) + motherChanges_.capacity() * sizeof(int);
  for (const SectionRecord& s : sections_) n += s.entries.capacity() * sizeof(EntryRecord);
  for (const LetterIndex& index : letterIndex_) n += index.HeapBytes();
  return n;
}

}  // namespace plotrak
