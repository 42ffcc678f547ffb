// EvaluateExpression: the expression is split into operand, operator, operand, ... and the
// operation of highest precedence (leftmost among equals) is carried out, the items joined
// and split again, until no operator is left. Brackets are evaluated while splitting.
//
// Done literally that is quadratic, and recursive in the bracket depth. Here each bracket
// level lives on an explicit stack, and after the first operation of a level (after which
// the joined text is split again once, literally) the remaining operations run on a linked
// list: splitting the joined text again would give back the same items, except that a
// negative value right after ":" turns into an empty operand (":-3" splits as ":", "",
// "+", "-3"), which makes that division fail when its turn comes.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/arithmetic.h"
#include "script/arithmetic_number.h"

namespace plotrak {

namespace {

constexpr long double kTooLarge = 10000000000000.0L;  // 10^13
constexpr int kLiteralPowerSteps = 64;                // longer whole powers are done by squaring

struct Operand {
  bool negative = false;  // the operand's text begins with "-"
  std::string body;       // the rest of its text

  bool Empty() const { return !negative && body.empty(); }
  void AppendTo(std::string& out) const {
    if (negative) out += '-';
    out += body;
  }
};

// Items of one split: operands[0] operators[0] operands[1] ... and the operand being read.
struct Items {
  std::vector<Operand> operands;
  std::string operators;
  Operand current;

