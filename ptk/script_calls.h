// The "|name&arg&...|" calls of a key or an answer, as the script scanner sees them, for
// the checker.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plotrak::ptk {

struct ScriptCall {
  std::string name;
  std::vector<std::string> args;  // as written; at most three are used
  bool hasArgs = false;           // written with "&"
};

struct ScannedText {
  std::vector<ScriptCall> calls;
  std::string plain;         // the text outside calls
  bool unclosedBar = false;  // an opening "|" without its closing one
};

// Splits a text into its calls and the text around them. In keys, a call written without
// arguments sees the arguments of the call before it, as the key scanner keeps them.
ScannedText ScanCalls(std::string_view text, bool isKey);

// The "$...$" patterns of a key, in order; `unpaired` is set when a "$" has no partner.
std::vector<std::string> KeyPatterns(std::string_view key, bool* unpaired);

}  // namespace plotrak::ptk
