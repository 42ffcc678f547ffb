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

size_t DecodeTextInto(std::string_view encoded, char* out) {
  // One byte per whole pair, and at least one: a lone byte pairs with zero.
  const size_t count = DecodedSize(encoded.size());
  if (encoded.size() == 1) {
    out[0] = encoded[0];
    return 1;
  }
  const auto* in = reinterpret_cast<const unsigned char*>(encoded.data());
  for (size_t i = 0; i < count; ++i) out[i] = static_cast<char>((in[2 * i] + in[2 * i + 1]) & 0xFF);
  return count;
}

std::string DecodeText(std::string_view encoded) {
  std::string out(DecodedSize(encoded.size()), '\0');
  DecodeTextInto(encoded, out.data());
  return out;
}

}  // namespace plotrak
