#include "ptk/base_check.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "engine/cp1250.h"
#include "engine/normalize.h"
#include "engine/pattern_match.h"
#include "ptk/script_calls.h"
#include "ptk/script_rules.h"

namespace plotrak::ptk {

namespace {

bool IsCatchAll(const std::string& pattern) {
  return !pattern.empty() && pattern.find_first_not_of('@') == std::string::npos;
}

bool HasWildcards(const std::string& pattern) {
  return pattern == "???" || pattern.find_first_of("@^") != std::string::npos;
}

// The longest run of characters that stand for themselves in a pattern.
std::string LongestPlainRun(const std::string& pattern) {
  std::string best, run;
  for (char c : pattern + '@') {
    if (c == '@' || c == '^') {
      if (run.size() > best.size()) best = run;
      run.clear();
    } else {
      run += c;
    }
  }
  return best;
}

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(" \t") == std::string::npos;
}

// The Polish letters of a pattern: the bytes the input folding turns into something else,
// so that no input ever holds them.
std::string PolishLetters(const std::string& pattern) {
  std::string found;
  for (char c : pattern) {
    const std::string one(1, c);
    if (static_cast<unsigned char>(c) >= 0x80 && NormalizeText(one, 0) != one) found += c;
  }
  return found;
}

// The mother-base keys so far that answer every input one of their patterns matches (no
// key condition can fail, and some answer has text and no condition), indexed so that a
// base of many thousand keys is checked quickly: a pattern with wildcards is only ever
// covered by a catch-all or by the identical pattern, and a plain pattern is only tried
// against the wildcard patterns whose longest run of plain characters it contains.
class SureKeys {
 public:
  void Add(int line, const std::vector<std::string>& patterns) {
    for (const auto& p : patterns) {
      if (IsCatchAll(p)) {
        if (firstCatchAll_ == 0) firstCatchAll_ = line;
      } else {
        exact_.emplace(p, line);
        if (HasWildcards(p))
          byLongestRun_[p == "???" ? "" : LongestPlainRun(p)].push_back({p, line});
      }
    }
  }

  // The line of the earliest key that answers every input the pattern matches, or 0.
  int FirstCovering(const std::string& pattern) const {
    int best = firstCatchAll_;
    auto consider = [&best](int line) {
      if (best == 0 || line < best) best = line;
    };
    if (const auto it = exact_.find(pattern); it != exact_.end()) consider(it->second);
    if (!HasWildcards(pattern)) {
      // A plain pattern matches exactly one input: itself.
      auto tryRun = [&](const std::string& run) {
        const auto it = byLongestRun_.find(run);
        if (it == byLongestRun_.end()) return;
        for (const auto& [p, line] : it->second) {
          if (best != 0 && line >= best) break;
          if (p == "???" ? HasNoLetters(pattern) : MatchPattern(pattern, p)) consider(line);
        }
      };
      tryRun("");
      for (size_t from = 0; from < pattern.size(); ++from) {
        for (size_t len = 1; from + len <= pattern.size(); ++len) tryRun(pattern.substr(from, len));
      }
    }
    return best;
  }

 private:
  int firstCatchAll_ = 0;
  std::map<std::string, int> exact_;  // emplace keeps the earliest line
  // Wildcard patterns (in line order) by their longest plain run; "" holds those without one.
  std::unordered_map<std::string, std::vector<std::pair<std::string, int>>> byLongestRun_;
};

class Checker {
 public:
  explicit Checker(std::vector<Finding>& findings) : findings_(findings) {}

  void Report(int line, std::string message) { findings_.push_back({line, std::move(message)}); }

  // Checks the calls of an answer; returns whether it can apply at all and whether it
  // applies unconditionally.
  void CheckAnswer(const SourceField& answer, bool* canApply, bool* unconditional) {
    const ScannedText scanned = ScanCalls(answer.text, /*isKey=*/false);
    if (scanned.unclosedBar) Report(answer.line, "unpaired \"|\": the last call never closes");
    bool givesText = !IsBlank(scanned.plain), canFail = false, neverPasses = false;
    for (const auto& call : scanned.calls) {
      const CallJudgement j = JudgeCall(call, /*isKey=*/false);
      for (const auto& p : j.problems) Report(answer.line, p);
      givesText = givesText || j.givesText;
      canFail = canFail || j.canFail || j.neverPasses;
      neverPasses = neverPasses || j.neverPasses;
    }
    if (answer.text.empty()) {
      Report(answer.line, "empty answer");
    } else if (neverPasses) {
      Report(answer.line, "answer can never apply: one of its conditions always fails");
    } else if (!givesText) {
      Report(answer.line, "answer can never apply: it always expands to nothing");
    }
    *canApply = !answer.text.empty() && !neverPasses && givesText;
    *unconditional = *canApply && !canFail && !IsBlank(scanned.plain);
  }

