// The answers waiting to be sent on the messenger, each with the tick (of 100 ms) it is due
// at. Answers to one person leave one after another, each waiting its own thinking and
// typing time after the previous one; different people are served in parallel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plotrak {

class GgAntiflood {
 public:
  struct Slot {
    std::string due;  // decimal tick; empty when the slot is free
    std::string speaker;
    std::string text;
  };

  // More answers than this waiting at once are dropped: a peer cannot grow it without bound.
  static constexpr size_t kMaxSlots = 1000;

  GgAntiflood() { Reset(); }

  // At each login: one free slot, tick counter 0.
  void Reset();

  // Queues an answer; returns its due tick, or 0 when the buffer is full and it was dropped.
  // The wait is round-half-to-even((thinkMs + letterMs * characters) / 100) + 1 ticks after
  // the speaker's last queued answer (or after now), or 1 tick with `zeroDelay`. A due tick
  // that would not lie in the future (negative times) is the next tick.
  int64_t Queue(const std::string& speaker, const std::string& text, bool zeroDelay,
                int32_t thinkMs, int32_t letterMs);

  // One tick: the counter rises and the slots due now are handed back and freed.
  std::vector<Slot> Tick();

  size_t size() const { return slots_.size(); }
  int64_t tick() const { return tick_; }
  const std::vector<Slot>& all() const { return slots_; }

  // round(value / 100) with halves to even.
  static int64_t RoundTicks(int64_t value);

 private:
  std::vector<Slot> slots_;
  int64_t tick_ = 0;
};

}  // namespace plotrak
