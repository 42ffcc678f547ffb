// The checker behind "ptk check": mistakes a base author can make that the program would
// silently live with.
#pragma once

#include <string>
#include <vector>

#include "ptk/base_source.h"

namespace plotrak::ptk {

struct Finding {
  int line;
  std::string message;  // UTF-8
};

// Findings in source order. Reports unpaired "$" and "|", unknown script functions and
// non-numeric whole-number arguments (script_rules.h), answers that can never apply, keys
// that an earlier key always answers first, Polish letters in mother-base patterns, empty
// keys and answers, keys without answers, and static or dynamic keys that repeat the
// letters of an earlier one.
std::vector<Finding> CheckBaseSource(const BaseSource& source);

}  // namespace plotrak::ptk
