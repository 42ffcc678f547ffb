// Little-endian framing of the messenger's packets: the 8-byte header, a packet writer, and
// a bounded reader of one packet body from any byte source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plotrak::gg {

inline constexpr size_t kHeaderSize = 8;

struct Header {
  uint32_t type = 0;
  uint32_t length = 0;  // body length in bytes
};

Header DecodeHeader(const uint8_t bytes[kHeaderSize]);

// Where a body's bytes come from (a socket, or memory in tests and the fuzzer).
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `n` bytes (n > 0) into `out`; returns how many, 0 at the end of the data or
  // on any failure. Never reads more than asked for.
  virtual size_t Read(uint8_t* out, size_t n) = 0;
};

// A source over bytes in memory; `bytes` must outlive it.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  size_t Read(uint8_t* out, size_t n) override;
  size_t left() const { return bytes_.size() - pos_; }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

// Reads one packet body of a declared length from a source, never past that length and never
// holding more than a small buffer: a body of gigabytes costs no memory. Reads past the body
// (or past what the source gives) yield zero bytes and set failed().
class BodyReader {
 public:
  BodyReader(ByteSource& source, uint32_t length) : source_(source), left_(length) {}

  // Body bytes handed out so far.
  uint32_t consumed() const { return consumed_ - static_cast<uint32_t>(buffered()); }
  uint32_t remaining() const { return left_ - consumed_ + buffered(); }
  bool failed() const { return failed_; }

  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  // `n` bytes into `out` as far as the body has them; kept up to `keep` bytes, the rest dropped.
  void Bytes(std::string& out, uint32_t n, size_t keep);
  void Skip(uint32_t n);
  // Bytes up to a 0 byte (consumed, not stored) or the end of the body; at most `keep` kept.
  // Returns the number of bytes consumed, the 0 byte included.
  uint32_t CString(std::string& out, size_t keep);
  // Whatever is left of the body is read and dropped.
  void Drain() { Skip(remaining()); }

 private:
  size_t buffered() const { return end_ - pos_; }
  bool Fill();

  ByteSource& source_;
  uint32_t left_;          // body bytes not yet taken from the source
  uint32_t consumed_ = 0;  // body bytes taken from the source (some may still be buffered)
  bool failed_ = false;
  uint8_t buffer_[4096];
  size_t pos_ = 0, end_ = 0;
};

// Builds a packet: the header is filled in by Finish().
class PacketWriter {
 public:
  explicit PacketWriter(uint32_t type);
  void U8(uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
  void U16(uint16_t v);
  void U32(uint32_t v);
  void Bytes(std::string_view v) { bytes_.append(v); }
  // The packet with its header; the length is everything written after the header.
  std::string Finish();

 private:
  std::string bytes_;
};

uint32_t LoadU32(const uint8_t* p);

}  // namespace plotrak::gg
