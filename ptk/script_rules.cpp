#include "ptk/script_rules.h"

namespace plotrak::ptk {

// Provisional until the function tables are available.
CallJudgement JudgeCall(const ScriptCall& call, bool isKey) {
  CallJudgement j;
  (void)isKey;
  j.canFail = true;
  j.givesText = !call.name.empty();
  return j;
}

}  // namespace plotrak::ptk
