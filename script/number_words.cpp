// DropMixedTokens and NumberWordsToDigits: the message as the calculator should read it.
#include "script/number_words.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "engine/normalize.h"

namespace plotrak {

namespace {

bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetterLike(char c) {
  return IsAsciiLetter(c) || static_cast<unsigned char>(c) >= 0x80;
}
bool IsTokenChar(char c) {
  return IsLetterLike(c) || IsDigit(c) || c == '.' || c == ',' || c == '+' || c == '-';
}

// Words the calculator reads as operators, which may stand glued to digits ("2x3").
bool IsOperatorWord(std::string_view upper) {
  for (std::string_view w :
       {"X", "RAZY", "NA", "PLUS", "MINUS", "DODAC", "ODJAC", "PRZEZ", "PODZIELIC", "DO", "I"}) {
    if (upper == w) return true;
  }
  return false;
}

// Whether a token that holds digits may stay: all its letter runs are operator words.
bool OnlyOperatorLetters(std::string_view token) {
  for (size_t i = 0; i < token.size();) {
    if (!IsLetterLike(token[i])) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < token.size() && IsLetterLike(token[j])) ++j;
    if (!IsOperatorWord(UpperAscii(token.substr(i, j - i)))) return false;
    i = j;
  }
  return true;
}

// Units and teens, tens, hundreds, and the multipliers.
enum class Rank { kUnit = 1, kTen = 2, kHundred = 3, kMultiplier = 4 };

struct NumberWord {
  std::string_view word;  // upper case, Polish letters folded
  int64_t value;
  Rank rank;
};

constexpr NumberWord kNumberWords[] = {
    {"ZERO", 0, Rank::kUnit},
    {"JEDEN", 1, Rank::kUnit},
    {"JEDNA", 1, Rank::kUnit},
    {"JEDNO", 1, Rank::kUnit},
    {"DWA", 2, Rank::kUnit},
    {"DWIE", 2, Rank::kUnit},
    {"DWOCH", 2, Rank::kUnit},
    {"TRZY", 3, Rank::kUnit},
    {"TRZECH", 3, Rank::kUnit},
    {"CZTERY", 4, Rank::kUnit},
    {"CZTERECH", 4, Rank::kUnit},
    {"PIEC", 5, Rank::kUnit},
    {"PIECIU", 5, Rank::kUnit},
    {"SZESC", 6, Rank::kUnit},
    {"SZESCIU", 6, Rank::kUnit},
    {"SIEDEM", 7, Rank::kUnit},
    {"SIEDMIU", 7, Rank::kUnit},
    {"OSIEM", 8, Rank::kUnit},
    {"OSMIU", 8, Rank::kUnit},
    {"DZIEWIEC", 9, Rank::kUnit},
    {"DZIEWIECIU", 9, Rank::kUnit},
    {"DZIESIEC", 10, Rank::kUnit},
    {"DZIESIECIU", 10, Rank::kUnit},
    {"JEDENASCIE", 11, Rank::kUnit},
    {"DWANASCIE", 12, Rank::kUnit},
    {"TRZYNASCIE", 13, Rank::kUnit},
    {"CZTERNASCIE", 14, Rank::kUnit},
    {"PIETNASCIE", 15, Rank::kUnit},
    {"SZESNASCIE", 16, Rank::kUnit},
    {"SIEDEMNASCIE", 17, Rank::kUnit},
    {"OSIEMNASCIE", 18, Rank::kUnit},
    {"DZIEWIETNASCIE", 19, Rank::kUnit},
    {"DWADZIESCIA", 20, Rank::kTen},
    {"TRZYDZIESCI", 30, Rank::kTen},
    {"CZTERDZIESCI", 40, Rank::kTen},
    {"PIECDZIESIAT", 50, Rank::kTen},
    {"PIEDZIESIAT", 50, Rank::kTen},  // as it is said and often typed
    {"SZESCDZIESIAT", 60, Rank::kTen},
    {"SZEDZIESIAT", 60, Rank::kTen},
    {"SIEDEMDZIESIAT", 70, Rank::kTen},
    {"OSIEMDZIESIAT", 80, Rank::kTen},
    {"DZIEWIECDZIESIAT", 90, Rank::kTen},
    {"STO", 100, Rank::kHundred},
    {"DWIESCIE", 200, Rank::kHundred},
    {"TRZYSTA", 300, Rank::kHundred},
    {"CZTERYSTA", 400, Rank::kHundred},
    {"PIECSET", 500, Rank::kHundred},
    {"SZESCSET", 600, Rank::kHundred},
    {"SIEDEMSET", 700, Rank::kHundred},
    {"OSIEMSET", 800, Rank::kHundred},
    {"DZIEWIECSET", 900, Rank::kHundred},
    {"TYSIAC", 1000, Rank::kMultiplier},
    {"TYSIACE", 1000, Rank::kMultiplier},
    {"TYSIECY", 1000, Rank::kMultiplier},
    {"MILION", 1000000, Rank::kMultiplier},
    {"MILIONY", 1000000, Rank::kMultiplier},
    {"MILIONOW", 1000000, Rank::kMultiplier},
    {"MILIARD", 1000000000, Rank::kMultiplier},
    {"MILIARDY", 1000000000, Rank::kMultiplier},
    {"MILIARDOW", 1000000000, Rank::kMultiplier},
};

// The exponent words: "do kwadratu", "do sześcianu" after "do", and "do potęgi drugiej" ...
// after "potęgi"; elsewhere they keep their own sense ("pole kwadratu", "druga klasa").
struct ExponentWord {
  std::string_view before, word;
  int value;
};
constexpr ExponentWord kExponentWords[] = {
    {"DO", "KWADRATU", 2},       {"DO", "SZESCIANU", 3},       {"POTEGI", "DRUGIEJ", 2},
    {"POTEGI", "TRZECIEJ", 3},   {"POTEGI", "CZWARTEJ", 4},    {"POTEGI", "PIATEJ", 5},
    {"POTEGI", "SZOSTEJ", 6},    {"POTEGI", "SIODMEJ", 7},     {"POTEGI", "OSMEJ", 8},
    {"POTEGI", "DZIEWIATEJ", 9}, {"POTEGI", "DZIESIATEJ", 10},
};

std::optional<int> FindExponentWord(std::string_view before, std::string_view word) {
  for (const ExponentWord& w : kExponentWords) {
    if (w.before == before && w.word == word) return w.value;
  }
  return std::nullopt;
}

std::optional<NumberWord> FindNumberWord(std::string_view word) {
  for (const NumberWord& w : kNumberWords) {
    if (w.word == word) return w;
  }
  return std::nullopt;
}

// One number read from its words, biggest part first: "dwa tysiące trzysta pięć".
class NumberReader {
 public:
  // Whether the word continues this number (a smaller rank than the word before within a
  // group, a smaller multiplier than the one before; "zero" stands alone).
  bool Accepts(const NumberWord& w) const {
    if (isZero_) return false;
    if (w.value == 0) return false;
    if (w.rank == Rank::kMultiplier) return lastMultiplier_ == 0 || w.value < lastMultiplier_;
    return groupRank_ == 0 || static_cast<int>(w.rank) < groupRank_;
  }
  void Add(const NumberWord& w) {
    if (w.rank == Rank::kMultiplier) {
      total_ += (group_ == 0 ? 1 : group_) * w.value;
      group_ = 0;
      groupRank_ = 0;
      lastMultiplier_ = w.value;
      return;
    }
    isZero_ = empty_ && w.value == 0;
    group_ += w.value;
    groupRank_ = static_cast<int>(w.rank);
    empty_ = false;
  }
  int64_t Value() const { return total_ + group_; }

