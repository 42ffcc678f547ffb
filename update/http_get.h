// THTTPGet: downloads one file over HTTP(S) into `FileName` on a worker thread, reporting
// progress and the end on the thread that owns it (the thread of its Qt event loop).
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

namespace plotrak {

class THTTPGetThread;

class THTTPGet : public QObject {
  Q_OBJECT
 public:
  explicit THTTPGet(QObject* parent = nullptr);
  // Aborts a running download and waits for its worker to end; no event is raised after.
  ~THTTPGet() override;

  // Properties, copied by GetFile for the worker.
  std::string AcceptTypes = "*/*";
  std::string Agent = "Tavolin HTTPGet";
  bool BinaryData = false;  // a response without Content-Length is then not read at all
  std::string URL;          // "http://" may be left out; a port and https:// are allowed
  bool UseCache = false;    // false: the request asks every cache on the way to reload
  std::string FileName;     // where the bytes go (created or truncated)
  std::string UserName, Password;
  std::string PostQuery;  // not empty: a POST with this form-encoded body
  std::string Referer;
  bool WaitThread = false;  // GetFile returns only when the download has ended
  // Ours: a download that stalls this long without a byte ends in failure, and one that
  // grows past MaxSize bytes (0: no limit) is stopped and fails.
  int TransferTimeoutMs = 30000;
  int64_t MaxSize = 0;

  // Events; unassigned ones are skipped. OnProgress follows every chunk of at most 1025
  // bytes with (expected size from Content-Length or 0, bytes so far).
  std::function<void(THTTPGet* sender, int64_t totalSize, int64_t readed)> OnProgress;
  std::function<void(THTTPGet* sender, const std::string& fileName, int64_t fileSize)> OnDoneFile;
  std::function<void(THTTPGet* sender)> OnError;

  // Starts the download; does nothing while this instance's worker still runs.
  void GetFile();
  // Tells the running worker to stop; its result becomes false (OnError follows).
  void Abort();
  bool running() const { return worker_ != nullptr; }
  // The result of the last finished download.
  bool result() const { return result_; }

 protected:
  // The dispatch operations: each raises its event when assigned.
  virtual void DoProgress(int64_t totalSize, int64_t readed);
  virtual void DoDoneFile(const std::string& fileName, int64_t fileSize);
  virtual void DoError();

 private:
  void WorkerEnded();

  THTTPGetThread* worker_ = nullptr;
  bool result_ = false;
};

}  // namespace plotrak
