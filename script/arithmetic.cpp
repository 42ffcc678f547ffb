// ComputeArithmetic: translate, evaluate, and tag the result for the answer scripts.
#include "script/arithmetic.h"

#include "script/number_words.h"

namespace plotrak {

namespace {

bool IsOneToNine(char c) {
  return c >= '1' && c <= '9';
}

// Whether an operator stands between two digits 1..9 somewhere inside the expression: a
// failure is only worth reporting when the text really looked like a calculation.
bool HasOperatorBetweenDigits(const std::string& e) {
  for (size_t i = 1; i + 1 < e.size(); ++i) {
    const char c = e[i];
    if ((c == '*' || c == '+' || c == '-' || c == ':' || c == '^') && IsOneToNine(e[i - 1]) &&
        IsOneToNine(e[i + 1])) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string ComputeArithmetic(std::string_view text, ArithmeticFlags& flags) {
  flags = ArithmeticFlags{};
  const std::string e = TranslateWords(text);
  if (e.empty()) return "";
  const bool operatorBetweenDigits = HasOperatorBetweenDigits(e);
  std::string value;
  try {
    value = EvaluateExpression(e, flags);
    flags.changed = value != e;
  } catch (const ArithmeticError&) {
    flags.error = true;
  }
  if (flags.error) return operatorBetweenDigits ? "$" : "";
  if (!flags.changed) return "";
  if (flags.tooLarge) return "##";
  // A second evaluation would give the same text, so the first one is reused.
  if (flags.approximate) return "#" + value;
  return value;
}

std::string ComputeArithmetic(std::string_view text) {
  ArithmeticFlags flags;
  return ComputeArithmetic(text, flags);
}

std::string ArithmeticOfMessage(std::string_view text, bool numberWords) {
  const std::string kept = DropMixedTokens(text);
  return ComputeArithmetic(numberWords ? NumberWordsToDigits(kept) : kept);
}

}  // namespace plotrak
