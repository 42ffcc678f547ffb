// Any text evaluates quickly to a well-formed tagged result.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/arithmetic_oracle.h"
#include "script/arithmetic.h"

namespace {

bool IsNumber(std::string_view text) {
  if (!text.empty() && text[0] == '-') text.remove_prefix(1);
  if (text.empty()) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || c == ',' || c == 'E' || c == '-')) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string expression = plotrak::TranslateWords(text);
  for (char c : expression) {
    if (std::string_view("0123456789,()^*:+-").find(c) == std::string_view::npos) std::abort();
  }
  plotrak::ArithmeticFlags flags;
  const std::string result = plotrak::ComputeArithmetic(text, flags);
  // Short expressions: the same tagged result as the step-by-step evaluator.
  if (expression.size() <= 300) {
    try {
      if (plotrak::oracle::Compute(text) != result) std::abort();
    } catch (const plotrak::oracle::TooSlow&) {
    }
  }
  if (result.empty() || result == "$" || result == "##") return 0;
  // A value that no operation produced may be any operand text: "(1,2,3)" gives "1,2,3" and
  // a stray ")" stays where it was; only the flags are checked then.
  if (result[0] == '#') {
    if (!flags.approximate || flags.tooLarge || flags.error) std::abort();
  } else {
    if (flags.approximate || flags.tooLarge || flags.error || !flags.changed) std::abort();
  }
  // An exact result of a plain operation is a number that reads back as itself.
  if (result[0] != '#' && IsNumber(result) &&
      plotrak::ComputeArithmetic("(" + result + ")") != result) {
    std::abort();
  }
  return 0;
}
