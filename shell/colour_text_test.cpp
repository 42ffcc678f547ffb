#include "shell/colour_text.h"

#include <gtest/gtest.h>

namespace plotrak {
namespace {

TEST(ColourTextTest, NamedColoursUseTheirNamesOthersTheHexForm) {
  struct Case {
    int32_t colour;
    const char* text;
  } cases[] = {{0x000000, "clBlack"},
               {0x0000FF, "clRed"},
               {0xFF0000, "clBlue"},
               {0xC0DCC0, "clMoneyGreen"},
               {static_cast<int32_t>(0x8000000F), "clBtnFace"},
               {0x1FFFFFFF, "clNone"},
               {0xD8E9EC, "$00D8E9EC"},
               {0x000001, "$00000001"},
               {static_cast<int32_t>(0x80000040), "$80000040"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ColourToText(c.colour), c.text);
    EXPECT_EQ(ColourFromText(c.text), c.colour) << c.text;
  }
}

TEST(ColourTextTest, ReadsNamesInAnyCaseAndNumbersInEveryForm) {
  EXPECT_EQ(ColourFromText("CLRED"), 0x0000FF);
  EXPECT_EQ(ColourFromText("clwindow"), static_cast<int32_t>(0x80000005));
  EXPECT_EQ(ColourFromText("$00eed5bb"), 0xEED5BB);
  EXPECT_EQ(ColourFromText("255"), 255);
  EXPECT_EQ(ColourFromText("0x10"), 16);
  EXPECT_FALSE(ColourFromText("czerwony"));
  EXPECT_FALSE(ColourFromText(""));
}

TEST(ColourTextTest, SystemColoursResolveToPaintableValues) {
  EXPECT_EQ(ColourRgb(0x123456), 0x123456u);
  EXPECT_EQ(ColourRgb(static_cast<int32_t>(0x80000005)), 0xFFFFFFu);  // window background
  EXPECT_EQ(ColourRgb(static_cast<int32_t>(0x800000FF)), 0u);
}

}  // namespace
}  // namespace plotrak
