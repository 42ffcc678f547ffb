// Any byte string loads without crashing, and repeated saves and reloads settle on one base.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "engine/knowledge_base.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  plotrak::KnowledgeBase base;
  try {
    plotrak::ReloadBaseFromBytes(base, bytes);
  } catch (const std::runtime_error&) {
    return 0;  // no section separator: reported as a read past the end
  }
  // Files that name enormous section numbers are legal but make the check slow.
  if (base.maxSection > 1000) return 0;
  // Some bases do not survive a save whole, as the format has it: answers of a keyless first
  // entry of a section land in the unused entry 0, and an empty mother base loses the next
  // separator. Each save and reload can only drop or move such texts, so a few rounds must
  // reach a base that a save and reload no longer change.
  std::string saved = plotrak::BaseFileBytes(base);
  for (int round = 0; round < 8; ++round) {
    plotrak::KnowledgeBase again;
    try {
      plotrak::ReloadBaseFromBytes(again, saved);
    } catch (const std::runtime_error&) {
      return 0;  // an empty base saved as three separators reads past its end
    }
    std::string next = plotrak::BaseFileBytes(again);
    if (next == saved) return 0;
    saved = std::move(next);
  }
  __builtin_trap();
}
