#include "engine/normalize.h"

#include <gtest/gtest.h>

#include "engine/cp1250.h"

namespace plotrak {
namespace {

TEST(NormalizeText, FoldsPolishLettersAndFiltersByMode) {
  EXPECT_EQ(NormalizeText(FromUtf8("Cześć"), 0), "CZESC");
  EXPECT_EQ(NormalizeText(FromUtf8("Cześć"), 2), "CZESC");
  EXPECT_EQ(NormalizeText("Ala ma 2 koty!", 0), "ALA MA 2 KOTY!");
  EXPECT_EQ(NormalizeText("Ala ma 2 koty!", 1), "ALA MA 2 KOTY");
  EXPECT_EQ(NormalizeText("Ala ma 2 koty!", 2), "ALAMAKOTY");
  // Windows-1250 "Ź" is 0x8F, which the table shares with code page 852's "Ć".
  EXPECT_EQ(NormalizeText(FromUtf8("ĄĆĘŁŃÓŚŹŻąćęłńóśźż"), 0), "ACELNOSCZACELNOSZZ");
}

TEST(NormalizeText, FoldsCodePage852Bytes) {
  // "łódź" in code page 852: 0x88 0xA2 0x64 0xAB.
  EXPECT_EQ(NormalizeText("\x88\xA2\x64\xAB", 0), "LODZ");
}

TEST(NormalizeText, LeavesOtherBytesAlone) {
  EXPECT_EQ(NormalizeText("\xFF\x80\x01", 0), "\xFF\x80\x01");
  EXPECT_EQ(UpperAscii(FromUtf8("żółw abc")), FromUtf8("żółW ABC"));
}

TEST(HasNoLetters, OnlyAsciiLettersCount) {
  EXPECT_TRUE(HasNoLetters(""));
  EXPECT_TRUE(HasNoLetters(":) 123"));
  EXPECT_TRUE(HasNoLetters(FromUtf8("ąę")));
  EXPECT_FALSE(HasNoLetters("A1"));
}

TEST(Cp1250, ConvertsBothWaysAndReplacesWhatItCannotHold) {
  const std::string utf8 = "Zażółć gęślą jaźń €";
  EXPECT_EQ(ToUtf8(FromUtf8(utf8)), utf8);
  EXPECT_EQ(FromUtf8("日本"), "??");
  EXPECT_EQ(FromUtf8("\xC3"), "?");  // cut sequence
  EXPECT_EQ(ToUtf8("\x81"), "\xEF\xBF\xBD");
  EXPECT_EQ(UpperCp1250(FromUtf8("łukasz ewa")), FromUtf8("ŁUKASZ EWA"));
}

}  // namespace
}  // namespace plotrak
