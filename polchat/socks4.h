// The SOCKS 4 handshake (with the 4a form for host names), which Qt's proxy support lacks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plotrak::polchat {

// The CONNECT request for `host` (a dotted IPv4 address, or a name the proxy resolves).
std::string Socks4Request(const std::string& host, uint16_t port);
// The reply's eight bytes: true when the proxy granted the connection. Nothing while
// fewer than eight bytes are there.
std::optional<bool> Socks4Granted(std::string_view reply);
inline constexpr size_t kSocks4ReplySize = 8;

}  // namespace plotrak::polchat
