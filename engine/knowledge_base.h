// The in-memory knowledge base: a version text and a table of texts indexed
// [section][entry][slot], with the statistics counters.
//
// The table behaves as a rectangle of SectionCount() x EntryCount() x SlotCount() cells,
// all indices 1-based (index 0 exists but holds nothing that is ever saved). The last entry
// row and the last slot column are the "spare" ones the learning rules look at. Storage is
// sparse: only rows up to the last stored text of a section and slots up to the last stored
// text of an entry take memory, so one long entry does not widen the others.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plotrak {

enum Section : int { kMotherBase = 1, kStaticBase = 2, kDynamicBase = 3 };

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
  const std::string& Cell(int section, int entry, int slot) const;
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
  const std::vector<int>& EntriesWithLetters(int section, const std::string& letters) const;

  // One past the last entry of the section / slot of the entry that holds a text: every
  // cell at or beyond is empty. Walks over the whole table use these to skip empty space.
  int StoredEntryEnd(int section) const;
  int StoredSlotEnd(int section, int entry) const;

  // Changes whenever a mother-base key or the table's shape changes; caches of the keys
  // compare it.
  uint64_t MotherRevision() const { return motherRevision_; }

  // Number of texts stored (for memory checks).
  size_t StoredTextCount() const;

 private:
  using Row = std::vector<std::string>;  // slots 0 .. last stored
  std::vector<std::vector<Row>> rows_;   // [section][entry], entries 0 .. last stored
  int sectionCount_ = 0, entryCount_ = 0, slotCount_ = 0;
  uint64_t motherRevision_ = 0;
  // Letters index of the keys of the learning sections (2 and 3).
  // Entries per letters, kept sorted; almost always a single entry.
  std::unordered_map<std::string, std::vector<int>> letterIndex_[2];
  mutable std::vector<int> firstEmptyKey_;  // per section, -1 = unknown

  void IndexKey(int section, int entry, const std::string& key, bool add);
  void UpdateFirstEmpty(int section, int entry, bool nowEmpty);
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
