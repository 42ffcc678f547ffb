// Text normalisation for matching, learning and commands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plotrak {

enum class NormalizeMode { kKeepAll = 0, kLettersDigitsSpaces = 1, kLettersOnly = 2 };

// Folds Polish letters (Windows-1250 and code page 852) to ASCII, upper-cases a..z, then
// filters by mode.
std::string NormalizeText(std::string_view text, NormalizeMode mode);
inline std::string NormalizeText(std::string_view text, int mode) {
  return NormalizeText(text, static_cast<NormalizeMode>(mode));
}

// Upper case by the ASCII rule (a..z only); the first form appends to `out`.
void AppendUpperAscii(std::string& out, std::string_view text);
std::string UpperAscii(std::string_view text);
// Whether UpperAscii would change the text.
inline bool HasLowerAscii(std::string_view text) {
  // Without an early exit the loop is vectorised: every key tried is scanned this way.
  bool lower = false;
  for (char c : text) lower |= static_cast<unsigned char>(c - 'a') < 26;
  return lower;
}

// UpperAscii(a) == UpperAscii(b), without the copies: key conditions compare this way.
inline bool SameUpperAscii(std::string_view a, std::string_view b) {
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

inline bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// NormalizeText(text, kLettersOnly) hashed, and compared with `letters`, without building it.
uint64_t LettersHash(std::string_view text);
bool HasLetters(std::string_view text, std::string_view letters);

// True when no character is an ASCII letter (also for an empty text).
bool HasNoLetters(std::string_view text);

}  // namespace plotrak
