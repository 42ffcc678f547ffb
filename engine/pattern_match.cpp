#include "engine/pattern_match.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/normalize.h"

namespace plotrak {
namespace {

constexpr int kEnd = -1;  // the end of the input or of the pattern: equal only to itself

// The matcher decides states (input offset, pattern offset, afterEmptyGap, atStart): the
// input and the pattern are always matched as suffixes. Every sub-search moves on in the
// pattern, so the answers for one pattern offset and pair of flags are computed together
// for every input offset (a "column"), from the columns further on in the pattern. The loops
// that try every run length of a wildcard then become range questions on a column, answered
// in constant time, and the whole match costs O(len(p)^2 * len(s)) at most.
class Matcher {
 public:
  Matcher(std::string_view s, std::string_view p) : s_(s), p_(p), n_(s.size()), m_(p.size()) {
    firstLetterFrom_.resize(n_ + 1);
    firstLetterFrom_[n_] = n_;
    for (size_t k = n_; k-- > 0;)
      firstLetterFrom_[k] = Letter(S(k, 0)) ? k : firstLetterFrom_[k + 1];
    columns_.resize((m_ + 1) * 4);
  }

  bool Decide(size_t so, size_t po, bool aeg, bool atStart) {
    const std::string_view rest = p_.substr(po);
    if (rest == "???" && firstLetterFrom_[so] == n_) return true;
    if (rest == "@@@") return true;
    const size_t slen = n_ - so, plen = m_ - po;
    for (size_t i = 0; i <= plen; ++i) {
      const int p = P(po, i);
      if (p == '@') {
        if (i + 1 == plen && !(aeg && Letter(S(so, 0)))) return true;
        // Runs of one character up to all but the last one are tried, shortest first; the
        // search stops at the first success unless the flags reject it, and then only the
        // last try counts.
        bool r = false;
        if (i + 1 < slen) {
          const Column& next = Get(po + i + 1, false, false);
          if (!aeg || atStart) {
            if (next.AnyIn(so + i + 1, n_ - 1)) return true;
          } else {
            r = next.At(n_ - 1);
          }
        }
        if (r) continue;
        if (P(po, i + 1) != '^' && S(so, i + 1) != '@' && aeg && !atStart) return false;
        return Get(po + i + 1, false, atStart).At(so + i);  // "@" as an empty run
      }
      if (p == '^') {
        if (i + 1 == plen && firstLetterFrom_[std::min(so + i, n_)] == n_) return true;
        // Runs of non-letters only: the tries stop before a run would take in a letter.
        if (i + 1 < slen) {
          const size_t last = std::min(n_ - 1, firstLetterFrom_[so + i]);
          if (last >= so + i + 1 && Get(po + i + 1, false, atStart).AnyIn(so + i + 1, last))
            return true;
        }
        if (P(po, i + 1) != '^' && S(so, i + 1) != '@' && aeg && !atStart) return false;
        return Get(po + i + 1, true, atStart).At(so + i);  // "^" as an empty run
      }
      if (p != S(so, i)) return false;
      if (aeg && !atStart) return false;
      aeg = atStart = false;
    }
    return true;
  }

 private:
  // The results for one pattern offset and pair of flags, at every input offset 0..n, with a
  // prefix count of successes for range questions.
  struct Column {
    std::vector<uint32_t> trueBefore;  // successes at offsets below k
    bool At(size_t so) const {
      if (so >= trueBefore.size() - 1) so = trueBefore.size() - 2;  // past the end = at the end
      return trueBefore[so + 1] != trueBefore[so];
    }
    bool AnyIn(size_t from, size_t to) const { return trueBefore[to + 1] != trueBefore[from]; }
  };

  const Column& Get(size_t po, bool aeg, bool atStart) {
    std::unique_ptr<Column>& slot = columns_[po * 4 + aeg * 2 + atStart];
    if (!slot) {
      auto column = std::make_unique<Column>();
      column->trueBefore.resize(n_ + 2);
      column->trueBefore[0] = 0;
      for (size_t so = 0; so <= n_; ++so) {
        column->trueBefore[so + 1] =
            column->trueBefore[so] + (Decide(so, po, aeg, atStart) ? 1 : 0);
      }
      slot = std::move(column);
    }
    return *slot;
  }

  int S(size_t so, size_t i) const {
    return so + i < n_ ? static_cast<unsigned char>(s_[so + i]) : kEnd;
  }
  int P(size_t po, size_t i) const {
    return po + i < m_ ? static_cast<unsigned char>(p_[po + i]) : kEnd;
  }
  static bool Letter(int c) { return c != kEnd && IsAsciiLetter(static_cast<char>(c)); }

  std::string_view s_, p_;
  size_t n_, m_;
  std::vector<size_t> firstLetterFrom_;  // first letter at or after k, n when none
  std::vector<std::unique_ptr<Column>> columns_;
};

}  // namespace

bool MatchPattern(std::string_view s, std::string_view p, bool afterEmptyGap, bool atStart) {
  // A pattern without wildcards is a plain comparison.
  if (!afterEmptyGap && p.find_first_of("@^?") == std::string_view::npos) return s == p;
  // "@TEXT@" (most keys) covers exactly the inputs that contain TEXT.
  if (!afterEmptyGap && p.size() > 2 && p.front() == '@' && p.back() == '@') {
    const std::string_view text = p.substr(1, p.size() - 2);
    if (text.find_first_of("@^?") == std::string_view::npos) return s.find(text) != s.npos;
  }
  // "@@@" matches everything; the keys it opens (follow-ups, markers) are tried on every text.
  if (p == "@@@") return true;
  // "@TEXT" and "TEXT@" (a text ending with "?", a text starting with a word) are a suffix and
  // a prefix; a "?" is a plain character there unless the pattern ends with "???".
  if (!afterEmptyGap && p.size() > 1 && !p.ends_with("???")) {
    if (p.front() == '@' && p.find_first_of("@^", 1) == std::string_view::npos)
      return s.ends_with(p.substr(1));
    if (p.back() == '@' && p.find_first_of("@^") == p.size() - 1)
      return s.starts_with(p.substr(0, p.size() - 1));
    // "@TEXT^" (a question mark with nothing but marks after it): the last TEXT is followed by
    // no letter; an earlier one is followed by at least the letters after the last.
    if (p.front() == '@' && p.back() == '^' && p.size() > 2 &&
        p.find_first_of("@^", 1) == p.size() - 1) {
      const size_t at = s.rfind(p.substr(1, p.size() - 2));
      return at != s.npos && std::none_of(s.begin() + at + p.size() - 2, s.end(),
                                          [](char c) { return IsAsciiLetter(c); });
    }
  }
  return Matcher(s, p).Decide(0, 0, afterEmptyGap, atStart);
}

}  // namespace plotrak
