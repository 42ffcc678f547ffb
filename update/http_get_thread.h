// THTTPGetThread: the worker of one THTTPGet download. It owns its own network access
// manager (created on the worker thread) and writes the file itself; the owner reads the
// results only after the thread has finished.
#pragma once

#include <QThread>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace plotrak {

class THTTPGetThread : public QThread {
 public:
  // A copy of the owner's properties at the start.
  struct Settings {
    std::string acceptTypes, agent, url, fileName, userName, password, postQuery, referer;
    bool binaryData = false, useCache = false;
    int transferTimeoutMs = 30000;
    int64_t maxSize = 0;
  };
  // `progress` is called on the worker thread after every chunk; it must hand over to the
  // owner's thread itself.
  THTTPGetThread(Settings settings, std::function<void(int64_t, int64_t)> progress);

  // Asks the worker to stop soon; safe from any thread.
  void Stop() { stop_ = true; }

  // Valid once the thread has finished.
  bool result() const { return result_; }
  int64_t expectedSize() const { return expectedSize_; }
  int64_t totalSize() const { return total_; }

 protected:
  void run() override;

 private:
  Settings settings_;
  std::function<void(int64_t, int64_t)> progress_;
  std::atomic<bool> stop_{false};
  bool result_ = false;
  int64_t expectedSize_ = 0;
  int64_t lastChunk_ = 0;
  int64_t total_ = 0;
};

// The address as a URL: "http://" is assumed when no scheme is given.
std::string CompleteUrl(const std::string& url);

}  // namespace plotrak
