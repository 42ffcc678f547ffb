// The rules the web page applies to what a browser sends: which origins may talk to the bot,
// what a conversation identifier looks like, how long a message may be, and the frames the
// server writes back. Plain C++ (ASCII and UTF-8 in, UTF-8 out).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plotrak {

// Longest message a visitor may send, in characters (code points).
inline constexpr size_t kMaxWebMessage = 2000;

// An origin in its comparable form: lower-case "scheme://host" plus ":port" unless the port is
// the scheme's default (80 for http, 443 for https). Empty when `text` is not an http(s)
// origin (a path, user info, a query or "null" make it none). One trailing '/' is allowed so
// that a site copied from the address bar still counts.
std::string NormalizeOrigin(std::string_view text);

// "dozwolone strony": origins separated by spaces (or tabs). Entries that are not origins
// are skipped.
std::vector<std::string> ParseAllowedSites(std::string_view text);

// May a page of `origin` (the Origin header) talk to the bot? Yes when it is the page's own
// origin (http or https on the `host` the browser addressed) or one of `allowed`
// (normalized). A missing or malformed origin is refused.
bool OriginAllowed(std::string_view origin, std::string_view host,
                   const std::vector<std::string>& allowed);

// A conversation identifier as the page makes them: 8 to 64 characters of A-Z a-z 0-9 '-' '_'.
bool ValidConversationId(std::string_view id);

// The value of `name` in a query string ("a=1&id=x"), without decoding; empty when absent.
std::string QueryValue(std::string_view query, std::string_view name);

// Code points in a UTF-8 text (malformed bytes count one each).
size_t CountCodePoints(std::string_view utf8);

// Server frames (JSON objects, one per WebSocket text message). Texts are escaped so that no
// '<', '>' or '&' appears literally; the page shows them as text anyway.
std::string AnswerFrame(std::string_view answerUtf8, int letterMs);
// `code`: "rate" (too fast), "too-long", "empty".
std::string NoticeFrame(std::string_view code);

// A JSON string literal (quotes included) for valid or invalid UTF-8 (bad bytes become U+FFFD).
std::string JsonString(std::string_view utf8);

}  // namespace plotrak
