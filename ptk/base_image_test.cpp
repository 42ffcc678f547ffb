#include "ptk/base_image.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/text_codec.h"
#include "ptk/source_text.h"

namespace plotrak::ptk {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

// The file image of a version and raw fields: {separator, text} pairs after the header.
std::string File(const std::string& version,
                 const std::vector<std::pair<int, std::string>>& fields) {
  std::string bytes = EncodeText(version);
  for (const auto& [separator, text] : fields) {
    bytes += static_cast<char>(separator);
    bytes += EncodeText(text);
  }
  return bytes;
}

// dump -> print -> parse -> build must give the very bytes back.
std::string RoundTrip(const std::string& bytes) {
  return BuildBaseBytes(ParseBaseSource(PrintBaseSource(DumpBaseBytes(bytes))));
}

std::string RandomText(std::mt19937& gen, bool allowEmpty) {
  std::uniform_int_distribution<int> length(allowEmpty ? 0 : 1, 12), byte(0, 255), pick(0, 9);
  static const std::string kAwkward[] = {
      " ", "\\", "\n", "#", "K: ", "A:", "[MATKA]", "\r", "WERSJA:"};
  std::string text;
  for (int n = length(gen); n > 0; --n) {
    if (pick(gen) == 0) {
      text += kAwkward[byte(gen) % std::size(kAwkward)];
    } else {
      text += static_cast<char>(byte(gen));
    }
  }
  return text;
}

TEST(BaseImageTest, GeneratedBasesRoundTripByteForByte) {
  std::mt19937 gen(7);
  std::uniform_int_distribution<int> entries(0, 6), answers(0, 5);
  for (int round = 0; round < 300; ++round) {
    BaseSource source;
    source.hasVersion = true;
    source.version.text = RandomText(gen, false);
    for (int s = 1; s <= 3; ++s) {
      const int n = (s == 1 && round % 3 != 0) ? entries(gen) + 1 : entries(gen);
      for (int e = 0; e < n; ++e) {
        SourceEntry entry{{RandomText(gen, false), 0}, {}};
        for (int a = answers(gen); a > 0; --a) entry.answers.push_back({RandomText(gen, false), 0});
        source.Section(s).push_back(entry);
      }
    }
    if (source.Section(1).empty()) source.Section(2).clear(), source.Section(3).clear();
    const std::string bytes = BuildBaseBytes(source);
    ASSERT_EQ(RoundTrip(bytes), bytes) << "round " << round;
  }
}

TEST(BaseImageTest, EmptyBaseRoundTrips) {
  const std::string bytes = File("v", {{200, ""}, {200, ""}, {200, ""}});
  EXPECT_EQ(bytes, EncodeText("v") + Bytes({200, 200, 200}));
  EXPECT_EQ(RoundTrip(bytes), bytes);
}

TEST(BaseImageTest, FilesTheProgramWouldNotSaveBackAreRefused) {
  const struct {
    const char* what;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"fourth section",
       File("v", {{200, ""}, {201, "k"}, {200, ""}, {200, ""}, {200, ""}, {201, "x"}}),
       "fourth section"},
      {"answer before the first key",
       File("v", {{200, ""}, {201, "k"}, {200, ""}, {202, "a"}, {200, ""}}),
       "before the section's first key"},
      {"empty key", File("v", {{200, ""}, {201, "k"}, {201, ""}, {201, "m"}, {200, ""}, {200, ""}}),
       "empty key"},
      {"empty answer",
       File("v", {{200, ""}, {201, "k"}, {202, ""}, {202, "a"}, {200, ""}, {200, ""}}),
       "empty answer"},
      {"not pair-split", Bytes({49, 49, 200, 201, 40, 60, 200, 200}), "pair-split"},
      {"odd text", Bytes({49, 49, 200, 201, 50, 50, 50, 200, 200}), "pair-split"},
      {"empty header", Bytes({200, 201, 50, 50, 200, 200}), "empty header"},
      {"mother base without entry", File("v", {{200, ""}, {200, ""}, {201, "k"}, {200, ""}}),
       "does not begin with an entry"},
      {"stray byte", Bytes({49, 49, 200, 201, 50, 50, 230, 50, 50, 200, 200}), "stray byte"},
  };
  for (const auto& c : cases) {
    try {
      DumpBaseBytes(c.bytes);
      ADD_FAILURE() << c.what << " was dumped";
    } catch (const UnrepresentableBase& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos)
          << c.what << ": " << e.what();
    }
  }
}

