#include "engine/normalize.h"

#include <array>

namespace plotrak {
namespace {

constexpr std::array<char, 256> MakeFoldTable() {
  std::array<char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<char>(i);
  auto set = [&t](std::initializer_list<int> bytes, char to) {
    for (int b : bytes) t[b] = static_cast<char>(to - 'a' + 'A');  // folded, then upper-cased
  };
  set({0x86, 0x8F, 0xC6, 0xE6}, 'c');
  set({0x88, 0x9D, 0xA3, 0xB3}, 'l');
  set({0x8C, 0x97, 0x98, 0x9C}, 's');
  set({0x8D, 0x9F, 0xAB, 0xAF, 0xBD, 0xBE, 0xBF}, 'z');
  set({0xA2, 0xD3, 0xE0, 0xF3, 0xF4}, 'o');
  set({0xA4, 0xA5, 0xB9}, 'a');
  set({0xA8, 0xA9, 0xCA, 0xEA}, 'e');
  set({0xD1, 0xE3, 0xE4, 0xF1}, 'n');
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<char>(c - 'a' + 'A');
  return t;
}

constexpr std::array<char, 256> kFold = MakeFoldTable();

}  // namespace

std::string NormalizeText(std::string_view text, NormalizeMode mode) {
  // Every character is written and the kept ones are counted, without a branch per
  // character: this runs several times for every text a person says.
  std::string out(text.size(), '\0');
  size_t n = 0;
  for (char ch : text) {
    const char c = kFold[static_cast<unsigned char>(ch)];
    const bool letter = c >= 'A' && c <= 'Z';
    const bool keep =
        mode == NormalizeMode::kKeepAll || letter ||
        (mode == NormalizeMode::kLettersDigitsSpaces && ((c >= '0' && c <= '9') || c == ' '));
    out[n] = c;
    n += keep;
  }
  out.resize(n);
  return out;
}

uint64_t LettersHash(std::string_view text) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (char ch : text) {
    const char c = kFold[static_cast<unsigned char>(ch)];
    if (c >= 'A' && c <= 'Z') h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  }
  return h;
}

bool HasLetters(std::string_view text, std::string_view letters) {
  size_t i = 0;
  for (char ch : text) {
    const char c = kFold[static_cast<unsigned char>(ch)];
    if (c < 'A' || c > 'Z') continue;
    if (i == letters.size() || letters[i] != c) return false;
    ++i;
  }
  return i == letters.size();
}

void AppendUpperAscii(std::string& out, std::string_view text) {
  const size_t at = out.size();
  out += text;
  for (size_t i = at; i < out.size(); ++i) {
    if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
  }
}

std::string UpperAscii(std::string_view text) {
  std::string out;
  AppendUpperAscii(out, text);
  return out;
}

bool HasNoLetters(std::string_view text) {
  for (char c : text) {
    if (IsAsciiLetter(c)) return false;
  }
  return true;
}

}  // namespace plotrak
