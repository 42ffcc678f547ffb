#include "gadugadu/gg_recv_thread.h"

#include <QMetaObject>

#include "gadugadu/gg_lite.h"

namespace plotrak {

TRecvThread::~TRecvThread() {
  Stop();
  wait();
}

void TRecvThread::Resume(uint64_t generation) {
  {
    std::lock_guard guard(lock_);
    resume_ = true;
    pending_ = false;
    generation_ = generation;
  }
  wake_.notify_all();
}

void TRecvThread::PacketDone() {
  {
    std::lock_guard guard(lock_);
    pending_ = false;
  }
  wake_.notify_all();
}

void TRecvThread::Stop() {
  {
    std::lock_guard guard(lock_);
    stop_ = true;
  }
  wake_.notify_all();
}

void TRecvThread::run() {
  for (;;) {
    uint64_t generation;
    {
      std::unique_lock guard(lock_);
      wake_.wait(guard, [this] { return stop_.load() || resume_; });
      if (stop_) return;
      resume_ = false;
      generation = generation_;
    }
    ReadPackets(generation);
    if (stop_) return;
    // nothing of the socket is touched from here until the next Resume
    owner_.lost_ = true;
    TGGLite* owner = &owner_;
    QMetaObject::invokeMethod(
        owner, [owner, generation] { owner->HandleConnectionLost(generation); },
        Qt::QueuedConnection);
  }
}

void TRecvThread::ReadPackets(uint64_t generation) {
  while (!stop_) {
    uint8_t raw[gg::kHeaderSize];
    try {
      if (!owner_.socket_.ReadExact(raw, sizeof raw, -1, &stop_)) return;
    } catch (...) {
      return;
    }
    const gg::Header header = gg::DecodeHeader(raw);
    {
      std::lock_guard guard(lock_);
      pending_ = true;
    }
    TGGLite* owner = &owner_;
    QMetaObject::invokeMethod(
        owner, [owner, generation, header] { owner->HandlePacket(generation, header); },
        Qt::QueuedConnection);
    std::unique_lock guard(lock_);
    wake_.wait(guard, [this] { return stop_.load() || !pending_; });
  }
}

}  // namespace plotrak
