#include "engine/text_codec.h"

namespace plotrak {

std::string EncodeText(std::string_view text) {
  std::string out;
  out.resize(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned b = static_cast<unsigned char>(text[i]);
    out[2 * i] = static_cast<char>((b + 1) / 2);
    out[2 * i + 1] = static_cast<char>(b / 2);
  }
  return out;
}

std::string DecodeText(std::string_view encoded) {
  std::string out;
  if (encoded.empty()) return out;
  out.reserve(encoded.size() / 2 + 1);
  size_t i = 0;
  do {
    const unsigned a = static_cast<unsigned char>(encoded[i]);
    const unsigned b = i + 1 < encoded.size() ? static_cast<unsigned char>(encoded[i + 1]) : 0;
    out += static_cast<char>((a + b) & 0xFF);
    i += 2;
  } while (i + 1 < encoded.size());
  return out;
}

}  // namespace plotrak
