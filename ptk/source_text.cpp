#include "ptk/source_text.h"

#include <cstdio>

#include "engine/cp1250.h"

namespace plotrak::ptk {

namespace {

bool NeedsEscape(unsigned char c) {
  switch (c) {
    case 0x81:
    case 0x83:
    case 0x88:
    case 0x90:
    case 0x98:  // unassigned in the code page
    case 0xA0:
    case 0xAD:  // invisible on the page
    case 0x7F:
    case '\\':
      return true;
    default:
      return c < 0x20;
  }
}

std::string HexEscape(unsigned char c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\x%02X", c);
  return buf;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Length of the UTF-8 sequence that starts with `lead`, or 0 for a byte that cannot start
// one.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

// Converts to Windows-1250 one character at a time, so that a character without a
// Windows-1250 form is reported instead of silently becoming '?'.
std::string ToCp1250Checked(std::string_view utf8, int line) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = SequenceLength(static_cast<unsigned char>(utf8[i]));
    if (n == 0 || i + n > utf8.size()) throw SourceError(line, "malformed UTF-8");
    const std::string_view one = utf8.substr(i, n);
    const std::string converted = FromUtf8(one);
    if (converted.size() != 1 || ToUtf8(converted) != one) {
      throw SourceError(line,
                        "the character \"" + std::string(one) + "\" has no Windows-1250 form");
    }
    out += converted;
    i += n;
  }
  return out;
}

}  // namespace

std::string EscapeField(std::string_view cp1250) {
  std::string escaped;
  for (size_t i = 0; i < cp1250.size(); ++i) {
    const auto c = static_cast<unsigned char>(cp1250[i]);
    if (c == '\\') {
      escaped += "\\\\";
    } else if (NeedsEscape(c) || (c == ' ' && i + 1 == cp1250.size())) {
      escaped += HexEscape(c);
    } else {
      escaped += static_cast<char>(c);
    }
  }
  // Escapes are ASCII, so converting after escaping leaves them as they are.
  return ToUtf8(escaped);
}

std::string UnescapeField(std::string_view utf8, int line) {
  const std::string text = ToCp1250Checked(utf8, line);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '\\') {
      out += '\\';
      ++i;
    } else if (i + 3 < text.size() && text[i + 1] == 'x' && HexValue(text[i + 2]) >= 0 &&
               HexValue(text[i + 3]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
      i += 3;
    } else {
      throw SourceError(line, "bad escape: write a backslash as \\\\ and a byte as \\xHH");
    }
  }
  return out;
}

}  // namespace plotrak::ptk
