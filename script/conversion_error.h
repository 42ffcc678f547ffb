// The error of a script argument that must be a whole number and is not one. It travels
// out of the script evaluators to the general error handler, which shows its message
// (and turns the English phrase into Polish).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace plotrak {

class ConversionError : public std::runtime_error {
 public:
  explicit ConversionError(std::string_view text)
      : std::runtime_error("'" + std::string(text) + "' is not a valid integer value") {}
};

}  // namespace plotrak