TEST(BaseImageTest, NotABaseFileAtAll) {
  for (const std::string& bytes : {std::string("no separator here"), std::string(), Bytes({200})}) {
    try {
      DumpBaseBytes(bytes);
      ADD_FAILURE() << "dumped " << bytes.size() << " bytes";
    } catch (const UnrepresentableBase& e) {
      ADD_FAILURE() << e.what();
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find("not a base file"), std::string::npos) << e.what();
    }
  }
}

TEST(BaseImageTest, RandomBytesGiveAShortReason) {
  std::mt19937 gen(3);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes = File("v", {{200, ""}, {201, "k"}});
  for (int i = 0; i < 100000; ++i) bytes += static_cast<char>(byte(gen));
  try {
    DumpBaseBytes(bytes);
    ADD_FAILURE() << "random bytes were dumped";
  } catch (const UnrepresentableBase& e) {
    const std::string why = e.what();
    EXPECT_LT(why.size(), 2000u);
    EXPECT_NE(why.find(" more"), std::string::npos);
  }
}

TEST(BaseImageTest, SourceThatCannotBeKeptIsRejectedWithItsLine) {
  const struct {
    const char* source;
    int line;
  } cases[] = {
      {"[MATKA]\nK: $A$\n", 1},                                // no version
      {"WERSJA:\n[MATKA]\nK: $A$\n", 1},                       // empty version
      {"WERSJA: v\n[MATKA]\nK: $A$\nA: x\nK:\nA: y\n", 5},     // empty key
      {"WERSJA: v\n[MATKA]\nK: $A$\nA: x\nA:\n", 5},           // empty answer
      {"WERSJA: v\n[MATKA]\n[STATYCZNA]\n\nK: pytanie\n", 5},  // static entries, no mother base
  };
  for (const auto& c : cases) {
    try {
      BuildBaseBytes(ParseBaseSource(c.source));
      ADD_FAILURE() << c.source;
    } catch (const SourceError& e) {
      EXPECT_EQ(e.line, c.line) << c.source << e.what();
    }
  }
}

TEST(BaseImageTest, ParseErrorsCarryTheirLine) {
  const struct {
    const char* source;
    int line;
  } cases[] = {
      {"WERSJA: v\n[MATKA]\nA: x\n", 3},
      {"WERSJA: v\nK: x\n", 2},
      {"WERSJA: v\n[STATYCZNA]\n[MATKA]\n", 3},
      {"WERSJA: v\n[MATKA]\n[MATKA]\n", 3},
      {"WERSJA: v\n[INNA]\n", 2},
      {"WERSJA: v\n[MATKA]\nK: a\nto nie jest pole\n", 4},
      {"WERSJA: v\nWERSJA: w\n", 2},
      {"# ok\nWERSJA: v\n[MATKA]\nK: a\\zb\n", 4},
  };
  for (const auto& c : cases) {
    try {
      ParseBaseSource(c.source);
      ADD_FAILURE() << c.source;
    } catch (const SourceError& e) {
      EXPECT_EQ(e.line, c.line) << c.source << e.what();
    }
  }
}

TEST(BaseImageTest, LayoutIsForgiving) {
  const BaseSource s = ParseBaseSource(
      "\xEF\xBB\xBF# comment\r\nWERSJA: 1.0\r\n\r\n[MATKA]\r\n  K:$A$\r\n  A:   spaced   \r\n"
      "   # another\r\n[DYNAMICZNA]\nK: co to\n");
  EXPECT_EQ(s.version.text, "1.0");
  ASSERT_EQ(s.Section(1).size(), 1u);
  EXPECT_EQ(s.Section(1)[0].key.text, "$A$");
  EXPECT_EQ(s.Section(1)[0].answers[0].text, "  spaced");  // one space belongs to the layout
  EXPECT_EQ(s.Section(1)[0].answers[0].line, 6);
  EXPECT_TRUE(s.Section(2).empty());
  EXPECT_EQ(s.Section(3)[0].key.text, "co to");
}

}  // namespace
}  // namespace plotrak::ptk
