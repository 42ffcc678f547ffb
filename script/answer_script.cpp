#include "script/answer_script.h"

namespace plotrak {

// Pass-through until the script language lands.
bool CheckKeyConditions(Engine&, const std::string&, const std::string&, const std::string&) {
  return true;
}

std::string ExpandAnswer(Engine&, const std::string& answerTemplate, const std::string&,
                         const std::string&) {
  return answerTemplate;
}

}  // namespace plotrak
