// The pair-split code of the base file: every byte becomes two bytes in 0..128, so the
// separators 200..202 can never occur inside a text.
#pragma once

#include <string>
#include <string_view>

namespace plotrak {

// Even b -> b/2, b/2; odd b -> (b+1)/2, (b-1)/2. The result is twice as long.
std::string EncodeText(std::string_view text);

// One byte per pair: the sum of the two, modulo 256. The first pair is always emitted (a
// single byte pairs with zero); after it pairs are read while two bytes remain, so an odd
// last byte of a longer string is ignored. An empty input gives an empty text.
std::string DecodeText(std::string_view encoded);

// DecodeText written to `out`, which has room for DecodedSize(encoded.size()) bytes; returns
// that size.
inline size_t DecodedSize(size_t encodedSize) {
  return encodedSize == 0 ? 0 : encodedSize < 2 ? 1 : encodedSize / 2;
}
size_t DecodeTextInto(std::string_view encoded, char* out);

}  // namespace plotrak
