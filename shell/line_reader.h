// Lines from a file descriptor (the console's standard input), read on a thread of their own
// so that a blocking read never stalls the event loop, and read no faster than they are
// handled: however fast the input comes, at most one line and one read buffer are held.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace plotrak {

class LineReader {
 public:
  // `deliver` runs on the reader's thread: with each line (without its "\n" and a "\r"
  // before it), of which only the first `maxBytes` bytes are kept; then with std::nullopt,
  // once, at the end of the input or on a read error. After a line nothing more is read until
  // Resume() is called. The reader does not own `fd`.
  LineReader(int fd, size_t maxBytes, std::function<void(std::optional<std::string>)> deliver);
  // Stops the thread, also while it waits for input or for Resume, and joins it.
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The delivered line is handled: the next one may be read. Any thread.
  void Resume();

 private:
  void Run();
  // Hands a line over and waits for Resume; false when the reader is stopping.
  bool DeliverAndWait(std::string line);
  // Waits until `fd_` is readable; false when stopping.
  bool WaitReadable();

  int fd_;
  size_t maxBytes_;
  std::function<void(std::optional<std::string>)> deliver_;
  int wake_[2] = {-1, -1};  // a byte here interrupts the wait for input
  std::mutex mutex_;
  std::condition_variable resumed_;
  bool resume_ = false;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace plotrak
