#include "engine/conversation_log.h"

#include <gtest/gtest.h>

#include <fstream>

#include "engine/cp1250.h"
#include "engine/test_support.h"

namespace plotrak {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

const LocalTime kMorning{2004, 3, 7, 9, 5, 1};
const std::string kHeader =
    "<HTML>\r\n<HEAD>\r\n<META http-equiv=Content-Type content=\"text/html; charset=UTF-8\">\r\n"
    "</HEAD>\r\n<BODY>\r\n";

TEST(TimeTexts, StampAndDuration) {
  EXPECT_EQ(TimeStamp(kMorning), "[2004-03-07][09:05:01] ");
  EXPECT_EQ(DurationText(0), "godzin 0 minut 0 sekund 0");
  EXPECT_EQ(DurationText(59), "godzin 0 minut 0 sekund 59");
  EXPECT_EQ(DurationText(3600), "godzin 1 minut 0 sekund 0");
  EXPECT_EQ(DurationText(3725), "godzin 1 minut 2 sekund 5");
  EXPECT_EQ(DurationText(-5), "godzin 0 minut 0 sekund 0");
}

TEST(ConversationLog, NewFileGetsTheHeaderThenLinesAreAppended) {
  testing::ScratchDir dir;
  WriteLogLine(dir.path(), "Ala", "a<b & \"c\">", LogWho::kPerson, "chat", kMorning);
  WriteLogLine(dir.path(), "Ala", "Czesc", LogWho::kBot, "chat", kMorning);
  EXPECT_EQ(ReadFile(dir.path() / "logi" / "chat" / "Ala.htm"),
            kHeader + "[2004-03-07][09:05:01] <b>Ala</b> a&lt;b &amp; &quot;c&quot;&gt;<br>\r\n" +
                "[2004-03-07][09:05:01] <b>PLOTRAK</b><i> Czesc</i><br>\r\n");
  for (const char* folder : {"gadugadu", "chat", "www", "program"}) {
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "logi" / folder)) << folder;
  }
}

TEST(ConversationLog, SpeakerIsWrittenUnescapedAndTextsAsUtf8) {
  testing::ScratchDir dir;
  WriteLogLine(dir.path(), "<Zosia>", FromUtf8("zażółć"), LogWho::kPerson, "www", kMorning);
  EXPECT_EQ(ReadFile(dir.path() / "logi" / "www" / "<Zosia>.htm"),
            kHeader + "[2004-03-07][09:05:01] <b><Zosia></b> zażółć<br>\r\n");
}

TEST(ConversationLog, SameNickOnTwoChannelsGetsTwoFiles) {
  testing::ScratchDir dir;
  WriteLogLine(dir.path(), "nick", "x", LogWho::kPerson, "chat", kMorning);
  WriteLogLine(dir.path(), "nick", "y", LogWho::kPerson, "www", kMorning);
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "logi" / "chat" / "nick.htm"));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "logi" / "www" / "nick.htm"));
}

TEST(ConversationLog, HostileIdentitiesStayInsideTheChannelFolder) {
  testing::ScratchDir dir;
  const std::vector<std::string> hostile = {"../../etc/passwd", "..", ".", "/abs", std::string("a\0b", 3),
                                            std::string(400, 'x'), ""};
  for (const auto& who : hostile) {
    WriteLogLine(dir.path(), who, "hej", LogWho::kPerson, "chat", kMorning);
  }
  int files = 0;
  for (auto& e : std::filesystem::recursive_directory_iterator(dir.path())) {
    if (!e.is_regular_file()) continue;
    ++files;
    EXPECT_EQ(e.path().parent_path(), dir.path() / "logi" / "chat") << e.path();
  }
  EXPECT_EQ(files, static_cast<int>(hostile.size()));
  // Valid names keep their exact spelling, Polish letters and odd characters included.
  EXPECT_EQ(LogFileName(FromUtf8("Łukasz:*?")), "Łukasz:*?");
  EXPECT_EQ(LogFileName("100%"), "100%");
  EXPECT_EQ(LogFileName("a/b"), "a%2Fb");
}

}  // namespace
}  // namespace plotrak
