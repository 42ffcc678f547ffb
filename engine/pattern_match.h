// The wildcard matcher of mother-base keys.
#pragma once

#include <string_view>

namespace plotrak {

// Whether pattern `p` covers the whole input `s`: "@" is any run, "^" a run of non-letters,
// "@@@" matches everything and "???" every input without letters; the two flags carry the
// state right after a "^" that stood for an empty run. The result equals the recursive
// definition the base language is written against, but no state is decided twice and the
// tries of every run length are answered at once, so it costs at most about
// len(p)^2 * len(s) time and len(p) * len(s) memory, whatever the pattern and the input.
bool MatchPattern(std::string_view s, std::string_view p, bool afterEmptyGap = false,
                  bool atStart = true);

}  // namespace plotrak
