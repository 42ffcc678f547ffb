#include "engine/text_codec.h"

#include <gtest/gtest.h>

namespace plotrak {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

TEST(TextCodec, EncodesPairsAsDocumented) {
  EXPECT_EQ(EncodeText("abc"), Bytes({49, 48, 49, 49, 50, 49}));
  EXPECT_EQ(EncodeText("abc"), "101121");
  EXPECT_EQ(EncodeText(Bytes({255})), Bytes({128, 127}));
  EXPECT_EQ(EncodeText(Bytes({0})), Bytes({0, 0}));
  EXPECT_EQ(EncodeText(""), "");
}

TEST(TextCodec, EveryByteSurvivesTheRoundTripAndStaysBelowSeparators) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string encoded = EncodeText(all);
  ASSERT_EQ(encoded.size(), 512u);
  for (char c : encoded) EXPECT_LE(static_cast<unsigned char>(c), 128);
  EXPECT_EQ(DecodeText(encoded), all);
}

TEST(TextCodec, DecodingQuirksOfOddLengths) {
  // A single byte pairs with zero: an empty header decodes to the separator itself.
  EXPECT_EQ(DecodeText(Bytes({200})), Bytes({200}));
  // The odd last byte of a longer string is ignored (the header's closing 200).
  EXPECT_EQ(DecodeText(EncodeText("ab") + Bytes({200})), "ab");
  // The sum wraps modulo 256.
  EXPECT_EQ(DecodeText(Bytes({200, 100})), Bytes({44}));
  EXPECT_EQ(DecodeText(""), "");
}

}  // namespace
}  // namespace plotrak
