// Integers written as text in "setup.ini" and the window's fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "script/conversion_error.h"  // header only: the one conversion error of the program

namespace plotrak {

// A 32-bit integer in the forms the settings have always accepted: optional leading spaces,
// an optional sign, then decimal digits, or hexadecimal digits after "$" or "0x". Nothing
// may follow. Empty when the text is not such a number or does not fit in 32 bits.
std::optional<int32_t> ParseInteger(std::string_view text);

// A decimal integer only (optional leading spaces and sign, then digits), as the status
// index and the slider positions are stored; ConversionError for any other text, the
// hexadecimal forms included.
int32_t DecimalOrThrow(std::string_view text);

}  // namespace plotrak
