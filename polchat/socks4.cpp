#include "polchat/socks4.h"

#include <arpa/inet.h>

namespace plotrak::polchat {

std::string Socks4Request(const std::string& host, uint16_t port) {
  std::string request = {4, 1, static_cast<char>(port >> 8), static_cast<char>(port & 0xFF)};
  in_addr address{};
  if (inet_pton(AF_INET, host.c_str(), &address) == 1) {
    request.append(reinterpret_cast<const char*>(&address.s_addr), 4);
    request.push_back('\0');  // no user id
  } else {
    request.append(std::string("\0\0\0\1", 4));  // 0.0.0.1: the name follows (4a)
    request.push_back('\0');
    request.append(host);
    request.push_back('\0');
  }
  return request;
}

std::optional<bool> Socks4Granted(std::string_view reply) {
  if (reply.size() < kSocks4ReplySize) return std::nullopt;
  return reply[0] == 0 && static_cast<uint8_t>(reply[1]) == 0x5A;
}

}  // namespace plotrak::polchat
