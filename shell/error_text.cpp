#include "shell/error_text.h"

#include "engine/cp1250.h"

namespace plotrak {

std::string ErrorText(const std::string& message) {
  static const std::string kPrefix = FromUtf8("Błąd: ");
  static const std::string kPolish = FromUtf8(" nie jest prawidłową wartością całkowitą");
  static const std::string kEnglish = "is not a valid integer value";
  const size_t at = message.find(kEnglish);
  if (at == std::string::npos) return kPrefix + message;
  return kPrefix + message.substr(0, at) + kPolish;
}

}  // namespace plotrak
