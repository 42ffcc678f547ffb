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
  if (encoded.empty()) return std::string();
  // One byte per whole pair, and at least one: a lone byte pairs with zero.
  const size_t count = encoded.size() < 2 ? 1 : encoded.size() / 2;
  std::string out(count, '\0');
  for (size_t i = 0; i < count; ++i) {
    const unsigned a = static_cast<unsigned char>(encoded[2 * i]);
    const unsigned b = 2 * i + 1 < encoded.size() ? static_cast<unsigned char>(encoded[2 * i + 1]) : 0;
    out[i] = static_cast<char>((a + b) & 0xFF);
  }
  return out;
}

}  // namespace plotrak
