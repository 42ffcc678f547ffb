// TranslateWords: number words and bracket kinds to the symbols of the expression language.
#include <string>
#include <string_view>

#include "engine/normalize.h"
#include "script/arithmetic.h"

namespace plotrak {

namespace {

struct WordSymbol {
  std::string_view word;
  char symbol;
};

// Tried in this order at every position; the order decides which reading wins.
constexpr WordSymbol kWords[] = {
    {"RAZY", '*'},  {"PODZIELIC NA", ':'},
    {"NA", ':'},    {"PLUS", '+'},
    {"DODAC", '+'}, {":", ':'},
    {"/", ':'},     {"*", '*'},
    {"X", '*'},     {"MINUS", '-'},
    {"ODJAC", '-'}, {"-", '-'},
    {"(", '('},     {")", ')'},
    {"]", ')'},     {"[", '('},
    {"}", ')'},     {"{", '('},
    {"+", '+'},     {",", ','},
    {".", ','},     {"PRZEZ", ':'},
    {"I", '+'},     {"^", '^'},
    {"DO", '^'},    {"PODZIELIC PRZEZ", ':'},
};

bool IsUpperLetter(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string TranslateWords(std::string_view text) {
  const std::string upper = UpperAscii(text);
  std::string out;
  if (upper.empty()) return out;
  const size_t n = upper.size();
  size_t pos = 0;
  while (true) {
    for (const WordSymbol& entry : kWords) {
      const std::string_view word = entry.word;
      if (upper.compare(pos, word.size(), word) != 0) continue;
      if (word != "(" && pos > 0 && IsUpperLetter(upper[pos - 1])) continue;
      // The letter test after the word is skipped for the text's last character.
      const size_t after = pos + word.size();
      if (word != ")" && after + 1 < n && IsUpperLetter(upper[after])) continue;

      if (word == "(" && pos > 0 && IsDigit(upper[pos - 1])) out += '*';  // 2(3) is 2*(3)
      out += entry.symbol;
      if (word == ")" && pos + 1 < n && (upper[pos + 1] == '(' || IsDigit(upper[pos + 1]))) {
        out += '*';  // ")(" and ")3" multiply
      }
      pos += word.size() - 1;
    }
    if (IsDigit(upper[pos])) out += upper[pos];
    if (pos + 1 >= n || upper[pos] == '=') break;
    ++pos;
  }
  return out;
}

}  // namespace plotrak
