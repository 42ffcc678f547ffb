#include "engine/incoming_text.h"

#include <gtest/gtest.h>

namespace plotrak {
namespace {

TEST(IncomingText, ControlBytesAreDroppedAndLineBreaksBecomeSpaces) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"czesc", "czesc"},
      {"\x1B[H\x1B[J\x07"
       "bzdura",
       "[H[Jbzdura"},
      {"dwie\r\nlinie\tz tabem", "dwie  linie z tabem"},
      {std::string("a\0b\x7F"
                   "c\x1F",
                   6),
       "abc"},
      {"\xB3\xF3\xBF\x80\x9F", "\xB3\xF3\xBF\x80\x9F"},  // Windows-1250 letters stay
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CleanIncomingText(c.in), c.out) << c.in;
    EXPECT_EQ(CleanIncomingText(c.out), c.out) << "cleaning twice changes nothing";
  }
}

TEST(IncomingText, LongTextsAreCutAtTheBound) {
  const std::string huge(10 * 1000 * 1000, 'x');
  EXPECT_EQ(CleanIncomingText(huge), std::string(kMaxIncomingText, 'x'));
  // the cut comes first, so dropped bytes do not pull later text in
  const std::string ctrl = std::string(kMaxIncomingText, '\x01') + "tail";
  EXPECT_EQ(CleanIncomingText(ctrl), "");
  // no cut for what is printed
  EXPECT_EQ(WithoutControlBytes(huge).size(), huge.size());
}

}  // namespace
}  // namespace plotrak
