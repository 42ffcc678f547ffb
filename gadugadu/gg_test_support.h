// Helpers of the messenger tests: server-to-client packets and waiting on the Qt event loop.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gadugadu/gg_packets.h"

namespace plotrak::gg::testing {

// Runs the main thread's events until `done` holds or `ms` pass; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, int ms = 5000);
// Runs the events for `ms`.
void Pump(int ms);

// A received message (type 10): sender, 12 unread bytes, the text and its 0 byte, then
// `attributes` as they stand.
std::string MessageFrom(uint32_t from, const std::string& text, const std::string& attributes = {});
// Rich-text attributes: flag 2, length, blocks (position, flags[, r, g, b]).
struct Block {
  uint16_t position;
  uint8_t flags;
  uint8_t red = 0, green = 0, blue = 0;
};
std::string RichText(const std::vector<Block>& blocks);
// Image attributes: the first piece (flag 5, size, CRC32, name) or a further one (flag 6).
std::string ImagePiece(bool first, uint32_t size, uint32_t crc32, const std::string& data);
// A 14-byte contact record (types 15 and 17) followed by `tail`.
std::string ContactRecord(uint32_t type, uint32_t number, uint8_t status, uint32_t ip,
                          uint8_t maxImage, const std::string& tail = {});
std::string Raw(uint32_t type, const std::string& body);
// Bytes of a literal, 0 bytes included.
template <size_t N>
std::string B(const char (&bytes)[N]) {
  return std::string(bytes, N - 1);
}
std::string U32(uint32_t value);

}  // namespace plotrak::gg::testing