 private:
  int64_t total_ = 0, group_ = 0, lastMultiplier_ = 0;
  int groupRank_ = 0;
  bool empty_ = true, isZero_ = false;
};

// The end of the letter run that starts at `i`.
size_t WordEnd(const std::string& s, size_t i) {
  while (i < s.size() && IsUpper(s[i])) ++i;
  return i;
}

}  // namespace

std::string DropMixedTokens(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (!IsTokenChar(text[i])) {
      out += text[i++];
      continue;
    }
    size_t j = i;
    bool digit = false, letter = false;
    for (; j < text.size() && IsTokenChar(text[j]); ++j) {
      digit |= IsDigit(text[j]);
      letter |= IsLetterLike(text[j]);
    }
    const std::string_view token = text.substr(i, j - i);
    if (digit && letter && !OnlyOperatorLetters(token)) {
      out += ' ';
    } else {
      out += token;
    }
    i = j;
  }
  return out;
}

std::string NumberWordsToDigits(std::string_view text) {
  const std::string s = NormalizeText(text, NormalizeMode::kKeepAll);
  std::string out;
  out.reserve(s.size());
  std::string_view previous;  // the word before, for the exponent words
  for (size_t i = 0; i < s.size();) {
    if (!IsUpper(s[i])) {
      out += s[i++];
      continue;
    }
    size_t end = WordEnd(s, i);
    const std::string_view word = std::string_view(s).substr(i, end - i);
    const std::string_view before = std::exchange(previous, word);
    if (const auto exponent = FindExponentWord(before, word)) {
      out += std::to_string(*exponent);
      i = end;
      continue;
    }
    const auto first = FindNumberWord(word);
    if (!first) {
      out.append(word);
      i = end;
      continue;
    }
    NumberReader number;
    number.Add(*first);
    // Further number words separated by spaces only belong to the same number.
    for (;;) {
      size_t next = end;
      while (next < s.size() && s[next] == ' ') ++next;
      if (next == end || next >= s.size() || !IsUpper(s[next])) break;
      const size_t nextEnd = WordEnd(s, next);
      const auto w = FindNumberWord(std::string_view(s).substr(next, nextEnd - next));
      if (!w || !number.Accepts(*w)) break;
      number.Add(*w);
      end = nextEnd;
    }
    out += std::to_string(number.Value());
    i = end;
  }
  return out;
}

}  // namespace plotrak
