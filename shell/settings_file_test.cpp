#include "shell/settings_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "engine/cp1250.h"
#include "engine/test_support.h"
#include "shell/integer_text.h"

namespace plotrak {
namespace {

using testing::ScratchDir;

std::string Slurp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spit(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

// The expected file made from scratch, built from the table independently of the writer:
// sections in order of first appearance, each with its keys in table order.
std::string ExpectedFreshFile() {
  std::vector<std::pair<std::string, std::string>> sections;  // name (lower case), body
  std::vector<std::string> spelled;
  for (const SettingDef& def : SettingsTable()) {
    std::string lower = def.section;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto it = std::find_if(sections.begin(), sections.end(),
                           [&](const auto& s) { return s.first == lower; });
    if (it == sections.end()) {
      sections.push_back({lower, ""});
      spelled.push_back(def.section);
      it = sections.end() - 1;
    }
    it->second += std::string(def.key) + "=" + def.defaultValue + "\r\n";
  }
  std::string out;
  for (size_t i = 0; i < sections.size(); ++i) {
    if (i) out += "\r\n";
    out += "[" + spelled[i] + "]\r\n" + sections[i].second;
  }
  return out;
}

TEST(SettingsFileTest, FirstExitWritesEveryKeyInTableOrderWithCrLf) {
  ScratchDir dir;
  const auto file = dir.path() / "setup.ini";
  SettingsValues values;
  ReadSettings(file, values);  // no file: defaults
  EXPECT_EQ(values.Text(SettingId::kChatNick), "Plotrak");
  EXPECT_EQ(values.Text(SettingId::kWwwPort), "1000");
  EXPECT_EQ(values.Number(SettingId::kFixedVsRandom), 400);
  WriteSettings(file, values, false);
  const std::string bytes = Slurp(file);
  EXPECT_EQ(bytes, ExpectedFreshFile());
  // every one of the 89 classic keys and our own is there exactly once
  size_t lines = 0;
  for (size_t at = 0; (at = bytes.find("=", at)) != std::string::npos; at = bytes.find("\r\n", at))
    ++lines;
  EXPECT_EQ(lines, static_cast<size_t>(kSettingCount));
  const std::string order[] = {"[WWW]",      "[Chat]",  "[Chat / Gadu-Gadu]", "[rozmowa]",
                               "[kolory]",   "[rozne]", "[Gadu-Gadu]",        "[komendy]",
                               "[programy]", "[inne]"};
  size_t last = 0;
  for (const std::string& section : order) {
    const size_t at = bytes.find(section);
    ASSERT_NE(at, std::string::npos) << section;
    EXPECT_GE(at, last) << section;
    last = at;
  }
  // our own keys close their sections
  EXPECT_NE(bytes.find("loguj rozmowy=1\r\nserwer=gadu-gadu.pl\r\n\r\n[komendy]"),
            std::string::npos);
  EXPECT_TRUE(
      bytes.ends_with("uczenie / doskonalenie=300\r\nadres aktualizacji=\r\nliczby slownie=1\r\n"));
  EXPECT_NE(bytes.find("stawiaj serwer przy starcie=0\r\nport strony=8080\r\nstrona przy "
                       "starcie=0\r\ndozwolone strony=\r\n\r\n[Chat]"),
            std::string::npos);
}

TEST(SettingsFileTest, CurrentValuesRoundTrip) {
  ScratchDir dir;
  const auto file = dir.path() / "setup.ini";
  SettingsValues values;
  values.SetText(SettingId::kGgPassword, "tajne\xB3");
  values.SetFlag(SettingId::kLocalLog, false);
  values.SetNumber(SettingId::kFixedVsRandom, 1000);
  values.SetNumber(SettingId::kGgStatus, 2);
  values.SetNumber(SettingId::kColour3, 0x123456);
  values.SetText(SettingId::kGgServer, "127.0.0.1:8075");
  WriteSettings(file, values, false);
  SettingsValues read;
  ReadSettings(file, read);
  for (const SettingDef& def : SettingsTable())
    EXPECT_EQ(read.WrittenForm(def.id), values.WrittenForm(def.id)) << def.key;
  EXPECT_NE(Slurp(file).find("has\xB3o=tajne\xB3\r\n"), std::string::npos);
}

TEST(SettingsFileTest, NamesIgnoreLetterCaseAndRozmowaKeysAreShifted) {
  SettingsValues values;
  ReadSettingsFromBytes("[CHAT]\nNICK=Bob\n[Rozmowa]\nlogowanie=0\n[WWW]\nPORT=2000\n", values);
  EXPECT_EQ(values.Text(SettingId::kChatNick), "Bob");
  EXPECT_EQ(values.Text(SettingId::kWwwPort), "2000");
  EXPECT_FALSE(values.Flag(SettingId::kLocalSlowTyping));  // not logging
  EXPECT_TRUE(values.Flag(SettingId::kLocalLog));
  ReadSettingsFromBytes("[rozmowa]\nanimacja postaci=0\n", values);
  EXPECT_FALSE(values.Flag(SettingId::kLocalLog));
  // Polish capitals fold too: "HASŁO" is the key "hasło"
  ReadSettingsFromBytes(FromUtf8("[GADU-GADU]\nHASŁO=tajne\n"), values);
  EXPECT_EQ(values.Text(SettingId::kGgPassword), "tajne");
  const std::string written =
      SettingsFileBytes(FromUtf8("[gadu-gadu]\nHASŁO=stare\n"), true, values, false);
  EXPECT_EQ(ToUtf8(written).find("HASŁO"), std::string::npos) << ToUtf8(written);
  EXPECT_NE(ToUtf8(written).find("hasło=tajne"), std::string::npos) << ToUtf8(written);
}

TEST(SettingsFileTest, FlagsReadAsNumbersElseDefault) {
  struct Case {
    const char* text;
    bool expected;  // default of "tymczasowy" is on
  } cases[] = {{"0", false},   {"1", true},   {"2", true}, {"-1", true}, {"$0", false},
               {"0x10", true}, {"tak", true}, {"", true},  {"1 1", true}};
  for (const Case& c : cases) {
    SettingsValues values;
    values.SetFlag(SettingId::kChatTemporary, !c.expected);
    ReadSettingsFromBytes(std::string("[Chat]\ntymczasowy=") + c.text + "\n", values);
    EXPECT_EQ(values.Flag(SettingId::kChatTemporary), c.expected) << c.text;
  }
}

// One typo must not cost the keys after it: they would be written back at "zamknij" with
// the values the controls had.
TEST(SettingsFileTest, BadNumberGetsItsDesignValueAndReadingGoesOn) {
  SettingsValues values;
  values.SetNumber(SettingId::kFixedVsRandom, 999);
  try {
    ReadSettingsFromBytes(
        "[Gadu-Gadu]\nstatus=2\nopis=moj opis\n[inne]\nlog serwisowy=0\n"
        "ustalone / losowane=dużo\nuczenie / doskonalenie=5\n[WWW]\nport=2000\n",
        values);
    FAIL() << "no conversion error";
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'dużo' is not a valid integer value");
  }
  EXPECT_EQ(values.Number(SettingId::kFixedVsRandom), 300);  // the slider's design position
  EXPECT_EQ(values.Number(SettingId::kGgStatus), 2);
  EXPECT_EQ(values.Text(SettingId::kGgDescription), "moj opis");
  EXPECT_FALSE(values.Flag(SettingId::kServiceLog));
  EXPECT_EQ(values.Number(SettingId::kLearnVsPerfect), 5);
  EXPECT_EQ(values.Text(SettingId::kWwwPort), "2000");
  // several bad keys: each gets its design value, the first is reported
  try {
    ReadSettingsFromBytes("[Gadu-Gadu]\nstatus=x\n[inne]\nuczenie / doskonalenie=y\n", values);
    FAIL() << "no conversion error";
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'x' is not a valid integer value");
  }
  EXPECT_EQ(values.Number(SettingId::kGgStatus), 0);
  EXPECT_EQ(values.Number(SettingId::kLearnVsPerfect), 300);
  // only decimal digits make a number here; hexadecimal or overlong text is an error too
  for (const char* text : {"", "$2", "0x2", "2.0", "99999999999", "-", "1 2"})
    EXPECT_THROW(ReadSettingsFromBytes(std::string("[Gadu-Gadu]\nstatus=") + text + "\n", values),
                 ConversionError)
        << text;
  ReadSettingsFromBytes("[Gadu-Gadu]\nstatus=+2\n", values);
  EXPECT_EQ(values.Number(SettingId::kGgStatus), 2);
}

TEST(SettingsFileTest, DesignValuesDifferFromDefaultsWhereTheWindowDoes) {
  SettingsValues values;
  values.ResetToDesignValues();
  EXPECT_EQ(values.Text(SettingId::kChatAntiflood), "800");
  EXPECT_TRUE(values.Flag(SettingId::kLocalSpeech));
  EXPECT_FALSE(values.Flag(SettingId::kGgWithDescription));
  EXPECT_EQ(values.Number(SettingId::kFixedVsRandom), 300);
  EXPECT_EQ(values.Number(SettingId::kGgStatus), 0);
  int differ = 0;
  for (const SettingDef& def : SettingsTable())
    differ += std::string(DesignValue(def.id)) != def.defaultValue;
  EXPECT_EQ(differ, 4);
  // reading any file sets every control, so no design value outlives it
  ReadSettingsFromBytes("", values);
  SettingsValues defaults;
  for (const SettingDef& def : SettingsTable())
    EXPECT_EQ(values.WrittenForm(def.id), defaults.WrittenForm(def.id)) << def.key;
}

TEST(SettingsFileTest, NumbersAreClampedToTheirControls) {
  SettingsValues values;
  ReadSettingsFromBytes(
      "[inne]\nustalone / losowane=5000\nuczenie / doskonalenie=-3\n"
      "[Gadu-Gadu]\nstatus=3\n",
      values);
  EXPECT_EQ(values.Number(SettingId::kFixedVsRandom), 1000);
  EXPECT_EQ(values.Number(SettingId::kLearnVsPerfect), 0);
  EXPECT_EQ(values.Number(SettingId::kGgStatus), 3);
  ReadSettingsFromBytes("[Gadu-Gadu]\nstatus=9\n", values);
  EXPECT_EQ(values.Number(SettingId::kGgStatus), -1);
}

TEST(SettingsFileTest, ColourNamesReadAndWriteBackAsNames) {
  ScratchDir dir;
  const auto file = dir.path() / "setup.ini";
  Spit(file,
       "[kolory]\r\ntlo za zakladkami=CLRED\r\nkolor tla okna glownego=$000000FF\r\n"
       "srodek zakladki 2 stopnia=zielony\r\n");
  SettingsValues values;
  ReadSettings(file, values);
  EXPECT_EQ(values.Number(SettingId::kColour2), 0x0000FF);
  EXPECT_EQ(values.Number(SettingId::kColour3), 0xE9C6A3);  // unreadable: default
  WriteSettings(file, values, false);
  const std::string bytes = Slurp(file);
  EXPECT_NE(bytes.find("tlo za zakladkami=clRed\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("kolor tla okna glownego=clRed\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("srodek zakladki 2 stopnia=$00E9C6A3\r\n"), std::string::npos);
}

TEST(SettingsFileTest, ExistingFileKeepsUnknownKeysAndGetsNewKeysAtSectionEnd) {
  ScratchDir dir;
  const auto file = dir.path() / "setup.ini";
  Spit(file, "; moje\r\n[chat]\r\nnick=Ala\r\nulubiony=kot\r\n[obce]\r\nx=1\r\n");
  SettingsValues values;
  ReadSettings(file, values);
  WriteSettings(file, values, false);
  const std::string bytes = Slurp(file);
  EXPECT_EQ(bytes.rfind("; moje\r\n\r\n[chat]\r\nnick=Ala\r\nulubiony=kot\r\nhaslo=\r\n", 0), 0u);
  EXPECT_NE(bytes.find("[obce]\r\nx=1\r\n"), std::string::npos);
  EXPECT_EQ(bytes.find("[Chat]"), std::string::npos);  // one section, spelled as it was
}

TEST(SettingsFileTest, ResetWritesDefaultsOverEveryKeyAndReadsThemBack) {
  ScratchDir dir;
  const auto file = dir.path() / "setup.ini";
  Spit(file,
       "[Chat]\r\nnick=Bob\r\n[kolory]\r\ntlo za zakladkami=clBlack\r\n[inne]\r\n"
       "ustalone / losowane=7\r\ninny=zostaje\r\n");
  SettingsValues values;
  ReadSettings(file, values);
  EXPECT_EQ(values.Text(SettingId::kChatNick), "Bob");
  ResetSettings(file, values);
  EXPECT_EQ(values.Text(SettingId::kChatNick), "Plotrak");
  EXPECT_EQ(values.Number(SettingId::kColour2), 0xD8E9EC);
  EXPECT_EQ(values.Number(SettingId::kFixedVsRandom), 400);
  const std::string bytes = Slurp(file);
  EXPECT_NE(bytes.find("nick=Plotrak\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("inny=zostaje\r\n"), std::string::npos);
}

TEST(SettingsFileTest, DamagedFilesReadWithoutCrashAndKeepTheirKeys) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 37 % 256);
  const std::string inputs[] = {
      binary,
      "no equals sign here\r\n[Chat\r\n]\r\n=\r\n==\r\n[Chat]\r\nnick\r\n",
      "[Chat]\r\nnick=Pierwszy\r\nnick=Drugi\r\n[chat]\r\nnick=Trzeci\r\n",
      std::string("[Chat]\r\nnick=A\0B\r\npokoj=po nul\r\n", 30),
      "\xEF\xBB\xBF[Chat]\nnick=Bom\n",
      std::string(300000, '['),
  };
  for (const std::string& input : inputs) {
    SettingsValues values;
    try {
      ReadSettingsFromBytes(input, values);
    } catch (const ConversionError&) {
    }
    const std::string out = SettingsFileBytes(input, true, values, false);
    SettingsValues again;
    ReadSettingsFromBytes(out, again);
    for (const SettingDef& def : SettingsTable())
      EXPECT_EQ(again.WrittenForm(def.id), values.WrittenForm(def.id)) << def.key;
  }
  SettingsValues values;
  ReadSettingsFromBytes(inputs[2], values);
  EXPECT_EQ(values.Text(SettingId::kChatNick), "Pierwszy");  // the first of duplicates
  ReadSettingsFromBytes(inputs[3], values);
  EXPECT_EQ(values.Text(SettingId::kChatRoom), "po nul");
  ReadSettingsFromBytes(inputs[4], values);
  EXPECT_EQ(values.Text(SettingId::kChatNick), "Bom");
}

TEST(SettingsFileTest, ALineBreakInAValueCannotForgeAKey) {
  SettingsValues values;
  values.SetText(SettingId::kChatNick, "Ala\r\n[komendy]\r\nwylacz komendy=1");
  SettingsValues read;
  ReadSettingsFromBytes(SettingsFileBytes("", false, values, false), read);
  EXPECT_FALSE(read.Flag(SettingId::kCommandsOff));
}

TEST(SettingsFileTest, UnwritableFileThrowsAndLeavesNoTemporaryFile) {
  ScratchDir dir;
  const auto file = dir.path() / "missing-folder" / "setup.ini";
  SettingsValues values;
  EXPECT_THROW(WriteSettings(file, values, false), std::runtime_error);
  const auto blocker = dir.path() / "setup.ini";
  std::filesystem::create_directory(blocker);  // rename cannot replace a folder
  EXPECT_THROW(WriteSettings(blocker, values, false), std::runtime_error);
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename(), "setup.ini");
}

TEST(IntegerTextTest, AcceptsTheClassicForms) {
  struct Case {
    const char* text;
    std::optional<int32_t> value;
  } cases[] = {{"0", 0},
               {"-12", -12},
               {"+7", 7},
               {"  5", 5},
               {"$FF", 255},
               {"0x10", 16},
               {"$80000005", static_cast<int32_t>(0x80000005u)},
               {"2147483647", 2147483647},
               {"-2147483648", INT32_MIN},
               {"2147483648", std::nullopt},
               {"$100000000", std::nullopt},
               {"", std::nullopt},
               {"-", std::nullopt},
               {"5 ", std::nullopt},
               {"1e3", std::nullopt},
               {"$", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace plotrak
