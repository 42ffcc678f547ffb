// What the checker knows about one script call: whether the function exists where it is
// written, whether its whole-number arguments are numbers, and how it can affect the
// text (fail it, never pass it, add to it).
#pragma once

#include <string>
#include <vector>

#include "ptk/script_calls.h"

namespace plotrak::ptk {

struct CallJudgement {
  std::vector<std::string> problems;  // UTF-8 messages
  bool canFail = false;               // a condition that fails for some person or input
  bool neverPasses = false;           // a condition that fails whatever happens
  bool givesText = false;             // a value call that may insert text
};

// Judges a call of a mother-base key (isKey) or of an answer.
CallJudgement JudgeCall(const ScriptCall& call, bool isKey);

}  // namespace plotrak::ptk
