// Writing baza.ptk.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <stdexcept>

#include "engine/atomic_file.h"
#include "engine/knowledge_base.h"
#include "engine/text_codec.h"

namespace plotrak {

namespace {

constexpr unsigned char kSectionSeparator = 200;
constexpr unsigned char kEntrySeparator = 201;
constexpr unsigned char kAnswerSeparator = 202;

// The first save of a run keeps the file it replaces as "<file>.bak": a base damaged outside
// the program loads without complaint, and without the copy the save would make the damage
// permanent. Later saves of the run replace only what this run wrote itself.
void KeepBackupOncePerRun(const std::filesystem::path& path) {
  static std::mutex mutex;
  static std::set<std::filesystem::path> done;
  const std::lock_guard<std::mutex> lock(mutex);
  std::error_code ec;
  std::filesystem::path key = std::filesystem::weakly_canonical(path, ec);
  if (ec) key = path;
  if (done.count(key) != 0) return;
  if (!std::filesystem::is_regular_file(path, ec)) {
    done.insert(key);  // nothing to keep: every later version is this run's own
    return;
  }
  std::filesystem::path backup = path;
  backup += ".bak";
  // A second name for the old file costs nothing and cannot fail half-way; the save's rename
  // then leaves the old contents under the backup name only.
  std::filesystem::remove(backup, ec);
  if (::link(path.c_str(), backup.c_str()) != 0) {
    // a file system without hard links: a copy
    std::ifstream in(path, std::ios::binary);
    const std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("I/O error reading " + path.string());
    struct stat st {};
    ReplaceFileAtomically(backup, old, ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0644);
  }
  done.insert(key);
}

}  // namespace

std::string BaseFileBytes(const KnowledgeBase& base) {
  std::string out = EncodeText(base.baseVersion);
  for (int s = 1; s <= 3; ++s) {
    out += static_cast<char>(kSectionSeparator);
    const int entryEnd = base.StoredEntryEnd(s);
    // only the entries that hold a text: a base of empty entries costs nothing to write
    for (int e = base.NextStoredEntry(s, 0); e < entryEnd; e = base.NextStoredEntry(s, e)) {
      const std::string_view key = base.Cell(s, e, 1);
      if (!key.empty()) {
        out += static_cast<char>(kEntrySeparator);
        out += EncodeText(key);
      }
      const int slotEnd = base.StoredSlotEnd(s, e);
      for (int k = 2; k < slotEnd; ++k) {
        const std::string_view answer = base.Cell(s, e, k);
        if (answer.empty()) continue;
        out += static_cast<char>(kAnswerSeparator);
        out += EncodeText(answer);
      }
    }
  }
  return out;
}

void SaveBaseFile(const KnowledgeBase& base, const std::filesystem::path& path) {
  const std::string bytes = BaseFileBytes(base);
  MakeWritable(path);
  KeepBackupOncePerRun(path);
  ReplaceFileAtomically(path, bytes);
}

void MakeWritable(const std::filesystem::path& path) {
  std::error_code ec;
  auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::is_regular_file(status)) return;
  std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add, ec);
}

}  // namespace plotrak
