#include "polchat/chat_message.h"

#include <gtest/gtest.h>

#include "polchat/antiflood_queue.h"

namespace plotrak::polchat {
namespace {

TEST(ParseChatMessage, FormsAndMalformedForms) {
  struct Case {
    const char* message;
    const char* sender;
    const char* text;
  } cases[] = {
      {"<b>Ala</b>: czesc &amp; hej", "Ala", "czesc & hej"},
      {"Ala czesc", "Ala", "czesc"},
      {"<i>** przychodzi Ola :)</i>", "*", "przychodzi Ola :)"},
      {"*Ola* macha", "Ola", "macha"},
      {"Ala: &amp;gt; &gt;&quot;&lt;", "Ala", "&gt; >\"<"},
      {" Ala: hej", "", ""},
      {"", "", ""},
      // malformed: an unclosed tag takes the rest; short prefixes leave empty texts
      {"Ala: hej <b", "Ala", "hej "},
      {"<b", "", ""},
      {"**", "*", ""},
      {"**x", "*", ""},
      {"*Ola", "", ""},
      {"*Ola*", "Ola", ""},
      {"*Ola*x", "Ola", ""},
      {"Ala", "Ala", ""},
      {"Ala:", "Ala", ""},
      {"Ala:x", "Ala", ""},
  };
  for (const Case& c : cases) {
    const ChatMessage parsed = ParseChatText(c.message);
    EXPECT_EQ(parsed.sender, c.sender) << c.message;
    EXPECT_EQ(parsed.text, c.text) << c.message;
  }
  // UTF-8 on the wire, Windows-1250 inside
  EXPECT_EQ(ParseChatMessage("Ala: \xC5\xBC"
                             "aba")
                .text,
            "\xBF"
            "aba");
}

TEST(NewcomerNick, OnlyTheExactFirstWordAndAWholeNick) {
  EXPECT_EQ(NewcomerNick("przychodzi Ola :)"), "Ola");
  EXPECT_EQ(NewcomerNick("przychodzi Ola!!!"), "Ola");
  EXPECT_EQ(NewcomerNick("Przychodzi Ola :)"), std::nullopt);
  EXPECT_EQ(NewcomerNick("przychodzi :)"), std::nullopt);
  EXPECT_EQ(NewcomerNick("przychodzi"), std::nullopt);
  EXPECT_EQ(NewcomerNick(""), std::nullopt);
}

TEST(AntifloodQueue, DelaysPlacesAndBounds) {
  // 180 x 10 + 1500 = 3300 ms at 800 ms a tick: D = 4000, five ticks; an exact multiple
  // (3200) still gets one tick more
  EXPECT_EQ(AntifloodQueue::DelayTicks(800, 180, 10, 1500), 5);
  EXPECT_EQ(AntifloodQueue::DelayTicks(800, 170, 10, 1500), 5);
  EXPECT_EQ(AntifloodQueue::DelayTicks(800, 0, 0, 0), 1);
  EXPECT_EQ(AntifloodQueue::DelayTicks(800, -500, 10, 0), 1);
  EXPECT_EQ(AntifloodQueue::DelayTicks(1, 1 << 30, 1 << 30, 0),
            static_cast<int64_t>(AntifloodQueue::kMaxSlots));

  AntifloodQueue queue;
  queue.Reset(5);
  EXPECT_EQ(queue.Place("dziesiec z", "Ala", false, 5), 4u);
  EXPECT_EQ(queue.Place("teraz", "Ola", true, 5), 0u);
  EXPECT_EQ(queue.Place("zaraz", "Ola", true, 5), 1u);
  // never before what is queued for the same person: at least ticks - 1 behind the last
  EXPECT_EQ(queue.Place("drugi", "Ala", false, 2), 5u);
  EXPECT_EQ(queue.Place("trzeci", "Ala", true, 2), 2u);  // immediate goes first free
  EXPECT_EQ(queue.size(), 6u);
  bool shrunk = false;
  EXPECT_EQ(queue.Advance(shrunk).text, "teraz");
  EXPECT_TRUE(shrunk);
  EXPECT_EQ(queue.queued(), 4u);

  // a one-slot buffer keeps its slot; placement makes it two slots again
  AntifloodQueue one;
  one.Reset(1);
  one.Advance(shrunk);
  EXPECT_FALSE(shrunk);
  EXPECT_EQ(one.Place("x", "*", false, 1), 0u);
  EXPECT_EQ(one.size(), 2u);

  // bounded: a full queue refuses, and a far delay is shortened so a slot stays free
  AntifloodQueue full;
  full.Reset(5);
  for (size_t i = 0; i < AntifloodQueue::kMaxQueuedTexts; ++i)
    ASSERT_TRUE(full.Place("t", "Ala", false, AntifloodQueue::kMaxSlots));
  EXPECT_EQ(full.Place("t", "Ola", true, 1), std::nullopt);
  EXPECT_LE(full.size(), AntifloodQueue::kMaxSlots);
}

}  // namespace
}  // namespace plotrak::polchat
