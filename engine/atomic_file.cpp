#include "engine/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace plotrak {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& file, int err) {
  throw std::runtime_error(what + " " + file.string() + ": " + std::strerror(err));
}

void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // the rename is done; a folder we cannot open cannot be synced
  ::fsync(fd);
  ::close(fd);
}

bool AllOf(std::string_view text, bool (*pred)(char)) {
  for (char c : text)
    if (!pred(c)) return false;
  return true;
}

bool IsTemplateChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsLower(char c) {
  return c >= 'a' && c <= 'z';
}

constexpr std::string_view kTemporarySuffix = ".tmp";

bool IsOurTemporary(std::string_view candidate, std::string_view name) {
  if (candidate.size() <= name.size() + 1 || candidate.substr(0, name.size()) != name ||
      candidate[name.size()] != '.')
    return false;
  const std::string_view tail = candidate.substr(name.size() + 1);
  if (tail.size() == 6 + kTemporarySuffix.size() && tail.substr(6) == kTemporarySuffix)
    return AllOf(tail.substr(0, 6), IsTemplateChar);
  if (tail.size() == 6) return AllOf(tail, IsTemplateChar) && !AllOf(tail, IsLower);
  return tail.size() > 3 && tail.substr(0, 3) == "tmp" && AllOf(tail.substr(3), IsDigit);
}

}  // namespace

void ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           mode_t newFileMode) {
  struct stat old {};
  const bool existed = ::stat(file.c_str(), &old) == 0;
  std::string tmpl = file.string() + ".XXXXXX" + std::string(kTemporarySuffix);
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  // O_EXCL: never a file someone else prepared; O_CLOEXEC: no child process inherits it.
  const int fd = ::mkostemps(name.data(), static_cast<int>(kTemporarySuffix.size()), O_CLOEXEC);
  if (fd < 0) Fail("Cannot create", file, errno);
  auto abandon = [&](const char* what, int err) {
    ::close(fd);
    ::unlink(name.data());
    Fail(what, file, err);
  };
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) abandon("Cannot write", n < 0 ? errno : EIO);
    done += static_cast<size_t>(n);
  }
  if (existed) {
    // Owner first: a chown may clear set-id bits that the chmod then restores.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) { /* not ours to change: keep our owner */
    }
    ::fchmod(fd, old.st_mode & 07777);
  } else {
    ::fchmod(fd, newFileMode);
  }
  if (::fsync(fd) != 0) abandon("Cannot write", errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(name.data());
    Fail("Cannot write", file, err);
  }
  if (::rename(name.data(), file.c_str()) != 0) {
    const int err = errno;
    ::unlink(name.data());
    Fail("Cannot replace", file, err);
  }
  SyncFolder(file.parent_path());
}

int RemoveStaleTemporaries(const std::filesystem::path& file) {
  const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
  const std::string name = file.filename().string();
  int removed = 0;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (!IsOurTemporary(it->path().filename().string(), name)) continue;
    std::error_code ignored;
    const auto type = it->symlink_status(ignored).type();
    if (type != std::filesystem::file_type::regular && type != std::filesystem::file_type::symlink)
      continue;
    if (std::filesystem::remove(it->path(), ignored)) ++removed;
  }
  return removed;
}

}  // namespace plotrak
