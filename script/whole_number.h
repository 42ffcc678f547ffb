// Whole-number arguments of script calls and numbers found in what people say.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace plotrak {

// A strict decimal 32-bit integer: an optional "+" or "-", then one or more digits 0-9,
// nothing else (no spaces, no hexadecimal). No value when the text is not one or does not
// fit in 32 bits.
std::optional<int32_t> TryParseWholeNumber(std::string_view text);

// The same, throwing ConversionError("'text' is not a valid integer value") on failure.
int32_t ParseWholeNumber(std::string_view text);

}  // namespace plotrak