  void AddOperator(char op) {
    operands.push_back(std::move(current));
    current = Operand{};
    operators += op;
  }
};

bool IsOperator(char c) {
  return c == '^' || c == '*' || c == ':' || c == '+';
}

std::string ReplaceDoubleMinus(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '-' && i + 1 < text.size() && text[i + 1] == '-') {
      out += '+';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// A "-" at index i of `text`, in a bracket level whose text begins at `start`.
void SplitMinus(Items& items, std::string_view text, size_t i, size_t start) {
  if (i == start) {
    items.current.negative = true;  // a negative first number
    return;
  }
  const char lastOperator = items.operators.empty() ? '\0' : items.operators.back();
  if ((lastOperator == '*' || lastOperator == '^') && items.current.Empty()) {
    items.current.negative = true;  // 2*-3, 2^-1
    return;
  }
  if (text[i - 1] == '+') {
    items.current.negative = true;  // a+-b
    return;
  }
  if (i + 1 < text.size() && text[i + 1] == '(') {
    items.AddOperator('-');
  } else {
    items.AddOperator('+');  // a-b is a + (-b)
    items.current.negative = true;
  }
}

// Splits a text without brackets.
Items SplitFlat(std::string_view text) {
  Items items;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsOperator(c)) {
      items.AddOperator(c);
    } else if (c == '-') {
      SplitMinus(items, text, i, 0);
    } else {
      items.current.body += c;
    }
  }
  items.operands.push_back(std::move(items.current));
  items.current = Operand{};
  return items;
}

long double ReadOperand(const Operand& operand) {
  std::optional<long double> value = ReadDecimalComma(operand.body);
  // The body never starts with "-": a sign lives in `negative` only.
  if (!value || operand.body.empty() || operand.body[0] == '-') {
    throw ArithmeticError("not a number");
  }
  return operand.negative ? -*value : *value;
}

long double WholePower(long double a, long double b) {
  const bool negativeExponent = b < 0;
  const long double n = std::fabs(b);
  if (n <= kLiteralPowerSteps) {
    long double p = 1;
    for (int i = 0; i < static_cast<int>(n); ++i) {
      if (negativeExponent) {
        if (a == 0) throw ArithmeticError("division by zero");
        p /= a;
      } else {
        p *= a;
      }
    }
    return p;
  }
  if (a == 0) {
    if (negativeExponent) throw ArithmeticError("division by zero");
    return 0;
  }
  if (std::fabs(a) == 1) {
    const bool odd = n < 18446744073709551616.0L && std::fmod(n, 2.0L) == 1;
    return (a < 0 && odd) ? -1 : 1;
  }
  if (n >= 18446744073709551616.0L) {
    // Only a huge negative exponent gets here: the repeated division ends at 0 or infinity.
    if (std::fabs(a) > 1) return 0;
    throw ArithmeticError("overflow");
  }
  uint64_t count = static_cast<uint64_t>(n);
  long double base = a, p = 1;
  while (count > 0) {
    if (count & 1) p *= base;
    count >>= 1;
    if (count > 0) base *= base;
  }
  if (negativeExponent) {
    if (p == 0) throw ArithmeticError("overflow");
    p = 1 / p;
  }
  return p;
}

long double Power(long double a, long double b) {
  if (b == 0) return 1;
  if (a == 0 && b > 0) return 0;
  if (b == std::trunc(b)) return WholePower(a, b);
  if (a < 0) throw ArithmeticError("undefined power");
  return std::exp(b * std::log(a));
}

Operand Operate(const Operand& left, char op, const Operand& right, ArithmeticFlags& flags) {
  long double a = ReadOperand(left);
  long double b = ReadOperand(right);
  if (a > kTooLarge || b > kTooLarge) {
    flags.tooLarge = true;
    a = 0;
    b = 0;
  }
  long double exact = 0;
  switch (op) {
    case '^':
      exact = Power(a, b);
      break;
    case '*':
      exact = a * b;
      break;
    case ':':
      if (b == 0) throw ArithmeticError("division by zero");
      exact = a / b;
      break;
    case '+':
      exact = a + b;
      break;
    case '-':
      exact = a - b;
      break;
  }
  if (!std::isfinite(exact)) throw ArithmeticError("overflow");

  // Four decimals, ties to even, through a 64-bit integer of ten-thousandths.
  const double asDouble = static_cast<double>(exact);
  if (!std::isfinite(asDouble)) throw ArithmeticError("overflow");
  const double scaled = std::nearbyint(asDouble / 0.0001);
  if (!(std::fabs(scaled) < 9223372036854775808.0)) throw ArithmeticError("too large to round");
  const double rounded = static_cast<double>(static_cast<int64_t>(scaled)) * 0.0001;

  const long double difference = exact - static_cast<long double>(rounded);
  if (op == ':' ? std::fabs(difference) > 0.000000001L : difference != 0) flags.approximate = true;

  Operand result;
  std::string text = FormatGeneral(rounded);
  if (!text.empty() && text[0] == '-') {
    result.negative = true;
    text.erase(0, 1);
  }
  result.body = std::move(text);
  return result;
}

int Precedence(char op) {
  switch (op) {
    case '^':
      return 3;
    case '*':
    case ':':
      return 2;
    default:
      return 1;
  }
}

// Runs every remaining operation of a split that will not be split again differently.
Operand EvaluateFlat(Items items, ArithmeticFlags& flags) {
  std::vector<Operand>& values = items.operands;
  const std::string& ops = items.operators;
  const size_t m = ops.size();
  constexpr size_t kNone = std::numeric_limits<size_t>::max();
  std::vector<size_t> previous(m + 1), next(m + 1);
  for (size_t i = 0; i <= m; ++i) {
    previous[i] = i == 0 ? kNone : i - 1;
    next[i] = i + 1;
  }
  for (int level = 3; level >= 1; --level) {
    for (size_t k = 0; k < m; ++k) {
      if (Precedence(ops[k]) != level) continue;
      const size_t right = k + 1;
      const size_t left = previous[right];
      values[left] = Operate(values[left], ops[k], values[right], flags);
      next[left] = next[right];
      if (next[right] <= m) previous[next[right]] = left;
      // Slot `left` is alive, so the operator before it (left - 1) has not run yet.
      if (left > 0 && ops[left - 1] == ':' && values[left].negative) {
        throw ArithmeticError("empty operand");
      }
    }
  }
  return std::move(values[0]);
}

// The value of one split made while reading brackets.
Operand EvaluateItems(Items items, ArithmeticFlags& flags) {
  items.operands.push_back(std::move(items.current));
  items.current = Operand{};
  if (items.operators.empty()) return std::move(items.operands[0]);

  // The first operation runs on the items as split.
  size_t chosen = 0;
  for (size_t k = 1; k < items.operators.size(); ++k) {
    if (Precedence(items.operators[k]) > Precedence(items.operators[chosen])) chosen = k;
  }
  items.operands[chosen] =
      Operate(items.operands[chosen], items.operators[chosen], items.operands[chosen + 1], flags);
  items.operands.erase(items.operands.begin() + static_cast<std::ptrdiff_t>(chosen) + 1);
  items.operators.erase(chosen, 1);
  if (items.operators.empty()) return std::move(items.operands[0]);

  // The joined text is read again from scratch.
  std::string joined;
  for (size_t k = 0; k < items.operands.size(); ++k) {
    items.operands[k].AppendTo(joined);
    if (k < items.operators.size()) joined += items.operators[k];
  }
  return EvaluateFlat(SplitFlat(ReplaceDoubleMinus(joined)), flags);
}

}  // namespace

std::string EvaluateExpression(std::string_view expression, ArithmeticFlags& flags) {
  const std::string text = ReplaceDoubleMinus(expression);
  struct Level {
    Items items;
    size_t start;  // index of the level's first character
  };
  std::vector<Level> levels;
  levels.push_back(Level{Items{}, 0});
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    Items& items = levels.back().items;
    if (c == '(') {
      levels.push_back(Level{Items{}, i + 1});
    } else if (c == ')' && levels.size() > 1) {
      Operand value = EvaluateItems(std::move(items), flags);
      levels.pop_back();
      Operand& current = levels.back().items.current;
      // The bracket's value takes the operand's place; a lone sign before it negates it.
      if (current.negative && current.body.empty()) value.negative = !value.negative;
      current = std::move(value);
    } else if (IsOperator(c)) {
      items.AddOperator(c);
    } else if (c == '-') {
      SplitMinus(items, text, i, levels.back().start);
    } else {
      items.current.body += c;
    }
  }
  if (levels.size() > 1) throw ArithmeticError("unclosed bracket");
  std::string result;
  EvaluateItems(std::move(levels.back().items), flags).AppendTo(result);
  return result;
}

}  // namespace plotrak
