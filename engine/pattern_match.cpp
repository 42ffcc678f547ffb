#include "engine/pattern_match.h"

#include <cstdint>
#include <vector>

#include "engine/normalize.h"

namespace plotrak {
namespace {

constexpr int kEnd = -1;  // the end of the input or of the pattern: equal only to itself

// The matcher works on suffixes of the input and the pattern, so a state is (input offset,
// pattern offset, afterEmptyGap, atStart); each state is decided once.
class Matcher {
 public:
  Matcher(std::string_view s, std::string_view p) : s_(s), p_(p), n_(s.size()), m_(p.size()) {}

  bool Run(size_t so, size_t po, bool afterEmptyGap, bool atStart) {
    if (so > n_) so = n_;
    uint8_t* slot = nullptr;
    if (!memo_.empty()) {
      slot = &memo_[((so * (m_ + 1) + po) << 2) | (afterEmptyGap << 1) | atStart];
      if (*slot) return *slot == 2;
    }
    const bool result = Decide(so, po, afterEmptyGap, atStart);
    if (slot) *slot = result ? 2 : 1;
    return result;
  }

 private:
  int S(size_t so, size_t i) const {
    return so + i < n_ ? static_cast<unsigned char>(s_[so + i]) : kEnd;
  }
  int P(size_t po, size_t i) const {
    return po + i < m_ ? static_cast<unsigned char>(p_[po + i]) : kEnd;
  }
  static bool Letter(int c) { return c != kEnd && IsAsciiLetter(static_cast<char>(c)); }
  bool NoLettersFrom(size_t so) {
    if (noLettersFrom_.empty()) {
      noLettersFrom_.assign(n_ + 1, 1);
      for (size_t k = n_; k-- > 0;) noLettersFrom_[k] = noLettersFrom_[k + 1] && !Letter(S(k, 0));
    }
    return noLettersFrom_[so > n_ ? n_ : so];
  }
  // Sub-searches are memoised; the first one allocates the table.
  bool Recurse(size_t so, size_t po, bool afterEmptyGap, bool atStart) {
    if (memo_.empty()) memo_.assign((n_ + 1) * (m_ + 1) * 4, 0);
    return Run(so, po, afterEmptyGap, atStart);
  }

  bool Decide(size_t so, size_t po, bool aeg, bool atStart) {
    const std::string_view rest = p_.substr(po);
    if (rest == "???" && NoLettersFrom(so)) return true;
    if (rest == "@@@") return true;
    const size_t slen = n_ - so, plen = m_ - po;
    for (size_t i = 0; i <= plen; ++i) {
      const int p = P(po, i);
      if (p == '@') {
        if (i + 1 == plen && !(aeg && Letter(S(so, 0)))) return true;
        bool r = false;
        // Runs of one character up to all but the last are tried, shortest first.
        for (size_t k = i + 1; k + 1 <= slen; ++k) {
          r = Recurse(so + k, po + i + 1, false, false);
          if (r && (!aeg || atStart)) return true;
        }
        if (r) continue;
        if (P(po, i + 1) != '^' && S(so, i + 1) != '@' && aeg && !atStart) return false;
        return Recurse(so + i, po + i + 1, false, atStart);  // "@" as an empty run
      }
      if (p == '^') {
        if (i + 1 == plen && NoLettersFrom(so + i)) return true;
        for (size_t k = i + 1; k + 1 <= slen; ++k) {
          if (Letter(S(so, k - 1))) break;
          if (Recurse(so + k, po + i + 1, false, atStart)) return true;
        }
        if (P(po, i + 1) != '^' && S(so, i + 1) != '@' && aeg && !atStart) return false;
        return Recurse(so + i, po + i + 1, true, atStart);  // "^" as an empty run
      }
      if (p != S(so, i)) return false;
      if (aeg && !atStart) return false;
      aeg = atStart = false;
    }
    return true;
  }

  std::string_view s_, p_;
  size_t n_, m_;
  std::vector<uint8_t> memo_;
  std::vector<uint8_t> noLettersFrom_;
};

}  // namespace

bool MatchPattern(std::string_view s, std::string_view p, bool afterEmptyGap, bool atStart) {
  // A pattern without wildcards is a plain comparison.
  if (!afterEmptyGap && p.find_first_of("@^?") == std::string_view::npos) return s == p;
  return Matcher(s, p).Run(0, 0, afterEmptyGap, atStart);
}

}  // namespace plotrak
