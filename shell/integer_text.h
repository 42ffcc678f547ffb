// Integers written as text in "setup.ini" and the window's fields.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace plotrak {

// The text of a field that should hold a whole number but does not. Its message is
// "'<text>' is not a valid integer value"; the general error handler puts it into Polish.
class ConversionError : public std::runtime_error {
 public:
  explicit ConversionError(const std::string& text)
      : std::runtime_error("'" + text + "' is not a valid integer value") {}
};

// A 32-bit integer in the forms the settings have always accepted: optional leading spaces,
// an optional sign, then decimal digits, or hexadecimal digits after "$" or "0x". Nothing
// may follow. Empty when the text is not such a number or does not fit in 32 bits.
std::optional<int32_t> ParseInteger(std::string_view text);

// ParseInteger, throwing ConversionError for text that is not a number.
int32_t IntegerOrThrow(std::string_view text);

}  // namespace plotrak
