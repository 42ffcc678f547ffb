#include "script/arithmetic.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "script/arithmetic_number.h"

namespace plotrak {
namespace {

struct Case {
  const char* input;
  const char* expected;
};

void ExpectAll(const std::initializer_list<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(ComputeArithmetic(c.input), c.expected) << "input: " << c.input;
  }
}

TEST(ComputeArithmeticTest, WordsAndSymbols) {
  ExpectAll({
      {"2 razy 3", "6"},
      {"2x3", "6"},
      {"ile to 2 plus 2", "4"},
      {"5 dodac 4", "9"},
      {"5 minus 7", "-2"},
      {"9 odjac 4", "5"},
      {"10 podzielic przez 4", "2,5"},
      {"10 podzielic na 4", "2,5"},
      {"8 przez 2", "4"},
      {"8/2", "4"},
      {"1 przez 3", "#0,3333"},
      {"2 na 4", "0,5"},
      {"2 i 3", "5"},
      {"2 do 3", "8"},
      {"2^10", "1024"},
      {"2,5*2", "5"},
      {"2.5*2", "5"},
      {"1 000 + 1", "1001"},
  });
}

TEST(ComputeArithmeticTest, PrecedenceAndBrackets) {
  ExpectAll({
      {"2 do 3 do 2", "64"},  // powers too go left to right
      {"2+3*4", "14"},
      {"(2+3)*4", "20"},
      {"[2+3]*4", "20"},
      {"{2+3}*4", "20"},
      {"2(3)", "6"},
      {"(2)(3)", "6"},
      {"(2)3", "6"},
      {"2 (3)", "3"},  // the space stops the inserted multiplication
      {"2[3]", "3"},   // no multiplication before "[": the bracket replaces the 2
      {"((2+3)*(1+1))", "10"},
      {"(7)", "7"},
      {"(2+3", "$"},
      {"8:2*4", "16"},
  });
}

TEST(ComputeArithmeticTest, Minus) {
  ExpectAll({
      {"5-3-1", "1"},
      {"-5-3", "-8"},
      {"2*-3", "-6"},
      {"2^-1", "0,5"},
      {"2--3", "5"},
      {"2---3", "-1"},
      {"2+-3", "-1"},
      {"2:-3", ""},  // the minus after ":" is binary and leaves an empty operand
      {"5-(2)", "3"},
      // A sign right before a bracket negates its value.
      {"-(2+3)", "-5"},
      {"2*-(3)", "-6"},
      {"2+-(3)", "-1"},
  });
}

TEST(ComputeArithmeticTest, NegativeValueAfterDivisionFailsOnceTheTextIsReadAgain) {
  ExpectAll({
      {"6:(0-2)+1", "-2"},   // the division runs first, on the items as split
      {"2^2+6:(0-2)", "$"},  // after the power the text "4+6:-2" is split again
      {"8:(0-2)^2", "2"},    // the power makes the value positive before that
      {"2*2+()-(3)", "1"},   // "4+-3" after the first operation
  });
}

TEST(ComputeArithmeticTest, NothingToCompute) {
  ExpectAll({
      {"", ""},
      {"czesc", ""},
      {"7", ""},
      {"-7", ""},
      {"dwa plus dwa", ""},
      {"4 NAS", ""},  // "4:" fails without digits around the operator
  });
}

TEST(ComputeArithmeticTest, Failures) {
  ExpectAll({
      {"5:0", ""},     // the only operator has 0 after it
      {"3+4:0", "$"},  // "+" stands between 3 and 4
      {"5:0+3", ""},
      {"0:0", ""},
      {"1,2,3+4", "$"},
      {"(-8)^(1:3)", "$"},
      {"0^-1", ""},
      {"2^100", "$"},  // too large to round
      {"999999999999*999", "$"},
      {"-99999999999999999999*9", "$"},  // negative operands are never "too large"
      {"3+4)", "$"},
  });
}

TEST(ComputeArithmeticTest, TooLargeAndApproximate) {
  ExpectAll({
      {"20000000000000*2", "##"},
      {"10000000000000*2", "20000000000000"},
      {"0,1+0,2", "#0,3"},
      {"1 przez 10", "0,1"},  // division tolerates 10^-9
      {"0,5+0,25", "0,75"},
      {"2^0,5", "#1,4142"},
      // Ties go to the even ten-thousandth.
      {"0,00005*1", "#0"},
      {"0,00025*1", "#0,0002"},
      {"0,00035*1", "#0,0004"},
      {"2,5:10000", "#0,0002"},
  });
}

TEST(ComputeArithmeticTest, TranslationStopsAtEquals) {
  ExpectAll({{"ile to 2+2=5", "4"}, {"2+2 = 4?", "4"}});
}

TEST(ComputeArithmeticTest, FlagsDescribeTheLastEvaluation) {
  ArithmeticFlags flags;
  EXPECT_EQ(ComputeArithmetic("1 przez 3", flags), "#0,3333");
  EXPECT_TRUE(flags.approximate);
  EXPECT_TRUE(flags.changed);
  EXPECT_FALSE(flags.error);
  EXPECT_EQ(ComputeArithmetic("5:0", flags), "");
  EXPECT_TRUE(flags.error);
  EXPECT_FALSE(flags.approximate);
}

TEST(TranslateWordsTest, WordBoundaries) {
  struct {
    const char* input;
    const char* expected;
  } cases[] = {
      {"4 NAS", "4:"},  // the last character is never tested
      {"4 NASZ", "4"},
      {"NA", ":"},
      {"2 RAZYX 3", "23"},
      {"XRAZY", ""},
      {"MINUS5", "-5"},
      {"IX", "+"},  // the "X" after "I" is the last character, so "I" matches; "X" cannot
      {"2 razy 3", "2*3"},
      {"10 podzielic przez 4", "10:4"},
      {"x(3)", "*(3)"},
      {"(1)(2)", "(1)*(2)"},
      {"[1]2", "(1)2"},
      {"cześć 5", "5"},
  };
  for (const auto& c : cases) EXPECT_EQ(TranslateWords(c.input), c.expected) << c.input;
}

TEST(FormatGeneralTest, ShortestFormWithDecimalComma) {
  struct {
    double value;
    const char* expected;
  } cases[] = {
      {0, "0"},           {6, "6"},
      {-2.5, "-2,5"},     {0.0001, "0,0001"},
      {0.00001, "1E-5"},  {123456789012345, "123456789012345"},
      {1e15, "1E15"},     {1.5e20, "1,5E20"},
      {0.1 + 0.2, "0,3"}, {2120255184830.2527, "2120255184830,25"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatGeneral(c.value), c.expected) << c.value;
}

TEST(ReadDecimalCommaTest, AcceptsOnlyCommaNumbers) {
  EXPECT_EQ(ReadDecimalComma("2,5"), 2.5L);
  EXPECT_EQ(ReadDecimalComma("-3"), -3.0L);
  EXPECT_EQ(ReadDecimalComma("1E15"), 1e15L);
  EXPECT_EQ(ReadDecimalComma("0," + std::string(6000, '0') + "1"), 0.0L);
  for (const char* bad : {"", "-", ",", "2.5", "1,2,3", "3)", "1E", "1 2"}) {
    EXPECT_FALSE(ReadDecimalComma(bad).has_value()) << bad;
  }
  EXPECT_FALSE(ReadDecimalComma(std::string(6000, '9')).has_value());  // overflow
}

TEST(ComputeArithmeticTest, IndependentOfTheProcessLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_NUMERIC, "pl_PL.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  EXPECT_EQ(ComputeArithmetic("10 przez 4"), "2,5");
  EXPECT_EQ(ComputeArithmetic("2,5*2"), "5");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

// Inputs from strangers: they must end quickly with some tagged result, not crash.
TEST(ComputeArithmeticTest, HugeInputsEnd) {
  const std::string deep = std::string(100000, '(') + "1+2" + std::string(100000, ')');
  EXPECT_EQ(ComputeArithmetic(deep), "3");
  EXPECT_EQ(ComputeArithmetic(std::string(100000, '(') + "1+2"), "$");
  std::string many;
  for (int i = 0; i < 100000; ++i) many += "1+";
  EXPECT_EQ(ComputeArithmetic(many + "1"), "100001");
  EXPECT_EQ(ComputeArithmetic(std::string(1000000, '1') + "+1"), "$");
  EXPECT_EQ(ComputeArithmetic(std::string(1000000, '7')), "");
  std::string signs;
  for (int i = 0; i < 100000; ++i) signs += "-(";
  EXPECT_EQ(ComputeArithmetic(signs + "3" + std::string(100000, ')')), "3");
}

}  // namespace
}  // namespace plotrak
