#include "script/script_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "script/conversion_error.h"
#include "script/whole_number.h"

namespace plotrak {
namespace {

TEST(ScriptNamesTest, AnswerNamesFollowTheirCaseRule) {
  struct {
    const char* name;
    const char* selector;
    bool found;
  } cases[] = {
      {"zegarynka", "", true},
      {"Zegarynka", "", false},
      {"ZEGARYNKA", "", false},
      {"WERSJA", "", true},
      {"wersja", "", true},
      {"imie", "PODAJ", true},
      {"imie", "podaj", true},
      {"IMIE", "PODAJ", false},
      {"imie", "czy_jest", true},
      {"imie", "CZY_JEST", false},
      {"imie", "", false},
      {"MATH", "cokolwiek", true},
      {"gra", "Wylosuj", false},
      {"UCZUCIA", "DODAJ", false},
      {"czy_uczucia", "5", true},
      {"CZY_UCZUCIA", "5", false},
      {"", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindScriptFunction(ScriptPlace::kAnswer, c.name, c.selector) != nullptr, c.found)
        << c.name << " " << c.selector;
  }
}

TEST(ScriptNamesTest, KeyNamesAreComparedUpperCased) {
  EXPECT_NE(FindScriptFunction(ScriptPlace::kKey, "imie", "pobierz"), nullptr);
  EXPECT_EQ(FindScriptFunction(ScriptPlace::kKey, "IMIE", "PODAJ"), nullptr);
  EXPECT_NE(FindScriptFunction(ScriptPlace::kKey, "UCZUCIA", "COKOLWIEK"), nullptr);
  EXPECT_TRUE(IsScriptName(ScriptPlace::kKey, "czy_math"));
  EXPECT_FALSE(IsScriptName(ScriptPlace::kKey, "zegarynka"));
  EXPECT_FALSE(IsScriptName(ScriptPlace::kAnswer, "CZY_MATH"));
}

TEST(ScriptNamesTest, WholeNumberSlotsDependOnSelector) {
  auto slots = [](ScriptPlace place, const char* name, const char* selector) {
    const ScriptFunction* f = FindScriptFunction(place, name, selector);
    return f ? f->wholeNumberSlots : 99u;
  };
  EXPECT_EQ(slots(ScriptPlace::kKey, "UCZUCIA", "DODAJ"), kSlot2);
  EXPECT_EQ(slots(ScriptPlace::kKey, "UCZUCIA", "PODAJ"), 0u);
  EXPECT_EQ(slots(ScriptPlace::kKey, "LOSUJ", ""), kSlot1);
  EXPECT_EQ(slots(ScriptPlace::kAnswer, "WIEK3", "CZY_JEST"), kSlot2 | kSlot3);
  EXPECT_EQ(slots(ScriptPlace::kAnswer, "CZY_LOSUJ", ""), kSlot1);
  EXPECT_EQ(slots(ScriptPlace::kAnswer, "czy_uczucia", ""), kSlot1 | kSlot2);
}

TEST(ScriptNamesTest, EachNameHasOneCaseRuleAndKeyNamesAreUpperCase) {
  for (ScriptPlace place : {ScriptPlace::kKey, ScriptPlace::kAnswer}) {
    std::set<std::string> anyCase, exact;
    for (const ScriptFunction& row : ScriptFunctions(place)) {
      (row.nameCase == NameCase::kAnyCase ? anyCase : exact).insert(std::string(row.name));
      if (place == ScriptPlace::kKey || row.nameCase == NameCase::kAnyCase) {
        for (char c : row.name) EXPECT_FALSE(c >= 'a' && c <= 'z') << row.name;
      }
    }
    for (const std::string& name : exact) EXPECT_EQ(anyCase.count(name), 0u) << name;
  }
}

TEST(WholeNumberTest, StrictDecimal32Bit) {
  struct {
    const char* text;
    bool valid;
    int32_t value;
  } cases[] = {
      {"0", true, 0},
      {"42", true, 42},
      {"-7", true, -7},
      {"+7", true, 7},
      {"007", true, 7},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {" 1", false, 0},
      {"1 ", false, 0},
      {"$1A", false, 0},
      {"0x10", false, 0},
      {"1,5", false, 0},
      {"abc", false, 0},
  };
  for (const auto& c : cases) {
    const auto value = TryParseWholeNumber(c.text);
    EXPECT_EQ(value.has_value(), c.valid) << c.text;
    if (value) {
      EXPECT_EQ(*value, c.value) << c.text;
    }
  }
  try {
    ParseWholeNumber("abc");
    FAIL();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

}  // namespace
}  // namespace plotrak
