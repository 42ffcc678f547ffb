#include "engine/conversation_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>

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

// The speaker is a stranger's nick: escaped like the text, so it cannot inject markup.
TEST(ConversationLog, SpeakerIsEscapedAndTextsWrittenAsUtf8) {
  testing::ScratchDir dir;
  WriteLogLine(dir.path(), "<Zosia&>", FromUtf8("zażółć"), LogWho::kPerson, "www", kMorning);
  EXPECT_EQ(ReadFile(dir.path() / "logi" / "www" / "<Zosia&>.htm"),
            kHeader + "[2004-03-07][09:05:01] <b>&lt;Zosia&amp;&gt;</b> zażółć<br>\r\n");
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
  const std::vector<std::string> hostile = {
      "../../etc/passwd", "..", ".", "/abs", std::string("a\0b", 3), std::string(400, 'x'), ""};
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
  EXPECT_EQ(LogFileName("100%"), "100%25");
  EXPECT_EQ(LogFileName("a/b"), "a%2Fb");
  EXPECT_EQ(LogFileName("a%2Fb"), "a%252Fb");
  EXPECT_EQ(LogFileName(".ukryty"), "%2Eukryty");
  EXPECT_EQ(LogFileName("..."), "%2E..");
  EXPECT_EQ(LogFileName("a\r\nb"), "a%0D%0Ab");
  EXPECT_EQ(LogFileName(""), "%");
}

// Property: whatever two identities a stranger picks, they get two files, each a plain
// name inside the channel folder. Identities are drawn from the characters that matter
// (escapes, their marker, separators, dots, control bytes, Polish letters) at every length
// around the file-name bound.
TEST(ConversationLog, DistinctIdentitiesGetDistinctValidNames) {
  const std::string alphabet = std::string("%/.2EFa\x01\r\n\x7F~ \xB3", 14) + '\0';
  std::mt19937 random(14);
  std::map<std::string, std::string> owner;  // file name -> identity
  for (int i = 0; i < 20000; ++i) {
    const size_t length = i % 5 == 0 ? 200 + random() % 200 : random() % 8;
    std::string who;
    for (size_t k = 0; k < length; ++k) who += alphabet[random() % alphabet.size()];
    // near-twins of long names: the same head, one byte apart at the end
    if (length > 200 && i % 2 == 0) who.back() = who.back() == 'a' ? 'E' : 'a';
    const std::string name = LogFileName(who);
    auto [it, fresh] = owner.emplace(name, who);
    EXPECT_TRUE(fresh || it->second == who) << "two identities share " << name;
    EXPECT_FALSE(name.empty());
    EXPECT_NE(name[0], '.');
    EXPECT_LE(name.size() + 4, 255u);
    for (unsigned char c : name) EXPECT_TRUE(c >= 0x20 && c != 0x7F && c != '/') << name;
  }
}

}  // namespace
}  // namespace plotrak
