#include "ptk/base_check.h"

#include <gtest/gtest.h>

namespace plotrak::ptk {
namespace {

std::vector<Finding> Check(const std::string& body) {
  return CheckBaseSource(ParseBaseSource("WERSJA: test\n" + body));
}

TEST(BaseCheckTest, CleanBaseHasNoFindings) {
  EXPECT_TRUE(Check("[MATKA]\n"
                    "K: $@^CZESC^@$|IMIE&POBIERZ|\n"
                    "A: |imie&czy_jest&true|Cześć, |imie&PODAJ|!\n"
                    "A: Cześć!\n"
                    "K: $@0@$$@1@$|CZY_MATH|\n"
                    "A: |MATH&OK|Wynik: |MATH&WYNIK|\n"
                    "K: $@RZUC@$|LOSUJ&6|\n"
                    "A: |CZY_LOSUJ&1|Jedynka.\n"
                    "K: $@@@$|CZY_POWTORZYL&2|\n"
                    "A: Powtarzasz się.\n"
                    "K: $^CZESC^$\n"
                    "A: Ta sama forma jest pod warunkiem wyżej, więc to nie cień.\n"
                    "[STATYCZNA]\n"
                    "K: Jak masz na imię?\n"
                    "A: Plotrak.\n"
                    "[DYNAMICZNA]\n"
                    "K: co to jest kwark\n")
                  .empty());
}

// Each case: a base body, the line a finding must stand on and a piece of its message.
struct Case {
  const char* body;
  int line;
  const char* message;
};

const Case kCases[] = {
    {"[MATKA]\nK: $@A@$$B\nA: x\n", 3, "unpaired \"$\""},
    {"[MATKA]\nK: $@A@$|OSTATNI&X\nA: x\n", 3, "unpaired \"|\" in the key"},
    {"[MATKA]\nK: $@A@$\nA: x |imie&PODAJ\n", 4, "unpaired \"|\""},
    {"[MATKA]\nK: $@A@$|ZROB&TO|\nA: x\n", 3, "unknown script function \"ZROB\""},
    {"[MATKA]\nK: $@A@$\nA: |Zegarynka|\n", 4, "recognised only as \"zegarynka\""},
    {"[MATKA]\nK: $@A@$|MATH&OK|\nA: x\n", 3, "works only in answers"},
    {"[MATKA]\nK: $@A@$|LOSUJ&szesc|\nA: x\n", 3, "must be a whole number"},
    {"[MATKA]\nK: $@A@$\nA: |czy_uczucia&10&dużo|x\n", 4, "must be a whole number"},
    {"[MATKA]\nK: $@A@$|CZY_UCZUCIA&0|\nA: x\n", 3, "argument 2 of \"CZY_UCZUCIA\" must be"},
    {"[MATKA]\nK: $@A@$\nA: |MATH&CHYBA|x\n", 4, "can never apply"},
    {"[MATKA]\nK: $@A@$\nA: |czy_uczucia&50&50|x\n", 4, "can never apply"},
    {"[MATKA]\nK: $@A@$\nA: |gra&sprawdz&tak|x\n", 4, "can never apply"},
    {"[MATKA]\nK: $@A@$\nA: |imie&czy_jest&TRUE|x\n", 4, "can never apply"},
    {"[MATKA]\nK: $@A@$\nA: |TEMAT&x|\n", 4, "expands to nothing"},
    {"[MATKA]\nK: $@A@$|CZY_UCZUCIA&60&40|\nA: x\n", 3, "key can never match"},
    {"[MATKA]\nK: $@A@$\nA: x\nA: y\nA: x\n", 6, "repeats the one on line 4"},
    {"[MATKA]\nK: $@A@$\n", 3, "key without answers"},
    {"[MATKA]\nK: abc\nA: x\n", 3, "without a $...$ pattern"},
    {"[MATKA]\nK: $$\nA: x\n", 3, "empty pattern"},
    {"[MATKA]\nK: $@ŻÓŁW@$\nA: x\n", 3, "Polish letters \"ŻÓŁ\""},
    {"[MATKA]\nK: $@@@$\nA: x\nK: $^CZESC^$\nA: y\n", 5, "the key on line 3"},
    {"[MATKA]\nK: $^CZESC^$\nA: x\nK: $^czesc^$|TEMAT&X|\nA: y\n", 5, "the key on line 3"},
    {"[MATKA]\nK: $@CZESC@$\nA: x\nK: $NO CZESC$\nA: y\n", 5, "the key on line 3"},
    {"[MATKA]\nK: $???$\nA: x\nK: $123$$:)$\nA: y\n", 5, "the key on line 3"},
    {"[MATKA]\nK: $@A@$\nA: x\nK:\nA: y\n", 5, "empty key"},
    // The earliest of several covering keys is named, whichever way it covers.
    {"[MATKA]\nK: $^HEJ@$\nA: x\nK: $HEJ TY$\nA: y\nK: $HEJ TY$$^HEJ@$\nA: z\n", 7,
     "the key on line 3"},
    {"[MATKA]\nK: $@TY@$\nA: x\nK: $@@@$\nA: y\nK: $HEJ TY$\nA: z\n", 7, "the key on line 3"},
    {"[MATKA]\nK: $@Q@$\nA: x\nK: $@^@$\nA: y\nK: $HEJ TY$\nA: z\n", 7, "the key on line 5"},
    {"[MATKA]\nK: $A$\nA: x\n[STATYCZNA]\nK: Jak się masz?\nA: a\nK: jak sie masz\nA: b\n", 8,
     "same letters as the one on line 6"},
    {"[MATKA]\nK: $A$\nA: x\n[STATYCZNA]\nK: ???\nA: a\n", 6, "without letters"},
    {"[MATKA]\nK: $A$\nA: x\n[STATYCZNA]\nK: pytanie\n", 6, "question without answers"},
    {"[MATKA]\nK: $A$\nA: x\n[DYNAMICZNA]\nK: co\nA: nic\n", 7, "never used"},
    {"[MATKA]\nK: $A$\nA: x\n[DYNAMICZNA]\nK: co to?\nK: Co to!\n", 7, "same letters"},
};

TEST(BaseCheckTest, FindingsNameTheirLine) {
  for (const auto& c : kCases) {
    const auto findings = Check(c.body);
    bool found = false;
    for (const auto& f : findings) {
      found = found || (f.line == c.line && f.message.find(c.message) != std::string::npos);
    }
    std::string all;
    for (const auto& f : findings) all += std::to_string(f.line) + ": " + f.message + "\n";
    EXPECT_TRUE(found) << c.body << "\nexpected line " << c.line << ": " << c.message << "\ngot:\n"
                       << all;
  }
}

TEST(BaseCheckTest, ConditionsKeepAnEarlierKeyFromShadowing) {
  // Neither key can stand in for the later one: the first may fail its condition, the
  // second has only conditional answers.
  EXPECT_TRUE(Check("[MATKA]\nK: $@@@$|CZY_TEMAT&SPORT|\nA: x\n"
                    "K: $@@@$\nA: |czy_uczucia&0&50|y\n"
                    "K: $^CZESC^$\nA: z\n")
                  .empty());
}

TEST(BaseCheckTest, ManyKeysAreCheckedWithoutComparingEveryPair) {
  // 60,000 keys, each with a wildcard pattern and a plain one that no earlier key covers:
  // comparing every plain pattern with every earlier wildcard pattern would take minutes.
  std::string body = "[MATKA]\n";
  for (int i = 0; i < 60000; ++i) {
    const std::string n = std::to_string(i);
    body += "K: $@SLOWO" + n + "X@$$^ZWYKLY" + n + "Q^$\nA: a" + n + "\n";
  }
  body += "K: $ZWYKLY17Q$\nA: cien\nK: $XSLOWO5XX$\nA: cien\n";
  const auto findings = Check(body);
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_NE(findings[0].message.find("line " + std::to_string(3 + 2 * 17)), std::string::npos);
  EXPECT_NE(findings[1].message.find("line " + std::to_string(3 + 2 * 5)), std::string::npos);
}

}  // namespace
}  // namespace plotrak::ptk
