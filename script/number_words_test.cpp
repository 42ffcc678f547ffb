// What a person's message gives the calculator: number words read as digits behind the
// setting, and tokens that only look like numbers dropped with or without it.
#include "script/number_words.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/cp1250.h"
#include "script/arithmetic.h"

namespace plotrak {
namespace {

struct Case {
  const char* input;  // UTF-8, as typed
  const char* withWords;
  const char* withoutWords;
};

TEST(ArithmeticOfMessageTest, NumberWordsOnlyBehindTheSetting) {
  const Case cases[] = {
      {"ile to trzy razy cztery", "12", ""},
      {"dwadzieścia pięć podzielić przez pięć", "5", ""},
      {"dwadziescia piec podzielic przez piec", "5", ""},
      {"ILE TO SIEDEM RAZY OSIEM?", "56", ""},
      {"tysiąc dwieście minus dwieście", "1000", ""},
      {"dwa miliony trzysta tysięcy plus siedem", "2300007", ""},
      {"jeden tysiąc razy dwa", "2000", ""},
      {"sto dwadzieścia trzy razy zero", "0", ""},
      {"dziewięćset dziewięćdziesiąt dziewięć plus jeden", "1000", ""},
      {"piedziesiat razy dwa", "100", ""},
      {"osiem przez trzy", "#2,6667", ""},
      {"dwa do potęgi dziesięciu", "1024", ""},
      {"ile jest 3 do kwadratu?", "9", ""},
      {"dwa do sześcianu", "8", ""},
      {"ile to dwa do potęgi dziesiątej", "1024", ""},
      {"pole kwadratu o boku 4", "", ""},  // no exponent without "do"
      {"pięć razy 3", "15", ""},
      {"dziesięć podzielić przez zero", "", ""},
      {"siedem plus trzy podzielić przez zero", "$", ""},
      // Not a calculation: a lone number, words that are not numbers.
      {"mam dwa koty", "", ""},
      {"sto lat!", "", ""},
      {"piec ciasto", "", ""},
      // Digits read the same either way.
      {"ile to 2+2", "4", "4"},
      {"10 podzielic przez 4", "2,5", "2,5"},
      {"2x3", "6", "6"},
      {"2razy3", "6", "6"},
      // A token that mixes digits with letters is no number.
      {"ile to 1E-400 razy 1E-400", "", ""},
      {"ile to 1e5+1", "", ""},
      {"mp3 razy 2", "", ""},
      {"10km przez 2 godziny", "", ""},
      {"ile to 5 razy 3a", "", ""},
  };
  for (const Case& c : cases) {
    const std::string text = FromUtf8(c.input);
    EXPECT_EQ(ArithmeticOfMessage(text, true), c.withWords) << c.input;
    EXPECT_EQ(ArithmeticOfMessage(text, false), c.withoutWords) << c.input;
  }
}

TEST(ArithmeticOfMessageTest, WithoutNumberWordsPlainTextsAreComputedAsBefore) {
  for (const char* text :
       {"2 razy 3", "1 przez 3", "2 do 3 do 2", "(2+3)*4", "5-3-1", "3+4:0", "20000000000000*2",
        "0,1+0,2", "ile to 2+2=5", "dwa plus dwa", "4 NAS", "2 (3)", "2*-3", "7"}) {
    EXPECT_EQ(ArithmeticOfMessage(text, false), ComputeArithmetic(text)) << text;
  }
}

TEST(NumberWordsToDigitsTest, RunsOfWordsMakeOneNumberAndTheRestStays) {
  const struct {
    const char* input;
    const char* expected;
  } cases[] = {
      {"dwadzieścia pięć", "25"},
      {"trzysta tysięcy sto", "300100"},
      {"dwa trzy", "2 3"},  // a smaller rank must follow: two numbers
      {"zero zero", "0 0"},
      {"tysiąc tysięcy", "1000 1000"},  // a multiplier only after a bigger one
      {"Mam DWIE siostry", "MAM 2 SIOSTRY"},
      {"dwaj", "DWAJ"},  // only whole words
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NumberWordsToDigits(FromUtf8(c.input)), c.expected) << c.input;
}

}  // namespace
}  // namespace plotrak
