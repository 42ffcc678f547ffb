// TRecvThread: waits for the 8-byte packet headers of the connection of its TGGLite and
// hands each packet to the main thread, waiting until the body has been read there. When it
// finds the connection closed it tells the main thread and suspends itself until Resume.
// Stop() ends it; a thread waiting for the main thread is released by Stop too, so the
// owner may stop it from the main thread without a deadlock.
#pragma once

#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace plotrak {

class TGGLite;

class TRecvThread : public QThread {
 public:
  explicit TRecvThread(TGGLite& owner) : owner_(owner) {}
  ~TRecvThread() override;

  // Main thread: start reading the connection of this generation.
  void Resume(uint64_t generation);
  // Main thread: the body of the handed-over packet has been read.
  void PacketDone();
  // Any thread: end the thread (also wakes it from every wait); then wait() for it.
  void Stop();

 protected:
  void run() override;

 private:
  void ReadPackets(uint64_t generation);

  TGGLite& owner_;
  std::mutex lock_;
  std::condition_variable wake_;
  std::atomic<bool> stop_{false};
  bool resume_ = false;   // under lock_
  bool pending_ = false;  // under lock_: a packet is with the main thread
  uint64_t generation_ = 0;  // under lock_
};

}  // namespace plotrak
