// The application's one general error handler turns an error message into the status-bar
// text.
#pragma once

#include <string>

namespace plotrak {

// "Błąd: " + message (Windows-1250); a message holding "is not a valid integer value" is
// cut before that phrase and " nie jest prawidłową wartością całkowitą" appended.
std::string ErrorText(const std::string& message);

}  // namespace plotrak
