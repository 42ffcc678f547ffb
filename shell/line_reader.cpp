#include "shell/line_reader.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace plotrak {
namespace {

constexpr size_t kReadChunk = 64 * 1024;

}  // namespace

LineReader::LineReader(int fd, size_t maxBytes,
                       std::function<void(std::optional<std::string>)> deliver)
    : fd_(fd), maxBytes_(maxBytes), deliver_(std::move(deliver)) {
  if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
  thread_ = std::thread([this] { Run(); });
}

LineReader::~LineReader() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  resumed_.notify_all();
  if (wake_[1] >= 0) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t n = ::write(wake_[1], &byte, 1);
  }
  thread_.join();
  for (int fd : wake_)
    if (fd >= 0) ::close(fd);
}

void LineReader::Resume() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    resume_ = true;
  }
  resumed_.notify_all();
}

bool LineReader::DeliverAndWait(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (stop_) return false;
    resume_ = false;
  }
  deliver_(std::move(line));
  std::unique_lock<std::mutex> lock(mutex_);
  resumed_.wait(lock, [this] { return resume_ || stop_; });
  return !stop_;
}

bool LineReader::WaitReadable() {
  for (;;) {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    const int n = ::poll(fds, wake_[0] >= 0 ? 2 : 1, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return true;  // let read() report it
    if (fds[1].revents != 0) return false;
    const std::lock_guard<std::mutex> lock(mutex_);
    return !stop_;
  }
}

void LineReader::Run() {
  std::string line;     // the line being gathered, at most maxBytes_
  bool inLine = false;  // bytes of an unfinished line have been read
  std::string chunk(kReadChunk, '\0');
  for (;;) {
    if (!WaitReadable()) return;
    const ssize_t n = ::read(fd_, chunk.data(), chunk.size());
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) break;
    size_t start = 0;
    while (start < static_cast<size_t>(n)) {
      const char* begin = chunk.data() + start;
      const char* newline =
          static_cast<const char*>(std::memchr(begin, '\n', static_cast<size_t>(n) - start));
      const size_t length = newline ? static_cast<size_t>(newline - begin) : n - start;
      if (line.size() < maxBytes_) line.append(begin, std::min(length, maxBytes_ - line.size()));
      inLine = true;
      start += length;
      if (!newline) break;
      ++start;
      inLine = false;
      if (!DeliverAndWait(std::move(line))) return;
      line.clear();
    }
  }
  if (inLine && !DeliverAndWait(std::move(line))) return;
  deliver_(std::nullopt);
}

}  // namespace plotrak
