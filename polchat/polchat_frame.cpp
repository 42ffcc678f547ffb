#include "polchat/polchat_frame.h"

#include <algorithm>

namespace plotrak::polchat {
namespace {

void PutU16(std::string& out, uint16_t value) {
  out.push_back(static_cast<char>(value >> 8));
  out.push_back(static_cast<char>(value & 0xFF));
}

uint32_t U32At(std::string_view data) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(data[0])) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(data[1])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(data[2])) << 8) |
         static_cast<uint32_t>(static_cast<uint8_t>(data[3]));
}

}  // namespace

std::string BuildPayload(std::initializer_list<uint16_t> ints,
                         std::initializer_list<std::string_view> strings) {
  size_t size = 4 + 2 * ints.size();
  for (std::string_view s : strings) size += 3 + std::min<size_t>(s.size(), 0xFFFF);
  std::string out;
  out.reserve(size);
  PutU16(out, static_cast<uint16_t>(ints.size()));
  PutU16(out, static_cast<uint16_t>(strings.size()));
  for (uint16_t value : ints) PutU16(out, value);
  for (std::string_view s : strings) {
    const size_t length = std::min<size_t>(s.size(), 0xFFFF);
    PutU16(out, static_cast<uint16_t>(length));
    out.append(s.substr(0, length));
    out.push_back('\0');
  }
  return out;
}

std::string Frame(std::string_view payload) {
  const uint32_t total = static_cast<uint32_t>(payload.size() + 4);
  std::string out;
  out.reserve(total);
  out.push_back(static_cast<char>(total >> 24));
  out.push_back(static_cast<char>((total >> 16) & 0xFF));
  out.push_back(static_cast<char>((total >> 8) & 0xFF));
  out.push_back(static_cast<char>(total & 0xFF));
  out.append(payload);
  return out;
}

std::string BuildFrame(std::initializer_list<uint16_t> ints,
                       std::initializer_list<std::string_view> strings) {
  return Frame(BuildPayload(ints, strings));
}

std::optional<uint16_t> U16At(std::string_view payload, size_t offset) {
  if (offset > payload.size() || payload.size() - offset < 2) return std::nullopt;
  return static_cast<uint16_t>((static_cast<uint8_t>(payload[offset]) << 8) |
                               static_cast<uint8_t>(payload[offset + 1]));
}

std::optional<std::string> StringAt(std::string_view payload, size_t& offset) {
  const std::optional<uint16_t> length = U16At(payload, offset);
  if (!length) return std::nullopt;
  const size_t begin = offset + 2;
  if (payload.size() - begin < *length) return std::nullopt;
  offset = begin + *length + 1;
  return std::string(payload.substr(begin, *length));
}

bool FrameReassembler::Feed(std::string_view chunk,
                            const std::function<void(std::string_view)>& onPayload) {
  if (failed_) return false;
  if (pending() == 0) {
    // the common case: whole frames straight from the chunk, only a tail is copied
    buffer_.clear();
    start_ = 0;
    const std::optional<size_t> used = Cut(chunk, onPayload);
    if (!used) return false;
    buffer_.assign(chunk.substr(*used));
    return true;
  }
  buffer_.append(chunk);
  const std::optional<size_t> used = Cut(std::string_view(buffer_).substr(start_), onPayload);
  if (!used) return false;
  start_ += *used;
  if (start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  } else if (start_ > buffer_.size() / 2) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  return true;
}

std::optional<size_t> FrameReassembler::Cut(
    std::string_view data, const std::function<void(std::string_view)>& onPayload) {
  size_t at = 0;
  while (data.size() - at >= 4) {
    const uint32_t total = U32At(data.substr(at));
    if (total < kMinFrameLength || total > kMaxFrameLength) {
      Reset();
      failed_ = true;
      return std::nullopt;
    }
    if (data.size() - at < total) break;
    onPayload(data.substr(at + 4, total - 4));
    at += total;
  }
  return at;
}

void FrameReassembler::Reset() {
  buffer_.clear();
  buffer_.shrink_to_fit();
  start_ = 0;
  failed_ = false;
}

}  // namespace plotrak::polchat