  void CheckDuplicateAnswers(const SourceEntry& entry) {
    for (size_t i = 0; i < entry.answers.size(); ++i) {
      for (size_t k = 0; k < i; ++k) {
        if (entry.answers[i].text == entry.answers[k].text) {
          Report(entry.answers[i].line,
                 "answer repeats the one on line " + std::to_string(entry.answers[k].line) +
                     ": the rotation returns to the first copy and never reaches later answers");
          break;
        }
      }
    }
  }

  void CheckMother(const std::vector<SourceEntry>& entries) {
    SureKeys sure;
    for (const auto& entry : entries) {
      const int line = entry.key.line;
      if (entry.key.text.empty()) {
        Report(line, "empty key");
        continue;
      }
      const std::string key = UpperAscii(entry.key.text);
      bool unpaired = false;
      const auto patterns = KeyPatterns(key, &unpaired);
      if (unpaired) Report(line, "unpaired \"$\" in the key");
      if (patterns.empty()) Report(line, "key without a $...$ pattern: it never matches");
      for (const auto& p : patterns) {
        if (p.empty()) Report(line, "empty pattern \"$$\": it never matches");
        const std::string polish = PolishLetters(p);
        if (!polish.empty()) {
          Report(line, "Polish letters \"" + ToUtf8(polish) + "\" in the pattern \"" + ToUtf8(p) +
                           "\": inputs are folded to ASCII, so it never matches; write them "
                           "without diacritics");
        }
      }
      const ScannedText scanned = ScanCalls(key, /*isKey=*/true);
      if (scanned.unclosedBar) Report(line, "unpaired \"|\" in the key");
      bool keyCanFail = false, keyNeverPasses = false;
      for (const auto& call : scanned.calls) {
        const CallJudgement j = JudgeCall(call, /*isKey=*/true);
        for (const auto& p : j.problems) Report(line, p);
        keyCanFail = keyCanFail || j.canFail || j.neverPasses;
        keyNeverPasses = keyNeverPasses || j.neverPasses;
      }
      if (keyNeverPasses) Report(line, "key can never match: one of its conditions always fails");

      if (entry.answers.empty()) Report(line, "key without answers: it never answers anything");
      bool anyApplies = false, anySure = false;
      for (const auto& answer : entry.answers) {
        bool canApply = false, unconditional = false;
        CheckAnswer(answer, &canApply, &unconditional);
        anyApplies = anyApplies || canApply;
        anySure = anySure || unconditional;
      }
      CheckDuplicateAnswers(entry);

      // Shadowing: every pattern of this key is one an earlier sure key answers first.
      if (!patterns.empty()) {
        int shadowLine = 0;
        for (const auto& p : patterns) {
          const int covering = sure.FirstCovering(p);
          if (covering == 0) {
            shadowLine = 0;
            break;
          }
          shadowLine = std::max(shadowLine, covering);
        }
        if (shadowLine != 0) {
          Report(line, "key is never reached: the key on line " + std::to_string(shadowLine) +
                           " answers every input it matches first");
        }
      }
      if (!keyCanFail && anySure && !unpaired) sure.Add(line, patterns);
    }
  }

  void CheckLettersUnique(const std::vector<SourceEntry>& entries, const char* what) {
    std::map<std::string, int> seen;
    for (const auto& entry : entries) {
      if (entry.key.text.empty()) {
        Report(entry.key.line, "empty key");
        continue;
      }
      const std::string letters = NormalizeText(entry.key.text, 2);
      if (letters.empty()) {
        Report(entry.key.line, std::string(what) +
                                   " without letters: it stands for every input "
                                   "without letters");
        continue;
      }
      const auto [it, added] = seen.emplace(letters, entry.key.line);
      if (!added) {
        Report(entry.key.line, std::string(what) + " has the same letters as the one on line " +
                                   std::to_string(it->second) + ", which is always found first");
      }
    }
  }

  void CheckStatic(const std::vector<SourceEntry>& entries) {
    CheckLettersUnique(entries, "question");
    for (const auto& entry : entries) {
      if (entry.answers.empty() && !entry.key.text.empty()) {
        Report(entry.key.line, "question without answers: asked back, it gets an empty answer");
      }
      for (const auto& answer : entry.answers) {
        bool canApply = false, unconditional = false;
        CheckAnswer(answer, &canApply, &unconditional);
      }
    }
  }

  void CheckDynamic(const std::vector<SourceEntry>& entries) {
    CheckLettersUnique(entries, "phrase");
    for (const auto& entry : entries) {
      for (const auto& answer : entry.answers) {
        Report(answer.line, "an answer in the dynamic base is never used");
      }
    }
  }

 private:
  std::vector<Finding>& findings_;
};

}  // namespace

std::vector<Finding> CheckBaseSource(const BaseSource& source) {
  std::vector<Finding> findings;
  Checker checker(findings);
  if (!source.hasVersion) {
    checker.Report(1, "no WERSJA: line");
  } else if (source.version.text.empty()) {
    checker.Report(source.version.line, "empty version");
  }
  checker.CheckMother(source.Section(1));
  checker.CheckStatic(source.Section(2));
  checker.CheckDynamic(source.Section(3));
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return findings;
}

}  // namespace plotrak::ptk
