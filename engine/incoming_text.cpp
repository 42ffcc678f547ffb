#include "engine/incoming_text.h"

namespace plotrak {

std::string CleanIncomingText(std::string_view text) {
  return WithoutControlBytes(text.substr(0, kMaxIncomingText));
}

std::string WithoutControlBytes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\t' || byte == '\n' || byte == '\r') {
      out += ' ';
    } else if (byte >= 0x20 && byte != 0x7F) {
      out += c;
    }
  }
  return out;
}

}  // namespace plotrak
