#include "gadugadu/gg_recv_thread.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include "gadugadu/gg_lite.h"

namespace plotrak {

TRecvThread::TRecvThread(TGGLite& owner)
    : owner_(owner), wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

TRecvThread::~TRecvThread() {
  Join();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void TRecvThread::Post(const Mail& mail) {
  {
    std::lock_guard guard(lock_);
    if (mail.packet) {
      mail_.packet = true;
      mail_.packetGeneration = mail.packetGeneration;
      mail_.header = mail.header;
    }
    if (mail.lost) {
      mail_.lost = true;
      mail_.lostGeneration = mail.lostGeneration;
    }
  }
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

TRecvThread::Mail TRecvThread::TakeMail() {
  uint64_t count;
  [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &count, sizeof count);
  std::lock_guard guard(lock_);
  Mail mail = mail_;
  mail_ = Mail{};
  return mail;
}

void TRecvThread::Start() {
  {
    std::lock_guard guard(lock_);
    started_ = true;
  }
  start();
}

void TRecvThread::Join() {
  Stop();
  // the end is awaited on our own lock as well as QThread's: it orders everything the thread
  // did before whatever the owner does next, in a way every checker of the program can see
  std::unique_lock guard(lock_);
  wake_.wait(guard, [this] { return finished_ || !started_; });
  guard.unlock();
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
  Loop();
  // notified under the lock: the owner may destroy the condition as soon as it sees the flag
  std::lock_guard guard(lock_);
  finished_ = true;
  wake_.notify_all();
}

void TRecvThread::Loop() {
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
    Mail mail;
    mail.lost = true;
    mail.lostGeneration = generation;
    Post(mail);
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
    Mail mail;
    mail.packet = true;
    mail.packetGeneration = generation;
    mail.header = header;
    Post(mail);
    std::unique_lock guard(lock_);
    wake_.wait(guard, [this] { return stop_.load() || !pending_; });
  }
}

}  // namespace plotrak
