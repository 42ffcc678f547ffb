// Images that arrive in pieces, identified by (size, CRC32). Bounded: an image larger than
// kMaxImageBytes is not assembled, and at most kMaxImages are kept (the oldest record gives
// way), so a peer sending endless new pairs costs a fixed amount of memory.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace plotrak::gg {

inline constexpr uint32_t kMaxImageBytes = 1u << 20;
inline constexpr size_t kMaxImages = 16;

class ImageList {
 public:
  // The first piece of an image. Data is stored only when the pair is new; returns the whole
  // image when this piece completes it.
  std::optional<std::string> FirstPiece(uint32_t size, uint32_t crc32, std::string_view data);
  // A further piece; ignored for an unknown or finished image.
  std::optional<std::string> FurtherPiece(uint32_t size, uint32_t crc32, std::string_view data);

  size_t size() const { return records_.size(); }
  // Bytes held by all records.
  size_t bytesHeld() const;

 private:
  struct Record {
    uint32_t size, crc32;
    std::string data;
    bool done = false;  // raised once; later pieces of the same pair are not stored
  };
  Record* Find(uint32_t size, uint32_t crc32);
  std::optional<std::string> Write(Record& record, std::string_view data);

  std::deque<Record> records_;
};

}  // namespace plotrak::gg
