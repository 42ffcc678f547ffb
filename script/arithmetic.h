// Arithmetic in words: "ile to 2 razy 3" -> "6". The answer scripts ask it whether a
// message holds a calculation and what its result is.
//
// Numbers are written with a decimal comma both ways ("2,5"), whatever the process locale.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace plotrak {

// What happened during one evaluation; cleared by every ComputeArithmetic.
struct ArithmeticFlags {
  bool approximate = false;  // some rounded value differs from the exact one
  bool tooLarge = false;     // some operand was greater than 10^13 (and was taken as 0)
  bool changed = false;      // the evaluation changed the expression text
  bool error = false;        // the evaluation failed
};

// A failed evaluation: bad number, division by zero, undefined power, overflow, a result
// too large to round, an unclosed bracket.
class ArithmeticError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The tagged result of a text:
//   ""                 no arithmetic in it (or nothing changed, or it failed without an
//                      operator standing between two digits 1..9)
//   "$"                the computation failed
//   "##"               an operand was too large
//   "#" + number       the rounded result differs from the exact one
//   number             the exact result
// `flags` receives the evaluation flags of this call.
std::string ComputeArithmetic(std::string_view text, ArithmeticFlags& flags);
std::string ComputeArithmetic(std::string_view text);

// The tagged result of what a person said, as the answer scripts ask for it: the same as
// ComputeArithmetic after a token that mixes digits with letters ("1E-400", "mp3") is
// dropped as no number and, with `numberWords`, number words ("dwadzieścia pięć") are read
// as digits.
std::string ArithmeticOfMessage(std::string_view text, bool numberWords);

// The symbolic expression of a text: number words and brackets become "^*:+-(),",
// digits are kept, everything else is dropped; translation stops at "=".
std::string TranslateWords(std::string_view text);

// Carries out every operation of a symbolic expression and returns what is left (normally
// one number). Sets the approximate and too-large flags; throws ArithmeticError on failure.
// Iterative: any nesting depth and length is handled in time near linear in the text.
std::string EvaluateExpression(std::string_view expression, ArithmeticFlags& flags);

}  // namespace plotrak
