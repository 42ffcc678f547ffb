#include "ptk/source_text.h"

#include <gtest/gtest.h>

#include "engine/cp1250.h"

namespace plotrak::ptk {
namespace {

TEST(SourceTextTest, EveryByteSurvivesEscapingAndBack) {
  for (int b = 0; b < 256; ++b) {
    const std::string text = std::string("a") + static_cast<char>(b) + "z";
    EXPECT_EQ(UnescapeField(EscapeField(text), 1), text) << b;
    const std::string alone(1, static_cast<char>(b));
    EXPECT_EQ(UnescapeField(EscapeField(alone), 1), alone) << b;
  }
}

TEST(SourceTextTest, PolishLettersStayReadable) {
  EXPECT_EQ(EscapeField(FromUtf8("Zażółć gęślą jaźń")), "Zażółć gęślą jaźń");
  EXPECT_EQ(UnescapeField("Zażółć gęślą jaźń", 1), FromUtf8("Zażółć gęślą jaźń"));
}

TEST(SourceTextTest, InvisibleOrFragileBytesAreEscaped) {
  const struct {
    std::string text, escaped;
  } cases[] = {
      {"a\nb", "a\\x0Ab"},
      {"tab\there", "tab\\x09here"},
      {"back\\slash", "back\\\\slash"},
      {"trailing ", "trailing\\x20"},
      {"two  ", "two \\x20"},
      {" lead", " lead"},
      {std::string(1, '\x81'), "\\x81"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeField(c.text), c.escaped);
    EXPECT_EQ(UnescapeField(c.escaped, 1), c.text);
  }
}

TEST(SourceTextTest, MistakesAreReportedWithTheirLine) {
  const char* bad[] = {"a\\qb", "ends with \\", "half \\x4", "\xC3", "chinese 中"};
  for (const char* text : bad) {
    try {
      UnescapeField(text, 7);
      ADD_FAILURE() << text;
    } catch (const SourceError& e) {
      EXPECT_EQ(e.line, 7) << text;
    }
  }
}

}  // namespace
}  // namespace plotrak::ptk
