// Polchat frames: a 4-byte big-endian total length, then a payload of N 16-bit integers
// and S strings (2-byte length, the bytes, one 0x00). Pure functions over bytes, and the
// reassembly of frames from the pieces a stream delivers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace plotrak::polchat {

// The longest frame accepted from a peer. The largest real frames (a room list, the people
// of a crowded room) stay far below it; a longer length field is a broken or hostile peer.
inline constexpr uint32_t kMaxFrameLength = 1u << 20;
// The shortest frame: the length field and the two counts (the ping answer's eight bytes).
inline constexpr uint32_t kMinFrameLength = 8;

// The payload of N = ints.size() integers and S = strings.size() strings. A string longer
// than the 16-bit length field can say is cut to 65535 bytes.
std::string BuildPayload(std::initializer_list<uint16_t> ints,
                         std::initializer_list<std::string_view> strings);
// The frame around a payload.
std::string Frame(std::string_view payload);
// BuildPayload framed.
std::string BuildFrame(std::initializer_list<uint16_t> ints,
                       std::initializer_list<std::string_view> strings);

// The big-endian 16-bit number at `offset`, or nothing when it runs past the payload.
std::optional<uint16_t> U16At(std::string_view payload, size_t offset);
// The string whose length field is at `offset`; on success `offset` moves past its 0x00 (the
// terminator itself need not be there for the last string). Nothing when the length field
// or the bytes run past the payload.
std::optional<std::string> StringAt(std::string_view payload, size_t& offset);

// Cuts a byte stream into payloads. Bytes may arrive split at any point and several frames
// may arrive at once; each payload is handed out once, in order, when it is complete. The
// partial-frame buffer never holds more than kMaxFrameLength bytes.
class FrameReassembler {
 public:
  // Appends a chunk and hands out every payload completed by it. A length field below
  // kMinFrameLength or above kMaxFrameLength makes the stream unusable: false is returned,
  // the buffer is emptied, and later chunks are refused until Reset.
  bool Feed(std::string_view chunk, const std::function<void(std::string_view payload)>& onPayload);
  void Reset();
  bool failed() const { return failed_; }
  size_t pending() const { return buffer_.size() - start_; }

 private:
  // Hands out the complete frames of `data`; returns how many bytes were used, or nothing
  // on a bad length field.
  std::optional<size_t> Cut(std::string_view data,
                            const std::function<void(std::string_view)>& onPayload);

  std::string buffer_;
  size_t start_ = 0;
  bool failed_ = false;
};

}  // namespace plotrak::polchat
