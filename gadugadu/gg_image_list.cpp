#include "gadugadu/gg_image_list.h"

#include <algorithm>

namespace plotrak::gg {

ImageList::Record* ImageList::Find(uint32_t size, uint32_t crc32) {
  for (Record& r : records_)
    if (r.size == size && r.crc32 == crc32) return &r;
  return nullptr;
}

std::optional<std::string> ImageList::Write(Record& record, std::string_view data) {
  if (record.done) return std::nullopt;
  // a piece that runs past the announced size cannot belong to this image
  if (data.size() > record.size - record.data.size()) {
    record.done = true;
    record.data.clear();
    record.data.shrink_to_fit();
    return std::nullopt;
  }
  record.data.append(data);
  if (record.data.size() != record.size) return std::nullopt;
  record.done = true;
  std::string image = std::move(record.data);
  record.data = {};
  return image;
}

std::optional<std::string> ImageList::FirstPiece(uint32_t size, uint32_t crc32,
                                                 std::string_view data) {
  if (Find(size, crc32)) return std::nullopt;
  if (records_.size() == kMaxImages) records_.pop_front();
  records_.push_back({size, crc32, {}, size > kMaxImageBytes});
  return Write(records_.back(), data);
}

std::optional<std::string> ImageList::FurtherPiece(uint32_t size, uint32_t crc32,
                                                   std::string_view data) {
  Record* record = Find(size, crc32);
  if (!record) return std::nullopt;
  return Write(*record, data);
}

size_t ImageList::bytesHeld() const {
  size_t total = 0;
  for (const Record& r : records_) total += r.data.capacity();
  return total;
}

}  // namespace plotrak::gg
