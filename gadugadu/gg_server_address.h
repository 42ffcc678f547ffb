// The "serwer" setting of the messenger: "host" or "host:port" ("[v6 address]:port" too).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plotrak::gg {

inline constexpr int kDefaultPort = 8074;

struct ServerAddress {
  std::string host;
  int port = kDefaultPort;
};

// Empty when the text names no host or its port is not a number in 1..65535. Spaces
// around the text are ignored; a bare IPv6 address (more than one ":") is a host alone.
std::optional<ServerAddress> ParseServerAddress(std::string_view text);

}  // namespace plotrak::gg
