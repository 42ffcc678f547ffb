#include "script/whole_number.h"

#include "script/conversion_error.h"

namespace plotrak {

std::optional<int32_t> TryParseWholeNumber(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  const int64_t limit = negative ? 2147483648LL : 2147483647LL;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

int32_t ParseWholeNumber(std::string_view text) {
  std::optional<int32_t> value = TryParseWholeNumber(text);
  if (!value) throw ConversionError(text);
  return *value;
}

}  // namespace plotrak
