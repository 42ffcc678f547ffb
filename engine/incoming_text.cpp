#include "engine/incoming_text.h"

namespace plotrak {

std::string CleanIncomingText(std::string_view text) {
  return WithoutControlBytes(text.substr(0, kMaxIncomingText));
}

std::string WithoutControlBytes(std::string_view text) {
  std::string out(text.size(), '\0');
  size_t n = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool blank = byte == '\t' || byte == '\n' || byte == '\r';
    out[n] = blank ? ' ' : c;
    n += blank || (byte >= 0x20 && byte != 0x7F);
  }
  out.resize(n);
  return out;
}

}  // namespace plotrak
