#include "engine/status_lines.h"

namespace plotrak {

void StatusLines::Set(const std::string& label, std::string text) {
  std::string& slot = lines_[label];
  slot = std::move(text);
  if (onChange) onChange(label, slot);
}

const std::string& StatusLines::Get(const std::string& label) const {
  static const std::string kEmpty;
  auto it = lines_.find(label);
  return it == lines_.end() ? kEmpty : it->second;
}

}  // namespace plotrak
