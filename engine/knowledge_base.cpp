#include "engine/knowledge_base.h"

#include <algorithm>
#include <stdexcept>

#include "engine/normalize.h"

namespace plotrak {

namespace {
const std::string kEmpty;

bool IsIndexed(int section) {
  return section == kStaticBase || section == kDynamicBase;
}
}  // namespace

const std::string& KnowledgeBase::Cell(int section, int entry, int slot) const {
  if (section < 0 || entry < 0 || slot < 0 || section >= static_cast<int>(rows_.size())) {
    return kEmpty;
  }
  const auto& entries = rows_[section];
  if (entry >= static_cast<int>(entries.size())) return kEmpty;
  const Row& row = entries[entry];
  if (slot >= static_cast<int>(row.size())) return kEmpty;
  return row[slot];
}

void KnowledgeBase::SetCell(int section, int entry, int slot, std::string text) {
  if (section < 0 || entry < 0 || slot < 0 || section >= sectionCount_ || entry >= entryCount_ ||
      slot >= slotCount_) {
    throw std::out_of_range("knowledge base index out of range");
  }
  if (section >= static_cast<int>(rows_.size())) {
    if (text.empty()) return;
    rows_.resize(section + 1);
  }
  auto& entries = rows_[section];
  if (entry >= static_cast<int>(entries.size())) {
    if (text.empty()) return;
    entries.resize(entry + 1);
  }
  Row& row = entries[entry];
  if (slot >= static_cast<int>(row.size())) {
    if (text.empty()) return;
    row.resize(slot + 1);
  }
  if (slot == 1) {
    if (row[1] == text) return;
    if (section == kMotherBase) ++motherRevision_;
    if (IsIndexed(section)) {
      if (!row[1].empty()) IndexKey(section, entry, row[1], false);
      if (!text.empty()) IndexKey(section, entry, text, true);
    }
    row[1] = std::move(text);
    UpdateFirstEmpty(section, entry, row[1].empty());
  } else {
    row[slot] = std::move(text);
  }
  // Keep storage tight so memory follows the texts actually held.
  while (!row.empty() && row.back().empty()) row.pop_back();
  while (!entries.empty() && entries.back().empty()) entries.pop_back();
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
  // Only the sections that are ever scanned keep a cache; a file may name thousands.
  firstEmptyKey_.assign(std::clamp(sections, 0, kDynamicBase + 1), -1);
  if (clear) {
    rows_.clear();
    for (auto& index : letterIndex_) {
      index.clear();
      index.reserve(std::max(entries, 0));
    }
    return;
  }
  if (static_cast<int>(rows_.size()) > sections) rows_.resize(sections);
  for (int s = 0; s < static_cast<int>(rows_.size()); ++s) {
    auto& es = rows_[s];
    if (static_cast<int>(es.size()) > entries) {
      for (int e = entries; e < static_cast<int>(es.size()); ++e) {
        if (IsIndexed(s) && es[e].size() > 1 && !es[e][1].empty()) IndexKey(s, e, es[e][1], false);
      }
      es.resize(entries);
    }
    for (int e = 0; e < static_cast<int>(es.size()); ++e) {
      Row& row = es[e];
      if (static_cast<int>(row.size()) > slots) {
        if (slots <= 1 && IsIndexed(s) && row.size() > 1 && !row[1].empty()) {
          IndexKey(s, e, row[1], false);
        }
        row.resize(slots);
      }
      while (!row.empty() && row.back().empty()) row.pop_back();
    }
    while (!es.empty() && es.back().empty()) es.pop_back();
  }
  if (sections <= kStaticBase) letterIndex_[0].clear();
  if (sections <= kDynamicBase) letterIndex_[1].clear();
}

int KnowledgeBase::FirstEmptyKey(int section) const {
  if (section < 0 || section >= sectionCount_) return 1;
  if (section >= static_cast<int>(firstEmptyKey_.size())) {
    int e = 1;
    while (!Cell(section, e, 1).empty()) ++e;
    return e;
  }
  int& cached = firstEmptyKey_[section];
  if (cached < 0) {
    int e = 1;
    while (!Cell(section, e, 1).empty()) ++e;
    cached = e;
  }
  return cached;
}

void KnowledgeBase::UpdateFirstEmpty(int section, int entry, bool nowEmpty) {
  if (entry < 1 || section >= static_cast<int>(firstEmptyKey_.size())) return;
  int& cached = firstEmptyKey_[section];
  if (cached < 0) return;
  if (nowEmpty && entry < cached) {
    cached = entry;
  } else if (!nowEmpty && entry == cached) {
    // Filling the first gap moves it to the next empty key further down.
    int e = entry + 1;
    while (!Cell(section, e, 1).empty()) ++e;
    cached = e;
  }
}

void KnowledgeBase::IndexKey(int section, int entry, const std::string& key, bool add) {
  auto& index = letterIndex_[section - kStaticBase];
  std::string letters = NormalizeText(key, NormalizeMode::kLettersOnly);
  if (add) {
    auto& entries = index[std::move(letters)];
    entries.insert(std::lower_bound(entries.begin(), entries.end(), entry), entry);
    return;
  }
  auto it = index.find(letters);
  if (it == index.end()) return;
  auto& entries = it->second;
  auto pos = std::lower_bound(entries.begin(), entries.end(), entry);
  if (pos != entries.end() && *pos == entry) entries.erase(pos);
  if (entries.empty()) index.erase(it);
}

int KnowledgeBase::FindByLetters(int section, const std::string& letters, int after) const {
  const std::vector<int>& entries = EntriesWithLetters(section, letters);
  auto it = std::upper_bound(entries.begin(), entries.end(), after);
  return it == entries.end() ? 0 : *it;
}

const std::vector<int>& KnowledgeBase::EntriesWithLetters(int section,
                                                          const std::string& letters) const {
  static const std::vector<int> kNone;
  if (!IsIndexed(section)) return kNone;
  const auto& index = letterIndex_[section - kStaticBase];
  auto it = index.find(letters);
  return it == index.end() ? kNone : it->second;
}

int KnowledgeBase::StoredEntryEnd(int section) const {
  if (section < 0 || section >= static_cast<int>(rows_.size())) return 0;
  return std::min(static_cast<int>(rows_[section].size()), entryCount_);
}

int KnowledgeBase::StoredSlotEnd(int section, int entry) const {
  if (entry < 0 || entry >= StoredEntryEnd(section)) return 0;
  return std::min(static_cast<int>(rows_[section][entry].size()), slotCount_);
}

size_t KnowledgeBase::StoredTextCount() const {
  size_t n = 0;
  for (const auto& es : rows_) {
    for (const auto& row : es) {
      for (const auto& t : row) n += !t.empty();
    }
  }
  return n;
}

}  // namespace plotrak
