// Reading baza.ptk.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "engine/knowledge_base.h"
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

  // A quick pass over the separators finds the maxima, so the table is sized once, exactly
  // as the growing pass of a two-pass reload sizes it; the second pass stores the texts.
  const size_t bodyStart = headerEnd + 2;
  auto walk = [&](auto&& store) {
    int section = 1, entry = 1, slot = 1;
    size_t textStart = bodyStart;
    for (size_t i = bodyStart; i < bytes.size(); ++i) {
      const auto c = static_cast<unsigned char>(bytes[i]);
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
  };
  walk([&base](int section, int entry, int slot, std::string_view) {
    base.maxSection = std::max(base.maxSection, section);
    base.maxEntry = std::max(base.maxEntry, entry);
    base.maxSlot = std::max(base.maxSlot, slot);
    Count(base, section, slot);
  });
  base.Resize(base.maxSection + 2, base.maxEntry + 2, base.maxSlot + 2, /*clear=*/true);
  base.baseVersion = std::move(version);
  walk([&base](int section, int entry, int slot, std::string_view text) {
    base.SetCell(section, entry, slot, DecodeText(text));
  });
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
