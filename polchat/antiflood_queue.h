// The chat's antiflood buffer: time slots, one sent per tick, slot i going i ticks from
// now. A text waits for its thinking-and-typing delay and never overtakes what is already
// queued for the same recipient. Bounded: see kMaxQueuedTexts and kMaxSlots.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plotrak::polchat {

struct AntifloodSlot {
  std::string text;  // empty: the slot is free
  std::string recipient;
};

class AntifloodQueue {
 public:
  // Texts waiting at once. A crowd that talks faster than one text a tick fills the queue;
  // what comes then is refused (the caller counts it), not queued: the bot stays at most
  // this many texts behind, and memory stays bounded.
  static constexpr size_t kMaxQueuedTexts = 200;
  // The furthest slot. A delay that would reach past it is shortened so that a free slot
  // always remains while fewer than kMaxQueuedTexts texts wait.
  static constexpr size_t kMaxSlots = 2048;

  // Ticks of a text's delay: the smallest multiple D of `tick` (at least one tick) greater
  // than letter x length + thinking, divided by `tick`. `tick` must be positive.
  static int64_t DelayTicks(int64_t tick, int64_t letter, int64_t length, int64_t thinking);

  // `slots` free slots.
  void Reset(size_t slots);
  size_t size() const { return slots_.size(); }
  size_t queued() const { return queued_; }
  const AntifloodSlot& slot(size_t index) const { return slots_[index]; }

  // Places a text: at the first free slot from 0 (immediate) or from the recipient's last
  // queued slot + ticks - 1. Returns the slot, or nothing when kMaxQueuedTexts texts wait
  // already (the text is then not queued).
  std::optional<size_t> Place(std::string text, std::string recipient, bool immediate,
                              int64_t ticks);

  // One tick: takes slot 0 and moves every slot one place on. The buffer shrinks by one
  // slot, except that its last slot stays (emptied). `shrunk` tells which happened.
  AntifloodSlot Advance(bool& shrunk);

 private:
  std::vector<AntifloodSlot> slots_;
  size_t queued_ = 0;  // slots with a text
};

}  // namespace plotrak::polchat
