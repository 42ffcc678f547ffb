#include "applet/applet_request.h"

#include <gtest/gtest.h>

namespace plotrak {
namespace {

TEST(AppletRequestTest, DecodesSentenceAndIdentifier) {
  struct Case {
    std::string bytes;
    bool answered;
    std::string sentence, identifier;
  };
  const Case cases[] = {
      {"co^20slychac^21&gosc1", true, "co slychac?", "gosc1"},
      {"^24^24&x", true, "&&", "x"},
      {"^20^21^22^23^24^25^26^27^28^29&id", true, " ?#$&+\"'\\:", "id"},
      {"&abc", true, "", "abc"},
      {"a&b&c^20", true, "a", "b&c^20"},  // the identifier is taken as it is
      {"^2&x", true, "^2", "x"},          // an escape cut short stands for itself
      {"^2a^^201&x", true, "^2a^ 1", "x"},
      {"tekst", false, "", ""},
      {"tekst&", false, "", ""},
      {"", false, "", ""},
  };
  for (const Case& c : cases) {
    const auto request = DecodeAppletRequest(c.bytes);
    ASSERT_EQ(request.has_value(), c.answered) << c.bytes;
    if (!request) continue;
    EXPECT_EQ(request->sentence, c.sentence) << c.bytes;
    EXPECT_EQ(request->identifier, c.identifier) << c.bytes;
  }
  EXPECT_EQ(AppletAnswerBytes(""), " ");
  EXPECT_EQ(AppletAnswerBytes("Witaj"), "Witaj");
}

TEST(AppletRequestTest, EncodedSentencesComeBackWhole) {
  const std::string sentences[] = {
      "co slychac?", "&&", " ?#$&+\"'\\:", "^", "^2", "^2 ", "a^^2?", std::string("\xb9\xe6\0", 3)};
  for (const std::string& sentence : sentences) {
    const auto escaped = EncodeAppletSentence(sentence);
    ASSERT_TRUE(escaped.has_value()) << sentence;
    EXPECT_EQ(escaped->find('&'), std::string::npos);
    const auto request = DecodeAppletRequest(*escaped + "&id");
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->sentence, sentence);
  }
  EXPECT_FALSE(EncodeAppletSentence("x^20").has_value());  // no request can say this
}

TEST(AppletRequestTest, ReaderTakesAnyPiecesAndCapsTheRequest) {
  // split before the "&": the request waits for its identifier
  AppletRequestReader reader(16);
  EXPECT_EQ(reader.Add("co^2"), AppletRequestReader::State::kWaiting);
  EXPECT_EQ(reader.Add(""), AppletRequestReader::State::kWaiting);
  EXPECT_EQ(reader.Add("0x&"), AppletRequestReader::State::kWaiting);
  EXPECT_EQ(reader.Add("id"), AppletRequestReader::State::kComplete);
  EXPECT_EQ(reader.request().sentence, "co x");
  EXPECT_EQ(reader.request().identifier, "id");
  EXPECT_EQ(reader.Add("more"), AppletRequestReader::State::kComplete);
  EXPECT_EQ(reader.request().identifier, "id");

  AppletRequestReader capped(16);
  EXPECT_EQ(capped.Add(std::string(10, 'a')), AppletRequestReader::State::kWaiting);
  EXPECT_EQ(capped.Add(std::string(6, 'a')), AppletRequestReader::State::kWaiting);
  EXPECT_EQ(capped.Add("&"), AppletRequestReader::State::kTooLong);
  EXPECT_EQ(capped.Add("x"), AppletRequestReader::State::kTooLong);
  // a complete request inside an over-long read is refused too
  AppletRequestReader whole(16);
  EXPECT_EQ(whole.Add("a&b" + std::string(20, 'c')), AppletRequestReader::State::kTooLong);
}

}  // namespace
}  // namespace plotrak
