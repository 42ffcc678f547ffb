// The guessing game: the bot draws 1..30 and judges the person's guesses.
#include <cmath>

#include "script/script_call.h"
#include "script/whole_number.h"

namespace plotrak {

std::string DigitsOf(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

std::string GuessVerdict(InterlocutorRecord& record, const std::string& input) {
  const std::string digits = DigitsOf(input);
  if (digits.empty()) return "zle";
  const std::optional<int32_t> guess = TryParseWholeNumber(digits);
  if (!guess) return "zle";
  std::string verdict = *guess > record.guessNumber   ? "mniej"
                        : *guess < record.guessNumber ? "wiecej"
                                                      : "dobrze";
  ++record.guessTries;
  return verdict;
}

// The matcher expands a judged answer two or three times per message, so after the n-th
// guess the counter is 2n or 2n + 1.
int GuessNumberOfTry(int32_t tries) {
  return static_cast<int>(std::nearbyint((static_cast<double>(tries) - 0.9) / 2));
}

}  // namespace plotrak
