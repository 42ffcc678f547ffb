#include "script/arithmetic_number.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace plotrak {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<long double> ReadDecimalComma(std::string_view text) {
  // Validate by hand and hand a "."-form to from_chars, which never looks at the locale.
  size_t i = 0;
  const size_t n = text.size();
  std::string plain;
  plain.reserve(n);
  if (i < n && text[i] == '-') plain += text[i++];
  size_t mantissaDigits = 0;
  long long significantIntegerDigits = 0;  // integer digits after the leading zeros
  long long leadingFractionZeros = 0;      // zeros after the comma before the first non-zero
  bool seenNonZero = false;
  while (i < n && IsDigit(text[i])) {
    if (text[i] != '0') seenNonZero = true;
    if (seenNonZero) ++significantIntegerDigits;
    plain += text[i++];
    ++mantissaDigits;
  }
  if (i < n && text[i] == ',') {
    plain += '.';
    ++i;
    while (i < n && IsDigit(text[i])) {
      if (text[i] != '0') seenNonZero = true;
      if (!seenNonZero) ++leadingFractionZeros;
      plain += text[i++];
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return std::nullopt;
  long long exponent = 0;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    plain += 'e';
    ++i;
    bool negativeExponent = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) {
      negativeExponent = text[i] == '-';
      plain += text[i++];
    }
    size_t exponentDigits = 0;
    while (i < n && IsDigit(text[i])) {
      if (exponent < 1000000000) exponent = exponent * 10 + (text[i] - '0');
      plain += text[i++];
      ++exponentDigits;
    }
    if (exponentDigits == 0) return std::nullopt;
    if (negativeExponent) exponent = -exponent;
  }
  if (i != n) return std::nullopt;
  if (!seenNonZero) return plain[0] == '-' ? -0.0L : 0.0L;

  long double value = 0;
  auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too small to hold reads as zero; too large is not a number we can use.
    long long magnitude =
        significantIntegerDigits > 0 ? significantIntegerDigits - 1 : -(leadingFractionZeros + 1);
    if (magnitude + exponent < 0) return plain[0] == '-' ? -0.0L : 0.0L;
    return std::nullopt;
  }
  if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::string FormatGeneral(double value) {
  if (value == 0 || !std::isfinite(value)) return "0";
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  std::string_view sci(buffer, result.ptr - buffer);  // "-d.dddddddddddddde+XX"
  bool negative = sci[0] == '-';
  if (negative) sci.remove_prefix(1);
  size_t ePos = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, ePos)) {
    if (c != '.') digits += c;
  }
  int exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  if (exponent > 14 || exponent < -4) {
    out += digits[0];
    if (digits.size() > 1) {
      out += ',';
      out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    out += std::to_string(exponent);
    return out;
  }
  if (exponent < 0) {
    out += "0,";
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out += digits;
    return out;
  }
  size_t integerDigits = static_cast<size_t>(exponent) + 1;
  if (digits.size() <= integerDigits) {
    out += digits;
    out.append(integerDigits - digits.size(), '0');
  } else {
    out.append(digits, 0, integerDigits);
    out += ',';
    out.append(digits, integerDigits, std::string::npos);
  }
  return out;
}

}  // namespace plotrak
