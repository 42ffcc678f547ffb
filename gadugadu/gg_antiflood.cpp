#include "gadugadu/gg_antiflood.h"

#include <algorithm>

namespace plotrak {

void GgAntiflood::Reset() {
  slots_.assign(1, Slot{});
  tick_ = 0;
}

int64_t GgAntiflood::RoundTicks(int64_t value) {
  int64_t quotient = value / 100, rest = value % 100;
  if (rest < 0) {
    rest += 100;
    --quotient;
  }
  if (rest > 50 || (rest == 50 && quotient % 2 != 0)) ++quotient;
  return quotient;
}

int64_t GgAntiflood::Queue(const std::string& speaker, const std::string& text, bool zeroDelay,
                           int32_t thinkMs, int32_t letterMs) {
  int64_t last = 0;
  for (const Slot& slot : slots_)
    if (!slot.due.empty() && slot.speaker == speaker)
      last = std::max<int64_t>(last, std::stoll(slot.due));
  if (last == 0) last = tick_;
  auto free =
      std::find_if(slots_.begin(), slots_.end(), [](const Slot& s) { return s.due.empty(); });
  if (free == slots_.end()) {
    if (slots_.size() >= kMaxSlots) return 0;
    slots_.emplace_back();
    free = slots_.end() - 1;
  }
  int64_t due = last + 1;
  if (!zeroDelay)
    due += RoundTicks(int64_t{thinkMs} + int64_t{letterMs} * static_cast<int64_t>(text.size()));
  // a slot due in the past would never be sent and never freed
  due = std::max(due, tick_ + 1);
  *free = {std::to_string(due), speaker, text};
  return due;
}

std::vector<GgAntiflood::Slot> GgAntiflood::Tick() {
  ++tick_;
  const std::string now = std::to_string(tick_);
  std::vector<Slot> due;
  for (Slot& slot : slots_) {
    if (slot.due != now) continue;
    due.push_back(std::move(slot));
    slot = Slot{};
  }
  return due;
}

}  // namespace plotrak
