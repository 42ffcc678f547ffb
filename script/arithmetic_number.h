// Reading and writing the numbers of the arithmetic evaluator: decimal comma, no locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plotrak {

// Reads an operand: optional "-", digits with an optional decimal comma (at least one
// digit), optionally "E" and a signed whole exponent. Nothing else, no spaces. Returns no
// value when the text is not such a number or its magnitude does not fit a long double
// (a magnitude too small to hold reads as 0).
std::optional<long double> ReadDecimalComma(std::string_view text);

// The shortest general form with up to 15 significant digits and a decimal comma:
// "6", "2,5", "-0,3333", "1E15", "1,5E-7". Fixed notation is used while the decimal
// exponent lies between -4 and 14.
std::string FormatGeneral(double value);

}  // namespace plotrak
