#include "gadugadu/gg_wire.h"

#include <algorithm>
#include <cstring>

namespace plotrak::gg {

uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

Header DecodeHeader(const uint8_t bytes[kHeaderSize]) {
  return {LoadU32(bytes), LoadU32(bytes + 4)};
}

size_t MemorySource::Read(uint8_t* out, size_t n) {
  n = std::min(n, left());
  if (n) std::memcpy(out, bytes_.data() + pos_, n);
  pos_ += n;
  return n;
}

bool BodyReader::Fill() {
  if (pos_ < end_) return true;
  if (left_ == consumed_ || failed_) return false;
  const size_t want = std::min<size_t>(sizeof buffer_, left_ - consumed_);
  const size_t got = source_.Read(buffer_, want);
  if (got == 0) {
    // the source ended inside the body: nothing more will come
    failed_ = true;
    left_ = consumed_;
    return false;
  }
  pos_ = 0;
  end_ = got;
  consumed_ += static_cast<uint32_t>(got);
  return true;
}

uint8_t BodyReader::U8() {
  if (!Fill()) {
    failed_ = true;
    return 0;
  }
  return buffer_[pos_++];
}

uint16_t BodyReader::U16() {
  const uint16_t lo = U8();
  return static_cast<uint16_t>(lo | U8() << 8);
}

uint32_t BodyReader::U32() {
  const uint32_t lo = U16();
  return lo | static_cast<uint32_t>(U16()) << 16;
}

void BodyReader::Bytes(std::string& out, uint32_t n, size_t keep) {
  while (n > 0 && Fill()) {
    const size_t take = std::min<size_t>(n, buffered());
    if (out.size() < keep) {
      const size_t room = std::min(take, keep - out.size());
      out.append(reinterpret_cast<const char*>(buffer_ + pos_), room);
    }
    pos_ += take;
    n -= static_cast<uint32_t>(take);
  }
  if (n > 0) failed_ = true;
}

void BodyReader::Skip(uint32_t n) {
  std::string none;
  Bytes(none, n, 0);
}

uint32_t BodyReader::CString(std::string& out, size_t keep) {
  uint32_t count = 0;
  while (Fill()) {
    const uint8_t* start = buffer_ + pos_;
    const uint8_t* zero = static_cast<const uint8_t*>(std::memchr(start, 0, buffered()));
    const size_t take = zero ? static_cast<size_t>(zero - start) : buffered();
    if (out.size() < keep)
      out.append(reinterpret_cast<const char*>(start), std::min(take, keep - out.size()));
    pos_ += take;
    count += static_cast<uint32_t>(take);
    if (zero) {
      ++pos_;
      return count + 1;
    }
  }
  return count;
}

PacketWriter::PacketWriter(uint32_t type) {
  bytes_.resize(kHeaderSize);
  for (int i = 0; i < 4; ++i) bytes_[i] = static_cast<char>(type >> (8 * i));
}

void PacketWriter::U16(uint16_t v) {
  U8(static_cast<uint8_t>(v));
  U8(static_cast<uint8_t>(v >> 8));
}

void PacketWriter::U32(uint32_t v) {
  U16(static_cast<uint16_t>(v));
  U16(static_cast<uint16_t>(v >> 16));
}

std::string PacketWriter::Finish() {
  const uint32_t length = static_cast<uint32_t>(bytes_.size() - kHeaderSize);
  for (int i = 0; i < 4; ++i) bytes_[4 + i] = static_cast<char>(length >> (8 * i));
  return bytes_;
}

}  // namespace plotrak::gg
