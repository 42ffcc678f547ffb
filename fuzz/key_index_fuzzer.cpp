// The mother-key index names exactly the keys whose literal runs all occur in an input, for
// any keys and inputs. The data is keys, one a line, then a NUL, then inputs, one a line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/knowledge_base.h"
#include "engine/mother_index.h"

namespace {

std::vector<std::string_view> Lines(std::string_view text, size_t most) {
  std::vector<std::string_view> lines;
  while (!text.empty() && lines.size() < most) {
    const size_t end = std::min(text.find('\n'), text.size());
    lines.push_back(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const size_t split = std::min(bytes.find('\0'), bytes.size());
  const std::vector<std::string_view> keys = Lines(bytes.substr(0, split), 200);
  const std::vector<std::string_view> inputs =
      Lines(bytes.substr(std::min(split + 1, bytes.size())), 50);
  plotrak::KnowledgeBase base;
  const int entries = static_cast<int>(keys.size()) + 2;
  base.Resize(5, entries, 3, true);
  for (size_t e = 0; e < keys.size(); ++e) {
    base.SetCell(plotrak::kMotherBase, static_cast<int>(e) + 1, 1, std::string(keys[e]));
  }
  plotrak::MotherKeyIndex index;
  index.Refresh(base);
  for (std::string_view input : inputs) {
    std::vector<int> expected;
    for (size_t e = 0; e < keys.size(); ++e) {
      const int entry = static_cast<int>(e) + 1;
      if (!keys[e].empty() && plotrak::KeyMayMatch(input, base.Cell(plotrak::kMotherBase, entry, 1)))
        expected.push_back(entry);
    }
    if (index.Candidates(input, 0, entries - 1) != expected) __builtin_trap();
  }
  return 0;
}
