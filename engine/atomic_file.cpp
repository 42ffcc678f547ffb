#include "engine/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;  // the rename is done; a folder we cannot open cannot be synced
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

void ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           mode_t newFileMode) {
  struct stat old {};
  const bool existed = ::stat(file.c_str(), &old) == 0;
  std::string tmpl = file.string() + ".XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());  // O_EXCL: never a file someone else prepared
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
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) { /* not ours to change: keep our owner */ }
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

}  // namespace plotrak
