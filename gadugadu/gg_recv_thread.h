// TRecvThread: waits for the 8-byte packet headers of the connection of its TGGLite and
// hands each packet to the main thread, waiting until the body has been read there. When it
// finds the connection closed it tells the main thread and suspends itself until Resume.
// Stop() ends it; a thread waiting for the main thread is released by Stop too, so the
// owner may stop it from the main thread without a deadlock. The hand-over is a mailbox
// under a standard mutex and a wake-up through an event descriptor that the main thread's
// event loop watches: nothing of Qt's cross-thread machinery is involved.
#pragma once

#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "gadugadu/gg_wire.h"

namespace plotrak {

class TGGLite;

class TRecvThread : public QThread {
 public:
  explicit TRecvThread(TGGLite& owner);
  // Main thread: starts the thread, which waits for Resume.
  void Start();
  ~TRecvThread() override;

  // Main thread: start reading the connection of this generation.
  void Resume(uint64_t generation);
  // Main thread: the body of the handed-over packet has been read.
  void PacketDone();

  // What the thread has for the main thread.
  struct Mail {
    bool packet = false;  // a header to handle
    uint64_t packetGeneration = 0;
    gg::Header header;
    bool lost = false;  // the connection of this generation was found closed
    uint64_t lostGeneration = 0;
  };
  // Readable when mail waits; the main thread's event loop watches it.
  int wakeFd() const { return wakeFd_; }
  // Main thread: empties the wake-up descriptor and takes the mail.
  Mail TakeMail();
  // Any thread: end the thread (also wakes it from every wait).
  void Stop();
  // Main thread: Stop, then wait until run() has returned.
  void Join();

 protected:
  void run() override;

 private:
  void Loop();
  void Post(const Mail& mail);
  void ReadPackets(uint64_t generation);

  TGGLite& owner_;
  std::mutex lock_;
  std::condition_variable wake_;
  std::atomic<bool> stop_{false};
  bool resume_ = false;      // under lock_
  bool pending_ = false;     // under lock_: a packet is with the main thread
  uint64_t generation_ = 0;  // under lock_
  bool finished_ = false;    // under lock_: run() has returned
  bool started_ = false;     // under lock_
  Mail mail_;                // under lock_
  int wakeFd_ = -1;
};

}  // namespace plotrak
