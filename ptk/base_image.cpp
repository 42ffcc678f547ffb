#include "ptk/base_image.h"

#include <algorithm>

#include "engine/text_codec.h"
#include "ptk/source_text.h"

namespace plotrak::ptk {

namespace {

constexpr unsigned char kSection = 200, kEntry = 201, kAnswer = 202;

void Validate(const BaseSource& source) {
  if (!source.hasVersion) throw SourceError(1, "the source has no WERSJA: line");
  // An empty header reads back as the one-byte version 200.
  if (source.version.text.empty()) throw SourceError(source.version.line, "empty version");
  for (int s = 1; s <= 3; ++s) {
    for (const auto& entry : source.Section(s)) {
      if (entry.key.text.empty()) {
        throw SourceError(entry.key.line, "empty key: its answers would join the entry above");
      }
      for (const auto& answer : entry.answers) {
        if (answer.text.empty()) throw SourceError(answer.line, "empty answer: it is never saved");
      }
    }
  }
  // The reader skips the byte after the header, which must be the first entry's 201.
  if (source.Section(1).empty()) {
    for (int s = 2; s <= 3; ++s) {
      if (!source.Section(s).empty()) {
        throw SourceError(source.Section(s).front().key.line,
                          "the mother base is empty: a base file must begin with a mother-base "
                          "entry before any other section has entries");
      }
    }
  }
}

bool SameTexts(const BaseSource& a, const BaseSource& b) {
  if (a.version.text != b.version.text) return false;
  for (int s = 1; s <= 3; ++s) {
    const auto& x = a.Section(s);
    const auto& y = b.Section(s);
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i) {
      if (x[i].key.text != y[i].key.text || x[i].answers.size() != y[i].answers.size()) {
        return false;
      }
      for (size_t k = 0; k < x[i].answers.size(); ++k) {
        if (x[i].answers[k].text != y[i].answers[k].text) return false;
      }
    }
  }
  return true;
}

// Why a file is not in the form the program writes: a walk over its raw fields. Only the
// first reasons are spelled out; a file of random bytes would otherwise give one per byte.
constexpr int kShownReasons = 20;

std::string Diagnose(std::string_view bytes, const std::string& saved) {
  std::string why;
  int reasons = 0;
  auto note = [&why, &reasons](size_t offset, const std::string& text) {
    if (++reasons <= kShownReasons) why += "\n  byte " + std::to_string(offset) + ": " + text;
  };
  const size_t headerEnd = bytes.find(static_cast<char>(kSection));
  const std::string_view header = bytes.substr(0, headerEnd);
  if (header.empty()) {
    note(0, "empty header (it reads as the version \"\\xC8\")");
  } else if (EncodeText(DecodeText(std::string(header) + static_cast<char>(kSection))) != header) {
    note(0, "the version is not in the pair-split code");
  }
  if (headerEnd + 1 < bytes.size() && static_cast<unsigned char>(bytes[headerEnd + 1]) != kEntry) {
    note(headerEnd + 1, "the mother base does not begin with an entry (this byte is skipped)");
  }
  int section = 1;
  bool inEntry = false;
  size_t fieldStart = headerEnd + 2;
  unsigned char opener = kEntry;
  for (size_t i = headerEnd + 2; i <= bytes.size(); ++i) {
    const auto c = i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : kSection;
    if (c < kSection) continue;
    const std::string_view field = bytes.substr(fieldStart, i - fieldStart);
    const bool isKey = opener == kEntry;
    if (opener == kEntry || opener == kAnswer) {
      if (field.empty()) {
        note(fieldStart, isKey ? "an empty key" : "an empty answer");
      } else if (field.size() % 2 != 0 || EncodeText(DecodeText(field)) != field) {
        note(fieldStart, "a text not in the pair-split code");
      }
      if (!isKey && !inEntry) note(fieldStart, "an answer before the section's first key");
      if (isKey) inEntry = true;
    } else if (opener == kSection) {
      if (!field.empty()) note(fieldStart, "a text right after a section separator");
    } else {
      note(fieldStart - 1, "a stray byte " + std::to_string(opener) + " between fields");
    }
    if (i == bytes.size()) break;
    if (c == kSection) {
      ++section;
      inEntry = false;
      if (section == 4) note(i, "a fourth section (never saved)");
    }
    opener = c;
    fieldStart = i + 1;
  }
  if (reasons > kShownReasons) {
    why += "\n  ... and " + std::to_string(reasons - kShownReasons) + " more";
  }
  if (why.empty()) {
    const auto diff = std::mismatch(bytes.begin(), bytes.end(), saved.begin(), saved.end());
    note(static_cast<size_t>(diff.first - bytes.begin()), "differs from the saved form here");
  }
  return why;
}

}  // namespace

void FillBase(const BaseSource& source, KnowledgeBase& base) {
  size_t entries = 0, answers = 0;
  for (int s = 1; s <= 3; ++s) {
    entries = std::max(entries, source.Section(s).size());
    for (const auto& e : source.Section(s)) answers = std::max(answers, e.answers.size());
  }
  base.Resize(5, static_cast<int>(entries) + 2, static_cast<int>(answers) + 3, /*clear=*/true);
  base.baseVersion = source.version.text;
  for (int s = 1; s <= 3; ++s) {
    int e = 0;
    for (const auto& entry : source.Section(s)) {
      ++e;
      base.SetCell(s, e, 1, entry.key.text);
      int slot = 1;
      for (const auto& answer : entry.answers) base.SetCell(s, e, ++slot, answer.text);
    }
  }
}

std::string BuildBaseBytes(const BaseSource& source) {
  Validate(source);
  KnowledgeBase base;
  FillBase(source, base);
  std::string bytes = BaseFileBytes(base);
  // What validation cannot foresee must still not slip through: the file has to read back
  // as the very source it was made from.
  if (!SameTexts(DumpBaseBytes(bytes), source)) {
    throw std::runtime_error("internal error: the built base does not read back as its source");
  }
  return bytes;
}

BaseSource SourceOfBase(const KnowledgeBase& base) {
  BaseSource source;
  source.version.text = base.baseVersion;
  source.hasVersion = true;
  for (int s = 1; s <= 3; ++s) {
    const int entryEnd = std::min(base.StoredEntryEnd(s), base.EntryCount());
    for (int e = 1; e < entryEnd; ++e) {
      SourceEntry entry{{base.Cell(s, e, 1), 0}, {}};
      const int slotEnd = std::min(base.StoredSlotEnd(s, e), base.SlotCount());
      for (int k = 2; k < slotEnd; ++k) {
        if (!base.Cell(s, e, k).empty()) entry.answers.push_back({base.Cell(s, e, k), 0});
      }
      if (entry.key.text.empty() && entry.answers.empty()) continue;
      source.Section(s).push_back(std::move(entry));
    }
  }
  return source;
}

BaseSource DumpBaseBytes(std::string_view bytes) {
  KnowledgeBase base;
  try {
    ReloadBaseFromBytes(base, bytes);
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string("not a base file (") + e.what() + ")");
  }
  const std::string saved = BaseFileBytes(base);
  if (saved != bytes) {
    throw UnrepresentableBase(
        "the file is not in the form the program saves, so no source can rebuild it "
        "byte for byte:" +
        Diagnose(bytes, saved));
  }
  return SourceOfBase(base);
}

}  // namespace plotrak::ptk
