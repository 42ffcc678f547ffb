#include "gadugadu/gg_antiflood.h"

#include <gtest/gtest.h>

namespace plotrak {
namespace {

TEST(GgAntifloodTest, DueTicksRoundHalvesToEvenAndQueuePerSpeaker) {
  struct Case {
    int32_t think, letter;
    size_t length;
    bool zeroDelay;
    int64_t wait;
  } cases[] = {
      {1500, 180, 10, false, 34},                           // round(33) + 1
      {1500, 180, 20, false, 52}, {1550, 0, 3, false, 17},  // 15.5 -> 16
      {1650, 0, 3, false, 17},                              // 16.5 -> 16
      {1549, 0, 3, false, 16},    {1651, 0, 3, false, 18},
      {1500, 180, 10, true, 1},  // the script's zero delay
      {-5000, 0, 3, false, 1},   // never in the past
  };
  for (const Case& c : cases) {
    GgAntiflood buffer;
    buffer.Tick();
    buffer.Tick();
    EXPECT_EQ(buffer.Queue("1", std::string(c.length, 'a'), c.zeroDelay, c.think, c.letter),
              2 + c.wait)
        << c.think << " " << c.letter << " " << c.length;
  }

  GgAntiflood buffer;
  EXPECT_EQ(buffer.Queue("1", "aaaaaaaaaa", false, 1500, 180), 34);
  EXPECT_EQ(buffer.Queue("1", "aaaaaaaaaa", false, 1500, 180), 68);  // after the first
  EXPECT_EQ(buffer.Queue("2", "aaaaaaaaaa", false, 1500, 180), 34);  // in parallel
  EXPECT_EQ(buffer.size(), 3u);
  std::vector<std::string> said;
  for (int i = 0; i < 68; ++i)
    for (const auto& slot : buffer.Tick())
      said.push_back(slot.speaker + "@" + std::to_string(i + 1));
  EXPECT_EQ(said, (std::vector<std::string>{"1@34", "2@34", "1@68"}));
  // slots are reused, never removed; a reset leaves one free slot
  EXPECT_EQ(buffer.Queue("3", "a", true, 0, 0), 69);
  EXPECT_EQ(buffer.size(), 3u);
  buffer.Reset();
  EXPECT_EQ(buffer.size(), 1u);
  EXPECT_EQ(buffer.tick(), 0);
  for (size_t i = 0; i < GgAntiflood::kMaxSlots; ++i) buffer.Queue("x", "a", false, 100000, 0);
  EXPECT_EQ(buffer.Queue("x", "a", false, 0, 0), 0);
  EXPECT_EQ(buffer.size(), GgAntiflood::kMaxSlots);
}

}  // namespace
}  // namespace plotrak
