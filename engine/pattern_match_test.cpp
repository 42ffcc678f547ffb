#include "engine/pattern_match.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/normalize.h"

namespace plotrak {
namespace {

// The matcher's definition, transcribed literally (exponential, fine for short texts); the
// memoised matcher must agree with it everywhere.
int At(const std::string& s, size_t i) {
  return i < s.size() ? static_cast<unsigned char>(s[i]) : -1;
}
bool Letter(int c) { return c >= 0 && IsAsciiLetter(static_cast<char>(c)); }
std::string Rest(const std::string& s, size_t k) { return k < s.size() ? s.substr(k) : ""; }

bool Reference(const std::string& S, const std::string& P, bool aeg, bool atStart) {
  if (HasNoLetters(S) && P == "???") return true;
  if (P == "@@@") return true;
  for (size_t i = 0; i <= P.size(); ++i) {
    const int p = At(P, i);
    if (p == '@') {
      if (i == P.size() - 1 && !(aeg && Letter(At(S, 0)))) return true;
      bool r = false;
      for (size_t k = i + 1; k + 1 <= S.size(); ++k) {
        r = Reference(Rest(S, k), Rest(P, i + 1), false, false);
        if (r && (!aeg || (aeg && atStart))) return true;
      }
      if (r) continue;
      if (At(P, i + 1) != '^' && At(S, i + 1) != '@' && aeg && !atStart) return false;
      return Reference(Rest(S, i), Rest(P, i + 1), false, atStart);
    }
    if (p == '^') {
      if (i == P.size() - 1 && HasNoLetters(Rest(S, i))) return true;
      for (size_t k = i + 1; k + 1 <= S.size(); ++k) {
        if (Letter(At(S, k - 1))) break;
        if (Reference(Rest(S, k), Rest(P, i + 1), false, atStart)) return true;
      }
      if (At(P, i + 1) != '^' && At(S, i + 1) != '@' && aeg && !atStart) return false;
      return Reference(Rest(S, i), Rest(P, i + 1), true, atStart);
    }
    if (p != At(S, i)) return false;
    if (aeg && !atStart) return false;
    aeg = atStart = false;
  }
  return true;
}

struct Case {
  const char* pattern;
  const char* input;
  bool matches;
};

class PatternCases : public ::testing::TestWithParam<Case> {};

TEST_P(PatternCases, AgreesWithExpectation) {
  const Case& c = GetParam();
  EXPECT_EQ(MatchPattern(c.input, c.pattern), c.matches) << c.pattern << " vs " << c.input;
  EXPECT_EQ(Reference(c.input, c.pattern, false, true), c.matches) << "reference";
}

INSTANTIATE_TEST_SUITE_P(
    Wildcards, PatternCases,
    ::testing::Values(Case{"CZESC", "CZESC", true}, Case{"CZESC", "CZESC!", false},
                      Case{"CZESC", "CZES", false}, Case{"@CZESC@", "CZESC", true},
                      Case{"@CZESC@", "NO CZESC TO JA", true}, Case{"@CZESC@", "XCZESCY", true},
                      Case{"@CZESC@", "CZEŚĆ", false}, Case{"^CZESC^", "CZESC", true},
                      Case{"^CZESC^", " CZESC", true}, Case{"^CZESC^", "CZESC!!", true},
                      Case{"^CZESC^", "CZESC JAK SIE MASZ", false},
                      Case{"^CZESC^", "XCZESC", false}, Case{"???", ":)", true},
                      Case{"???", "123", true}, Case{"???", "A1", false}, Case{"???", "", true},
                      Case{"@@@", " ", true}, Case{"@@@", "COKOLWIEK", true},
                      Case{"JAK@", "JAK", true}, Case{"JAK@", "JAKI", true},
                      Case{"@JAK", "JAK", true}, Case{"@JAK", "A JAK", true},
                      Case{"A@B@C", "AXBYC", true}, Case{"A@B@C", "ABC", true},
                      Case{"A@B@C", "AXBY", false}));

TEST(MatchPattern, AgreesWithTheDefinitionOnRandomShortTexts) {
  std::mt19937 gen(20261207);
  const std::string patternAlphabet = "@^AB ?";
  const std::string inputAlphabet = "AB @1?";
  auto draw = [&gen](const std::string& alphabet, int maxLen) {
    std::string s(std::uniform_int_distribution<int>(0, maxLen)(gen), ' ');
    for (char& c : s) c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(gen)];
    return s;
  };
  int matched = 0;
  for (int n = 0; n < 60000; ++n) {
    const std::string p = draw(patternAlphabet, 7);
    const std::string s = draw(inputAlphabet, 8);
    const bool aeg = n % 4 == 1, atStart = n % 3 != 2;
    const bool expected = Reference(s, p, aeg, atStart);
    matched += expected;
    ASSERT_EQ(MatchPattern(s, p, aeg, atStart), expected)
        << "pattern '" << p << "' input '" << s << "' aeg " << aeg << " atStart " << atStart;
  }
  // Both outcomes must be well represented for the comparison to mean something.
  EXPECT_GT(matched, 3000);
  EXPECT_LT(matched, 54000);
}

TEST(MatchPattern, AdversarialKeyFinishesAndAgreesOnShortForm) {
  const std::string pattern = "@A@A@A@A@A@A@A@A@B";
  EXPECT_FALSE(MatchPattern(std::string(60, 'A'), pattern));
  EXPECT_TRUE(MatchPattern(std::string(60, 'A') + "B", pattern));
  // A long text from a chat peer: a quadratic search would not end in any useful time.
  EXPECT_FALSE(MatchPattern(std::string(100000, 'A'), pattern));
  EXPECT_TRUE(MatchPattern(std::string(100000, ' ') + "X", "^^^X"));
  EXPECT_EQ(MatchPattern(std::string(12, 'A'), pattern),
            Reference(std::string(12, 'A'), pattern, false, true));
}

}  // namespace
}  // namespace plotrak
