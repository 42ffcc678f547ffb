#include "web/request_guard.h"

#include <algorithm>
#include <vector>

namespace plotrak {
namespace {

bool IsTokenChar(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return IsTokenChar(static_cast<unsigned char>(c));
  });
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Escapes must be well formed; in the path they must not stand for a character that could
// change which resource is meant.
bool CheckEscapes(std::string_view text, bool path) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (i + 2 >= text.size()) return false;
    const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return false;
    const int value = high * 16 + low;
    if (value < 0x20 || value == 0x7F) return false;
    if (path && (value == '.' || value == '/' || value == '\\' || value == '%')) return false;
    i += 2;
  }
  return true;
}

bool ValidHost(std::string_view host) {
  if (host.empty() || host.size() > 255) return false;
  return std::all_of(host.begin(), host.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
           c == '-' || c == ':' || c == '[' || c == ']';
  });
}

// The end of a head: an empty line (CR LF or a bare LF, as the HTTP server accepts both).
// Returns the index just past it, or npos.
size_t HeadEnd(const std::string& bytes) {
  for (size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1)) {
    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') return i + 2;
    if (i + 2 < bytes.size() && bytes[i + 1] == '\r' && bytes[i + 2] == '\n') return i + 3;
  }
  return std::string::npos;
}

}  // namespace

bool RequestGuard::Reject(int status) {
  status_ = status;
  final_ = Verdict::kReject;
  pending_.clear();
  return false;
}

bool RequestGuard::CheckTarget(std::string_view target) {
  if (target.empty() || target.front() != '/') return false;
  for (char c : target) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || c == '\\' || c == '#') return false;
  }
  const size_t mark = target.find('?');
  const std::string_view path = target.substr(0, mark);
  const std::string_view query = mark == std::string_view::npos ? "" : target.substr(mark + 1);
  if (!CheckEscapes(path, true) || !CheckEscapes(query, false)) return false;
  // Segments between slashes: no "." or "..", no empty one except after the last slash.
  size_t start = 1;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string_view::npos) slash = path.size();
    const std::string_view segment = path.substr(start, slash - start);
    if (segment == "." || segment == "..") return false;
    if (segment.empty() && slash != path.size()) return false;
    start = slash + 1;
  }
  head_.target = std::string(target);
  head_.path = std::string(path);
  head_.query = std::string(query);
  return true;
}

bool RequestGuard::CheckHead(std::string_view head) {
  head_ = RequestHead{};
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < head.size()) {
    size_t end = head.find('\n', start);
    if (end == std::string_view::npos) end = head.size();
    std::string_view line = head.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\r') != std::string_view::npos || line.find('\0') != std::string_view::npos)
      return Reject(400);
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  if (lines.empty()) return Reject(400);

  const std::string_view request = lines.front();
  const size_t space1 = request.find(' ');
  const size_t space2 = space1 == std::string_view::npos ? space1 : request.find(' ', space1 + 1);
  if (space2 == std::string_view::npos || request.find(' ', space2 + 1) != std::string_view::npos)
    return Reject(400);
  const std::string_view method = request.substr(0, space1);
  const std::string_view target = request.substr(space1 + 1, space2 - space1 - 1);
  const std::string_view version = request.substr(space2 + 1);
  if (!IsToken(method)) return Reject(400);
  if (version != "HTTP/1.1" && version != "HTTP/1.0")
    return Reject(version.substr(0, 5) == "HTTP/" ? 505 : 400);
  if (method != "GET") return Reject(405);
  if (target.size() > kMaxTarget) return Reject(414);
  if (!CheckTarget(target)) return Reject(400);

  if (lines.size() - 1 > kMaxHeaders) return Reject(431);
  int hosts = 0, origins = 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.front() == ' ' || line.front() == '\t') return Reject(400);  // folded lines
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || !IsToken(line.substr(0, colon))) return Reject(400);
    const std::string name = Lower(line.substr(0, colon));
    const std::string_view value = Trim(line.substr(colon + 1));
    for (char c : value) {
      const auto byte = static_cast<unsigned char>(c);
      if ((byte < 0x20 && c != '\t') || byte == 0x7F) return Reject(400);
    }
    if (name == "host") {
      if (++hosts > 1 || !ValidHost(value)) return Reject(400);
      head_.host = std::string(value);
    } else if (name == "origin") {
      if (++origins > 1) return Reject(400);
      head_.origin = std::string(value);
    } else if (name == "content-length") {
      if (value != "0") return Reject(value.find_first_not_of("0123456789") == 0 ? 400 : 413);
    } else if (name == "transfer-encoding") {
      return Reject(501);
    } else if (name == "upgrade") {
      if (Lower(value) != "websocket") return Reject(400);
      head_.upgrade = true;
    }
  }
  if (hosts == 0 && version == "HTTP/1.1") return Reject(400);
  if (head_.upgrade && head_.path != "/ws") return Reject(404);
  ++requests_;
  return true;
}

RequestGuard::Verdict RequestGuard::Feed(std::string_view bytes) {
  if (final_ == Verdict::kUpgrade || final_ == Verdict::kReject) return final_;
  bool passed = false;
  // Look at no more than one head's worth of bytes at a time.
  while (!bytes.empty() || HeadEnd(pending_) != std::string::npos) {
    const size_t room = kMaxHead + 1 - std::min(pending_.size(), kMaxHead + 1);
    const size_t take = std::min(room, bytes.size());
    pending_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    // Empty lines before a request line are allowed and dropped.
    const size_t first = pending_.find_first_not_of("\r\n");
    pending_.erase(0, first == std::string::npos ? pending_.size() : first);
    const size_t end = HeadEnd(pending_);
    if (end == std::string::npos) {
      if (pending_.size() > kMaxHead) {
        Reject(431);
        return final_;
      }
      if (bytes.empty()) break;
      continue;
    }
    const std::string head = pending_.substr(0, end);
    pending_.erase(0, end);
    if (!CheckHead(head)) return final_;
    passed = true;
    if (head_.upgrade) {
      final_ = Verdict::kUpgrade;
      pending_.clear();
      return final_;
    }
  }
  return passed ? Verdict::kPass : Verdict::kMore;
}

const char* StatusReason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 413:
      return "Content Too Large";
    case 414:
      return "URI Too Long";
    case 429:
      return "Too Many Requests";
    case 431:
      return "Request Header Fields Too Large";
    case 501:
      return "Not Implemented";
    case 503:
      return "Service Unavailable";
    case 505:
      return "HTTP Version Not Supported";
    default:
      return "Error";
  }
}

}  // namespace plotrak
