#include "polchat/antiflood_queue.h"

#include <algorithm>

namespace plotrak::polchat {

int64_t AntifloodQueue::DelayTicks(int64_t tick, int64_t letter, int64_t length, int64_t thinking) {
  const int64_t busy = letter * length + thinking;
  if (busy < 0) return 1;
  return std::min<int64_t>(busy / tick + 1, kMaxSlots);
}

void AntifloodQueue::Reset(size_t slots) {
  slots_.assign(slots, AntifloodSlot{});
  queued_ = 0;
}

std::optional<size_t> AntifloodQueue::Place(std::string text, std::string recipient, bool immediate,
                                            int64_t ticks) {
  if (queued_ >= kMaxQueuedTexts) return std::nullopt;
  if (slots_.size() < 3) slots_.resize(2);
  size_t last = 0;
  for (size_t i = slots_.size() - 1; i >= 1; --i) {
    if (slots_[i].recipient == recipient) {
      last = i;
      break;
    }
  }
  int64_t start = immediate ? 0 : static_cast<int64_t>(last) + ticks - 1;
  start = std::clamp<int64_t>(start, 0, kMaxSlots - kMaxQueuedTexts - 1);
  size_t at = static_cast<size_t>(start);
  while (at < slots_.size() && !slots_[at].text.empty()) ++at;
  if (at >= slots_.size()) slots_.resize(at + 1);
  if (!text.empty()) ++queued_;
  slots_[at].text = std::move(text);
  slots_[at].recipient = std::move(recipient);
  return at;
}

AntifloodSlot AntifloodQueue::Advance(bool& shrunk) {
  shrunk = false;
  if (slots_.empty()) return {};
  AntifloodSlot first = std::move(slots_[0]);
  if (slots_.size() == 1) {
    slots_[0] = AntifloodSlot{};
  } else {
    slots_.erase(slots_.begin());
    shrunk = true;
  }
  if (!first.text.empty()) --queued_;
  return first;
}

}  // namespace plotrak::polchat
