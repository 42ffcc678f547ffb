#include "ptk/script_calls.h"

namespace plotrak::ptk {

ScannedText ScanCalls(std::string_view text, bool isKey) {
  ScannedText scanned;
  std::vector<std::string> keptArgs;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '|') {
      scanned.plain += text[i++];
      continue;
    }
    const size_t close = text.find('|', i + 1);
    if (close == std::string_view::npos) {
      scanned.unclosedBar = true;
      break;
    }
    const std::string_view body = text.substr(i + 1, close - i - 1);
    ScriptCall call;
    size_t amp = body.find('&');
    call.name = std::string(body.substr(0, amp));
    while (amp != std::string_view::npos) {
      call.hasArgs = true;
      const size_t next = body.find('&', amp + 1);
      call.args.emplace_back(body.substr(
          amp + 1, next == std::string_view::npos ? std::string_view::npos : next - amp - 1));
      amp = next;
    }
    if (isKey) {
      if (call.hasArgs) {
        keptArgs = call.args;
      } else {
        call.args = keptArgs;
      }
    }
    scanned.calls.push_back(std::move(call));
    i = close + 1;
  }
  return scanned;
}

std::vector<std::string> KeyPatterns(std::string_view key, bool* unpaired) {
  std::vector<std::string> patterns;
  *unpaired = false;
  size_t i = 0;
  while (true) {
    const size_t open = key.find('$', i);
    if (open == std::string_view::npos) break;
    const size_t close = key.find('$', open + 1);
    if (close == std::string_view::npos) {
      *unpaired = true;
      break;
    }
    patterns.emplace_back(key.substr(open + 1, close - open - 1));
    i = close + 1;
  }
  return patterns;
}

}  // namespace plotrak::ptk
