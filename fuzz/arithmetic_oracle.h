// A slow, step-by-step evaluator of symbolic expressions for the arithmetic fuzzer.
//
// The evaluator in script/ keeps bracket levels on a stack and runs the operations of a
// level on a linked list; it only re-reads the expression text where that can change the
// outcome. This one does the naive thing at every step: split the whole text into items
// (evaluating brackets by recursion), carry out the one operation of highest precedence,
// join the items into a new text and start again. Both must give the same tagged result.
// Quadratic and recursive: use on short inputs only.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/arithmetic.h"
#include "script/arithmetic_number.h"

namespace plotrak::oracle {

// The operation cannot be carried out (the text has no value).
struct Failed {};
// A whole power too long to do by repeated multiplication here; skip the input.
struct TooSlow {};

inline long double Read(const std::string& text) {
  const std::optional<long double> value = ReadDecimalComma(text);
  if (!value) throw Failed{};
  return *value;
}

inline long double Power(long double a, long double b) {
  if (b == 0) return 1;
  if (a == 0 && b > 0) return 0;
  if (b == std::trunc(b)) {
    if (std::fabs(b) > 64) throw TooSlow{};
    long double p = 1;
    for (int i = 0; i < static_cast<int>(std::fabs(b)); ++i) {
      if (b > 0) {
        p *= a;
      } else {
        if (a == 0) throw Failed{};
        p /= a;
      }
    }
    return p;
  }
  if (a < 0) throw Failed{};
  return std::exp(b * std::log(a));
}

inline std::string Operate(const std::string& left, char op, const std::string& right,
                           ArithmeticFlags& flags) {
  long double a = Read(left), b = Read(right);
  if (a > 10000000000000.0L || b > 10000000000000.0L) {
    flags.tooLarge = true;
    a = b = 0;
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
      if (b == 0) throw Failed{};
      exact = a / b;
      break;
    case '+':
      exact = a + b;
      break;
    default:
      exact = a - b;
      break;
  }
  const double asDouble = static_cast<double>(exact);
  if (!std::isfinite(exact) || !std::isfinite(asDouble)) throw Failed{};
  const double scaled = std::nearbyint(asDouble / 0.0001);
  if (!(std::fabs(scaled) < 9223372036854775808.0)) throw Failed{};
  const double rounded = static_cast<double>(static_cast<int64_t>(scaled)) * 0.0001;
  const long double difference = exact - rounded;
  if (op == ':' ? std::fabs(difference) > 0.000000001L : difference != 0) {
    flags.approximate = true;
  }
  return FormatGeneral(rounded);
}

inline int Precedence(char op) {
  return op == '^' ? 3 : (op == '*' || op == ':') ? 2 : 1;
}

inline std::string Evaluate(const std::string& expression, ArithmeticFlags& flags) {
  std::string e;
  for (size_t i = 0; i < expression.size(); ++i) {
    const bool doubleMinus =
        expression[i] == '-' && i + 1 < expression.size() && expression[i + 1] == '-';
    e += doubleMinus ? '+' : expression[i];
    if (doubleMinus) ++i;
  }
  // Even items are operands, odd items operators.
  std::vector<std::string> items{""};
  auto addOperator = [&items](char op) {
    items.push_back(std::string(1, op));
    items.push_back("");
  };
  for (size_t i = 0; i < e.size(); ++i) {
    const char c = e[i];
    if (c == '(') {
      size_t close = i;
      for (int depth = 0; close < e.size(); ++close) {
        if (e[close] == '(') ++depth;
        if (e[close] == ')' && --depth == 0) break;
      }
      if (close == e.size()) throw Failed{};
      std::string value = Evaluate(e.substr(i + 1, close - i - 1), flags);
      // The bracket's value replaces the operand; a lone sign before it negates it.
      if (items.back() == "-") value = value.rfind('-', 0) == 0 ? value.substr(1) : "-" + value;
      items.back() = value;
      i = close;
    } else if (c == '^' || c == '*' || c == ':' || c == '+') {
      addOperator(c);
    } else if (c == '-') {
      const std::string& previousItem = items.size() > 1 ? items[items.size() - 2] : "";
      if (i == 0 || e[i - 1] == '+' ||
          ((previousItem == "*" || previousItem == "^") && items.back().empty())) {
        items.back() = "-";
      } else if (i + 1 < e.size() && e[i + 1] == '(') {
        addOperator('-');
      } else {
        addOperator('+');
        items.back() = "-";
      }
    } else {
      items.back() += c;
    }
  }
  size_t chosen = 0;
  for (size_t k = 1; k < items.size(); k += 2) {
    if (chosen == 0 || Precedence(items[k][0]) > Precedence(items[chosen][0])) chosen = k;
  }
  if (chosen != 0) {
    items[chosen - 1] = Operate(items[chosen - 1], items[chosen][0], items[chosen + 1], flags);
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(chosen),
                items.begin() + static_cast<std::ptrdiff_t>(chosen) + 2);
  }
  std::string joined;
  for (const std::string& item : items) joined += item;
  return chosen == 0 ? joined : Evaluate(joined, flags);
}

// The tagged result of a text, as ComputeArithmetic gives it.
inline std::string Compute(std::string_view text) {
  const std::string e = TranslateWords(text);
  if (e.empty()) return "";
  bool operatorBetweenDigits = false;
  for (size_t i = 1; i + 1 < e.size(); ++i) {
    operatorBetweenDigits |= std::string_view("*+-:^").find(e[i]) != std::string_view::npos &&
                             e[i - 1] >= '1' && e[i - 1] <= '9' && e[i + 1] >= '1' &&
                             e[i + 1] <= '9';
  }
  ArithmeticFlags flags;
  std::string value;
  try {
    value = Evaluate(e, flags);
  } catch (const Failed&) {
    return operatorBetweenDigits ? "$" : "";
  }
  if (value == e) return "";
  if (flags.tooLarge) return "##";
  return flags.approximate ? "#" + value : value;
}

}  // namespace plotrak::oracle
