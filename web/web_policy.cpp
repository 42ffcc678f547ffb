#include "web/web_policy.h"

#include <algorithm>
#include <cstdio>

namespace plotrak {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool HostChars(std::string_view host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '.' || c == '-' || c == '[' ||
           c == ']' || c == ':';
  });
}

// Splits "host[:port]" (IPv6 in brackets) and drops the scheme's default port.
std::string HostWithoutDefaultPort(std::string_view authority, std::string_view scheme) {
  std::string_view host = authority, port;
  const size_t bracket = authority.rfind(']');
  const size_t colon = authority.rfind(':');
  if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
    host = authority.substr(0, colon);
    port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != port.npos)
      return {};
    while (port.size() > 1 && port.front() == '0') port.remove_prefix(1);
    if (std::stoi(std::string(port)) > 65535) return {};
  }
  if (!HostChars(host)) return {};
  if (host.front() == '[' ? host.back() != ']' : host.find_first_of("[]:") != host.npos) return {};
  if ((scheme == "http" && port == "80") || (scheme == "https" && port == "443")) port = {};
  return std::string(host) + (port.empty() ? "" : ":" + std::string(port));
}

}  // namespace

std::string NormalizeOrigin(std::string_view text) {
  if (text.size() > 300) return {};
  std::string lower = Lower(text);
  std::string_view rest = lower;
  if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
  std::string_view scheme;
  if (rest.substr(0, 7) == "http://") {
    scheme = "http";
    rest.remove_prefix(7);
  } else if (rest.substr(0, 8) == "https://") {
    scheme = "https";
    rest.remove_prefix(8);
  } else {
    return {};
  }
  const std::string host = HostWithoutDefaultPort(rest, scheme);
  if (host.empty()) return {};
  return std::string(scheme) + "://" + host;
}

std::vector<std::string> ParseAllowedSites(std::string_view text) {
  std::vector<std::string> sites;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(" \t", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string origin = NormalizeOrigin(text.substr(start, end - start));
    if (!origin.empty() && std::find(sites.begin(), sites.end(), origin) == sites.end())
      sites.push_back(origin);
    start = end + 1;
  }
  return sites;
}

bool OriginAllowed(std::string_view origin, std::string_view host,
                   const std::vector<std::string>& allowed) {
  const std::string normal = NormalizeOrigin(origin);
  if (normal.empty()) return false;
  if (!host.empty() && (normal == NormalizeOrigin("http://" + std::string(host)) ||
                        normal == NormalizeOrigin("https://" + std::string(host))))
    return true;
  return std::find(allowed.begin(), allowed.end(), normal) != allowed.end();
}

bool ValidConversationId(std::string_view id) {
  if (id.size() < 8 || id.size() > 64) return false;
  return std::all_of(id.begin(), id.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
           c == '_';
  });
}

std::string QueryValue(std::string_view query, std::string_view name) {
  size_t start = 0;
  while (start <= query.size()) {
    size_t end = query.find('&', start);
    if (end == std::string_view::npos) end = query.size();
    const std::string_view pair = query.substr(start, end - start);
    const size_t equals = pair.find('=');
    if (equals != std::string_view::npos && pair.substr(0, equals) == name)
      return std::string(pair.substr(equals + 1));
    start = end + 1;
  }
  return {};
}

size_t CountCodePoints(std::string_view utf8) {
  size_t count = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  char buffer[8];
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      if (c == '"' || c == '\\') {
        out += '\\';
        out += static_cast<char>(c);
      } else if (c < 0x20 || c == '<' || c == '>' || c == '&' || c == 0x7F) {
        std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
        out += buffer;
      } else {
        out += static_cast<char>(c);
      }
      continue;
    }
    // A whole, well-formed sequence is copied; anything else becomes U+FFFD.
    size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    bool ok = length > 0 && i + length <= utf8.size();
    for (size_t k = 1; ok && k < length; ++k)
      ok = (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
    if (ok && length == 3) {
      const auto next = static_cast<unsigned char>(utf8[i + 1]);
      ok = !(c == 0xE0 && next < 0xA0) && !(c == 0xED && next >= 0xA0);
    }
    if (ok && length == 4) {
      const auto next = static_cast<unsigned char>(utf8[i + 1]);
      ok = !(c == 0xF0 && next < 0x90) && !(c == 0xF4 && next >= 0x90);
    }
    if (ok) {
      out.append(utf8.substr(i, length));
      i += length - 1;
    } else {
      out += "\\ufffd";
    }
  }
  return out + "\"";
}

std::string AnswerFrame(std::string_view answerUtf8, int letterMs) {
  return "{\"type\":\"answer\",\"text\":" + JsonString(answerUtf8) +
         ",\"letterMs\":" + std::to_string(letterMs) + "}";
}

std::string NoticeFrame(std::string_view code) {
  return "{\"type\":\"notice\",\"code\":" + JsonString(code) + "}";
}

}  // namespace plotrak
