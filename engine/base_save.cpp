// Writing baza.ptk.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "engine/knowledge_base.h"
#include "engine/text_codec.h"

namespace plotrak {

namespace {

constexpr unsigned char kSectionSeparator = 200;
constexpr unsigned char kEntrySeparator = 201;
constexpr unsigned char kAnswerSeparator = 202;

}  // namespace

std::string BaseFileBytes(const KnowledgeBase& base) {
  std::string out = EncodeText(base.baseVersion);
  for (int s = 1; s <= 3; ++s) {
    out += static_cast<char>(kSectionSeparator);
    const int entryEnd = base.StoredEntryEnd(s);
    for (int e = 1; e < entryEnd; ++e) {
      const std::string& key = base.Cell(s, e, 1);
      if (!key.empty()) {
        out += static_cast<char>(kEntrySeparator);
        out += EncodeText(key);
      }
      const int slotEnd = base.StoredSlotEnd(s, e);
      for (int k = 2; k < slotEnd; ++k) {
        const std::string& answer = base.Cell(s, e, k);
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
  std::string tmpl = (path.parent_path() / (path.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0)
    throw std::runtime_error("Cannot create " + path.string() + ": " + std::strerror(errno));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = errno;
      ::close(fd);
      ::unlink(name.data());
      throw std::runtime_error("Cannot write " + path.string() + ": " + std::strerror(err));
    }
    done += static_cast<size_t>(n);
  }
  fchmod(fd, 0644);
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    ::unlink(name.data());
    throw std::runtime_error("Cannot write " + path.string());
  }
  if (::rename(name.data(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(name.data());
    throw std::runtime_error("Cannot replace " + path.string() + ": " + std::strerror(err));
  }
}

void MakeWritable(const std::filesystem::path& path) {
  std::error_code ec;
  auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::is_regular_file(status)) return;
  std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add, ec);
}

}  // namespace plotrak
