// The in-memory knowledge base: a version text and a table of texts indexed
// [section][entry][slot], with the statistics counters.
//
// The table behaves as a rectangle of SectionCount() x EntryCount() x SlotCount() cells,
// all indices 1-based (index 0 exists but holds nothing that is ever saved). The last entry
// row and the last slot column are the "spare" ones the learning rules look at. Storage is
// compact and sparse: every text sits in one shared buffer, a cell is an offset and a length
// into it, and only entries that hold a text have a record (with room for their slots), so
// memory follows the texts actually held, not the rectangle: a file of a million empty
// entries costs nothing for them, and one long entry does not widen the others.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/letter_index.h"

namespace plotrak {

enum Section : int { kMotherBase = 1, kStaticBase = 2, kDynamicBase = 3 };

// A text of the base as stored: a view of bytes the base holds, valid until the base next
// changes (any SetCell, Resize or load). Converts to std::string where a copy is kept.
class CellText : public std::string_view {
 public:
  constexpr CellText() = default;
  constexpr CellText(std::string_view text) : std::string_view(text) {}
  operator std::string() const { return std::string(data(), size()); }
};

class KnowledgeBase {
 public:
  std::string baseVersion;
  int32_t maxSection = 0, maxEntry = 0, maxSlot = 0;
  int32_t motherKeys = 0, motherAnswers = 0, staticKeys = 0, staticAnswers = 0,
          dynamicPositions = 0;

  // Rectangle bounds (exclusive): valid indices are 0 .. Count() - 1.
  int SectionCount() const { return sectionCount_; }
  int EntryCount() const { return entryCount_; }
  int SlotCount() const { return slotCount_; }
  int LastEntry() const { return entryCount_ - 1; }
  int LastSlot() const { return slotCount_ - 1; }

  // The text of a cell; empty for an empty cell or any index outside the rectangle.
  CellText Cell(int section, int entry, int slot) const;
  // Stores a text inside the rectangle. Throws std::out_of_range outside it.
  void SetCell(int section, int entry, int slot, std::string text);

  // Sets the rectangle; cells outside the new bounds are dropped. With clear, every cell
  // is emptied.
  void Resize(int sections, int entries, int slots, bool clear);
  void AddEntryRow() { Resize(sectionCount_, entryCount_ + 1, slotCount_, false); }
  void AddSlotColumn() { Resize(sectionCount_, entryCount_, slotCount_ + 1, false); }

  // The first entry (from 1) whose key is empty: every scan of a section stops there.
  int FirstEmptyKey(int section) const;

  // The lowest entry above `after` of section 2 or 3 whose key has these letters
  // (NormalizeText mode 2 of the key equals `letters`), or 0. Entries at or past
  // FirstEmptyKey are included; callers bound the result themselves.
  int FindByLetters(int section, const std::string& letters, int after = 0) const;
  // Every entry of section 2 or 3 whose key has these letters, lowest first.
  std::vector<int> EntriesWithLetters(int section, const std::string& letters) const;

  // One past the last entry of the section / slot of the entry that holds a text: every
  // cell at or beyond is empty. Walks over the whole table use these to skip empty space.
  int StoredEntryEnd(int section) const;
  int StoredSlotEnd(int section, int entry) const;
  // The lowest entry above `after` that holds a text, or StoredEntryEnd: walks over a
  // section visit only the entries stored.
  int NextStoredEntry(int section, int after) const;

  // Changes whenever a mother-base key or the table's shape changes; caches of the keys
  // compare it.
  uint64_t MotherRevision() const { return motherRevision_; }
  // The mother entries whose keys changed, in order, since the epoch began; a new epoch (a
  // load, a reshaping Resize, or a long list) starts the list afresh. Epochs are unique in
  // the process, so an index that saw this epoch need only replay the list's tail.
  uint64_t MotherKeyEpoch() const { return motherEpoch_; }
  const std::vector<int>& MotherKeyChanges() const { return motherChanges_; }

  // Number of texts stored (for memory checks).
  size_t StoredTextCount() const;
  // Bytes of heap the table and its indexes hold.
  size_t HeapBytes() const;

 private:
  friend void ReloadBaseFromBytes(KnowledgeBase& base, std::string_view bytes);

  struct TextRef {
    uint32_t offset = 0, length = 0;  // in texts_
  };
  // The stored slots 0 .. count - 1 of one entry, at cells_[first ..]; room for capacity.
  struct EntryRecord {
    int32_t entry;
    uint32_t first, count, capacity;
  };
  struct SectionRecord {
    int32_t section;
    std::vector<EntryRecord> entries;  // by entry number, only entries holding a text
  };

  const EntryRecord* Find(int section, int entry) const;
  EntryRecord* FindOrAdd(int section, int entry);
  void Erase(int section, int entry);
  std::string_view Text(TextRef ref) const {
    return std::string_view(texts_).substr(ref.offset, ref.length);
  }
  TextRef Append(std::string_view text);
  void Compact();
  void IndexKey(int section, int entry, std::string_view key, bool add);
  void UpdateFirstEmpty(int section, int entry, bool nowEmpty);
  void NewMotherEpoch();
  static uint64_t NextEpoch();

  std::vector<SectionRecord> sections_;  // by section number, only sections holding a text
  std::vector<TextRef> cells_;
  std::string texts_;                    // every text back to back
  size_t deadText_ = 0, deadCells_ = 0;  // left behind by changes, until Compact
  int sectionCount_ = 0, entryCount_ = 0, slotCount_ = 0;
  uint64_t motherRevision_ = 0, motherEpoch_ = NextEpoch();
  std::vector<int> motherChanges_;
  LetterIndex letterIndex_[2];              // sections 2 and 3
  mutable std::vector<int> firstEmptyKey_;  // per section, -1 = unknown
};

// Reads a base file into `base`, replacing its table, version, maxima and counters; the
// result equals the two-pass growing/fixed load. Throws std::runtime_error ("Read beyond end
// of file") when the file has no section separator or ends right behind the first one, after
// resetting maxima and counters and leaving the table as it was (in the second case the
// version has been read and is kept). Returns false when the file cannot be opened (nothing changes
// but the maxima and counters, which are reset).
bool ReloadBase(KnowledgeBase& base, const std::filesystem::path& path);

// Parses the bytes of a base file, as ReloadBase does with a file.
void ReloadBaseFromBytes(KnowledgeBase& base, std::string_view bytes);

// The file image SaveBase writes: version, then sections 1..3 with their entries.
std::string BaseFileBytes(const KnowledgeBase& base);

// Writes the base to `path` through a temporary file in the same folder that is flushed
// and renamed over the old one, so a crash never leaves a half-written base. Throws
// std::runtime_error on any write failure; the old file then stays as it was.
void SaveBaseFile(const KnowledgeBase& base, const std::filesystem::path& path);

// Clears a read-only mark on an existing file (the "archive only" attribute of the
// original); errors are ignored.
void MakeWritable(const std::filesystem::path& path);

}  // namespace plotrak
