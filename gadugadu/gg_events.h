// What a received packet means to the client's owner: one event per packet, or none.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "gadugadu/gg_packets.h"

namespace plotrak::gg {

struct UserNotify {
  uint32_t userId = 0;
  UserStatus status = UserStatus::kNotAvailable;
  std::string description;  // only for the statuses with a description
  double returnTime = 0;    // days since 30 December 1899; 0 when none
  uint8_t maxImageSize = 0;
  uint32_t ip = 0;
};

struct MessageAck {
  uint32_t status = 0;  // the acknowledgement's first word
};

struct Message {
  uint32_t from = 0;
  std::string body;
  std::vector<FormatPair> format;  // empty for a message without attributes
};

struct ImageRequest {
  uint32_t size = 0, crc32 = 0, from = 0;
};

struct Image {
  uint32_t size = 0, crc32 = 0, from = 0;
  std::string body;  // exactly `size` bytes
};

struct Disconnecting {};

struct SearchReply {
  std::string text;  // 0 bytes shown as '%'
};

struct ContactsReply {
  std::string piece;
};

using Event = std::variant<std::monostate, UserNotify, MessageAck, Message, ImageRequest, Image,
                           Disconnecting, SearchReply, ContactsReply>;

// A return time in seconds as a day count: seconds / 86400 + 25569.04167.
double ReturnTimeToDays(uint32_t seconds);

}  // namespace plotrak::gg
