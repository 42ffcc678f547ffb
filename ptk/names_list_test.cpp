#include "ptk/names_list.h"

#include <gtest/gtest.h>

#include "engine/cp1250.h"
#include "ptk/source_text.h"

namespace plotrak::ptk {
namespace {

TEST(NamesListTest, StoredFormIsUpperCaseWithoutPolishLettersAndSpaces) {
  EXPECT_EQ(StoredNameForm(FromUtf8("Łukasz")), "LUKASZ");
  EXPECT_EQ(StoredNameForm(FromUtf8("Ewa Maria")), "EWAMARIA");
  EXPECT_EQ(StoredNameForm(FromUtf8("żaneta")), "ZANETA");
}

TEST(NamesListTest, ReadsNamesSkippingCommentsAndBlankLines) {
  const auto names = ParseNamesSource("# lista\n\nMarianna\r\nMarian\n  Józef \n");
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[2].name, FromUtf8("Józef"));
  EXPECT_EQ(names[2].line, 5);
  EXPECT_EQ(NamesFileBytes(names), FromUtf8("Marianna\nMarian\nJózef\n"));
}

TEST(NamesListTest, RefusesAShorterNameBeforeALongerOneThatContainsIt) {
  const struct {
    const char* source;
    int line;
  } cases[] = {
      {"Maria\nMarianna\n", 2},
      {"Anna\nJoanna\n", 2},
      {"Ola\nKarola\n", 2},
      {"Łucja\nLucja\n", 2},  // the same stored name twice
  };
  for (const auto& c : cases) {
    try {
      ParseNamesSource(c.source);
      ADD_FAILURE() << c.source;
    } catch (const SourceError& e) {
      EXPECT_EQ(e.line, c.line) << c.source;
    }
  }
}

}  // namespace
}  // namespace plotrak::ptk
