// Reading baza.ptk.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "engine/knowledge_base.h"
#include "engine/normalize.h"
#include "engine/text_codec.h"

namespace plotrak {

namespace {

constexpr unsigned char kSectionSeparator = 200;
constexpr unsigned char kEntrySeparator = 201;
constexpr unsigned char kAnswerSeparator = 202;

void ResetFigures(KnowledgeBase& base) {
  base.maxSection = base.maxEntry = base.maxSlot = 0;
  base.motherKeys = base.motherAnswers = base.staticKeys = base.staticAnswers = 0;
  base.dynamicPositions = 0;
}

void Count(KnowledgeBase& base, int section, int slot) {
  if (section == kDynamicBase) {
    ++base.dynamicPositions;
  } else if (section == kMotherBase) {
    ++(slot == 1 ? base.motherKeys : base.motherAnswers);
  } else if (section == kStaticBase) {
    ++(slot == 1 ? base.staticKeys : base.staticAnswers);
  }
}

}  // namespace

void ReloadBaseFromBytes(KnowledgeBase& base, std::string_view bytes) {
  ResetFigures(base);
  const size_t headerEnd = bytes.find(static_cast<char>(kSectionSeparator));
  // The header is read up to its 200 and one more byte (the 201 of the first entry) is
  // skipped; a file that ends before either is a read past its end.
  if (headerEnd == std::string_view::npos) throw std::runtime_error("Read beyond end of file");
  std::string version = DecodeText(bytes.substr(0, headerEnd + 1));
  if (headerEnd + 1 >= bytes.size()) {
    // The header was read whole before the missing byte was: its version stands.
    base.baseVersion = std::move(version);
    throw std::runtime_error("Read beyond end of file");
  }
  base.baseVersion = std::move(version);

  // One pass stores every text where the two-pass growing/fixed reload would put it: the
  // decoded texts go back to back into one buffer (at most half the file), the cells of an
  // entry side by side at the end of the cell pool, and only entries with a text get a
  // record, so neither empty entries nor a wide entry cost anything elsewhere.
  using Entry = KnowledgeBase::EntryRecord;
  base.sections_.clear();
  base.cells_.clear();
  base.texts_.clear();
  base.deadText_ = base.deadCells_ = 0;
  for (auto& index : base.letterIndex_) index.Clear();
  ++base.motherRevision_;
  base.NewMotherEpoch();
  std::string& texts = base.texts_;
  texts.resize(bytes.size() / 2 + 16);
  size_t used = 0;
  Entry* record = nullptr;

  auto store = [&](int section, int entry, int slot, std::string_view encoded) {
    base.maxSection = std::max(base.maxSection, section);
    base.maxEntry = std::max(base.maxEntry, entry);
    base.maxSlot = std::max(base.maxSlot, slot);
    Count(base, section, slot);
    const size_t length = DecodedSize(encoded.size());
    if (used + length > UINT32_MAX) throw std::length_error("knowledge base too large");
    if (used + length > texts.size()) texts.resize(std::max(texts.size() * 2, used + length));
    DecodeTextInto(encoded, texts.data() + used);
    const std::string_view text(texts.data() + used, length);
    if (base.sections_.empty() || base.sections_.back().section != section) {
      base.sections_.push_back({section, {}});
      record = nullptr;
    }
    auto& entries = base.sections_.back().entries;
    if (record == nullptr || record->entry != entry) {
      entries.push_back(Entry{entry, static_cast<uint32_t>(base.cells_.size()), 0, 0});
      record = &entries.back();
    }
    // Entries and slots only go up, but a stray byte above 202 ends a text without moving
    // on, so the next one replaces it.
    if (static_cast<uint32_t>(slot) >= record->count) {
      record->count = record->capacity = slot + 1;
      base.cells_.resize(record->first + record->count);
    }
    auto& cell = base.cells_[record->first + slot];
    const bool indexed = slot == 1 && (section == kStaticBase || section == kDynamicBase);
    if (indexed && cell.length > 0) {
      base.letterIndex_[section - kStaticBase].Remove(
          LettersHash(std::string_view(texts).substr(cell.offset, cell.length)), entry);
    }
    base.deadText_ += cell.length;
    cell = {static_cast<uint32_t>(used), static_cast<uint32_t>(length)};
    used += length;
    if (indexed) base.letterIndex_[section - kStaticBase].Add(LettersHash(text), entry);
  };

  int section = 1, entry = 1, slot = 1;
  size_t textStart = headerEnd + 2;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t i = textStart; i < bytes.size(); ++i) {
    const unsigned char c = data[i];
    const bool last = i + 1 == bytes.size();
    if (c < kSectionSeparator && !last) continue;
    const size_t textEnd = c < kSectionSeparator ? i + 1 : i;
    if (textEnd > textStart)
      store(section, entry, slot, bytes.substr(textStart, textEnd - textStart));
    textStart = i + 1;
    if (c == kAnswerSeparator) {
      ++slot;
    } else if (c == kEntrySeparator) {
      ++entry;
      slot = 1;
    } else if (c == kSectionSeparator) {
      ++section;
      entry = 0;
      slot = 1;
    }
  }

  texts.resize(used);
  texts.shrink_to_fit();
  base.cells_.shrink_to_fit();
  for (auto& s : base.sections_) s.entries.shrink_to_fit();
  base.sections_.shrink_to_fit();
  for (auto& index : base.letterIndex_) index.Fit();
  base.sectionCount_ = base.maxSection + 2;
  base.entryCount_ = base.maxEntry + 2;
  base.slotCount_ = base.maxSlot + 2;
  base.firstEmptyKey_.assign(std::clamp(base.sectionCount_, 0, kDynamicBase + 1), -1);
}

bool ReloadBase(KnowledgeBase& base, const std::filesystem::path& path) {
  MakeWritable(path);
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ResetFigures(base);
    return false;
  }
  std::string bytes;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size > 0) {
    bytes.resize(static_cast<size_t>(size));
    in.read(bytes.data(), size);
  }
  if (in.bad() || size < 0 || in.gcount() != std::max<std::streamoff>(size, 0)) {
    throw std::runtime_error("I/O error reading " + path.string());
  }
  ReloadBaseFromBytes(base, bytes);
  return true;
}

}  // namespace plotrak
