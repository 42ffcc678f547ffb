#include "script/answer_script.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "script/conversion_error.h"
#include "script/script_call.h"
#include "script/script_test_support.h"

namespace plotrak {
namespace {

class AnswerScriptTest : public ::testing::Test, public testing::ScriptEngine {
 protected:
  std::string Expand(const std::string& templ, const std::string& input = "") {
    return ExpandAnswer(engine, FromUtf8(templ), kSpeaker, input);
  }
  bool Key(const std::string& key, const std::string& input = "") {
    return CheckKeyConditions(engine, key, kSpeaker, input);
  }
  InterlocutorRecord& Person() {
    return engine.people[engine.people.FindOrAddInterlocutor(kSpeaker)];
  }
  const std::string kSpeaker = "ala";
};

TEST_F(AnswerScriptTest, ScannerKeepsTextAndReplacesCalls) {
  engine.base.baseVersion = "2.7";
  engine.stats.startedSinceStart = 12;
  engine.stats.startedToday = 3;
  engine.uptimeSeconds = 3725;
  struct {
    const char* templ;
    const char* expected;
  } cases[] = {
      {"", ""},
      {"zwykły tekst", "zwykły tekst"},
      {"a||b", "ab"},
      {"a|nieznana|b", "ab"},
      {"a|nieznana&x&y|b", "ab"},
      {"Jest |zegarynka|.", "Jest 09:05."},
      {"|Zegarynka|", ""},  // exact names only in lower case
      {"|kalendarz|", "2004-03-07"},
      {"|dzien_tygodnia|, |dni_do&12-24|, |dni_do&03-08|, |wielkanoc|",
       "niedziela, 292 dni, 1 dzień, 11 kwietnia 2004"},
      {"[|dni_do&13-01|][|dni_do|]", "[][]"},  // no such date: nothing
      {"|WERSJA|/|wersja|/|WeRsJa|", "2.7/2.7/2.7"},
      {"|ROZMAWIAL| |ROZMAWIAL_DZIS|", "12 3"},
      {"|ILE_DZIALA|", "godzin 1 minut 2 sekund 5"},
      {"tekst |zegarynka", "tekst "},  // a call left open at the end is dropped
      {"a|", "a"},
      {"a|&", "a"},
      {"a|&|b", "ab"},
  };
  for (const auto& c : cases) EXPECT_EQ(Expand(c.templ), FromUtf8(c.expected)) << c.templ;
}

TEST(CalendarCallsTest, WeekdayDaysLeftAndEasterOnTheCalendar) {
  const struct {
    LocalTime now;
    const char* weekday;
    const char* untilLastDay;  // of the year
    const char* easter;
  } cases[] = {
      {{2024, 1, 1}, "poniedziałek", "365 dni", "31 marca 2024"},     // a leap year
      {{2025, 4, 21}, "poniedziałek", "254 dni", "5 kwietnia 2026"},  // the day after Easter
      {{2026, 12, 8}, "wtorek", "23 dni", "28 marca 2027"},
      {{2026, 12, 31}, "czwartek", "0 dni", "28 marca 2027"},
      {{2038, 4, 25}, "niedziela", "250 dni", "25 kwietnia 2038"},  // Easter today, the latest
      {{2285, 1, 1}, "czwartek", "364 dni", "22 marca 2285"},       // the earliest
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WeekdayText(c.now), FromUtf8(c.weekday)) << c.now.year;
    EXPECT_EQ(DaysUntilText(c.now, "12-31"), c.untilLastDay) << c.now.year;
    EXPECT_EQ(NextEasterText(c.now), c.easter) << c.now.year;
  }
  EXPECT_EQ(DaysUntilText({2026, 12, 31}, "01-01"), FromUtf8("1 dzień"));  // next year's
  EXPECT_EQ(WeekdayText({2026, 12, 31}, "jutro"), FromUtf8("piątek"));     // across the year
  EXPECT_EQ(WeekdayText({2024, 3, 1}, "wczoraj"), FromUtf8("czwartek"));   // 29 February
  for (const char* bad : {"", "12", "00-10", "02-30", "12-24x", "ab-cd"})
    EXPECT_EQ(DaysUntilText({2026, 12, 8}, bad), "") << bad;
}

TEST_F(AnswerScriptTest, FailedConditionEmptiesAnswerButEarlierEffectsStay) {
  Person().firstName = "JAN";
  EXPECT_EQ(Expand("Cześć |imie&PODAJ||TEMAT&sport||CZY_KOBIETA&true| |TEMAT&inny|"), "");
  EXPECT_EQ(Person().topic, "sport");
  Person().female = 1;
  EXPECT_EQ(Expand("Cześć |imie&PODAJ||CZY_KOBIETA&true|"), FromUtf8("Cześć Jan"));
  EXPECT_EQ(Expand("|CZY_KOBIETA&TRUE|x"), "");  // only lower-case "true" asks for a woman
}

TEST_F(AnswerScriptTest, FourthArgumentIsDropped) {
  Person().age = 3;
  EXPECT_EQ(Expand("|TEMAT&a&b&c&d|ok|WIEK3&CZY_JEST&1&5&nie-liczba|"), "ok");
  EXPECT_EQ(Person().topic, "a");
}

TEST_F(AnswerScriptTest, KeyArgumentsLiveOnToTheNextCall) {
  EXPECT_TRUE(Key("$@$|TEMAT&SPORT||OSTATNI|"));
  EXPECT_EQ(Person().lastMarker, "SPORT");
  EXPECT_TRUE(engine.script.lastMarkerSet);
  Expand("|TEMAT&sport||OSTATNI|");
  EXPECT_EQ(Person().lastMarker, "");
}

TEST_F(AnswerScriptTest, KeyStopsAtFirstFailingCondition) {
  EXPECT_FALSE(Key("$@$|CZY_TEMAT&SPORT||LOSUJ&6|"));
  EXPECT_EQ(Person().drawnNumber, 0);
  Person().topic = "sport";
  EXPECT_TRUE(Key("$@$|CZY_TEMAT&SPORT||LOSUJ&6|"));
  EXPECT_GE(Person().drawnNumber, 1);
  EXPECT_LE(Person().drawnNumber, 6);
  EXPECT_TRUE(Key("|CZY_TEMAT&SPORT|$@$|nieznana|"));
}

TEST_F(AnswerScriptTest, NonNumericWholeNumberRaisesConversionError) {
  try {
    Expand("|TEMAT&x||CZY_LOSUJ&abc|");
    FAIL() << "no error";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(Person().topic, "x");
  EXPECT_THROW(Key("|UCZUCIA&DODAJ&PIEC|"), ConversionError);
  EXPECT_THROW(Key("|CZY_UCZUCIA&1&|"), ConversionError);
  EXPECT_THROW(Key("|LOSUJ& 6|"), ConversionError);
  EXPECT_THROW(Expand("|czy_uczucia&0x10&60|"), ConversionError);
  EXPECT_NO_THROW(Key("|UCZUCIA&PODAJ|"));  // no amount needed
}

TEST_F(AnswerScriptTest, FirstNameCaptureTakesFirstListEntryInsideInput) {
  engine.names = {"", "OLA", "ALEKSANDRA", "ANNA"};
  EXPECT_TRUE(Key("|IMIE&POBIERZ|", "JESTEM KAROLA"));
  EXPECT_EQ(Person().firstName, "OLA");
  EXPECT_TRUE(engine.script.nameCaptured);
  EXPECT_TRUE(Key("|IMIE&POBIERZ|", "TU ALEKSANDRA"));
  EXPECT_EQ(Person().firstName, "ALEKSANDRA");
  EXPECT_TRUE(Key("|IMIE&POBIERZ|", "NIKT"));
  EXPECT_EQ(Person().firstName, "ALEKSANDRA");
  EXPECT_FALSE(engine.script.nameCaptured);
  Person().firstName = "ANNA";
  EXPECT_EQ(Expand("|imie&PODAJ|/|imie&podaj|"), "Anna/Anna");
  // With the list's spellings, the name comes back with its Polish letters.
  engine.names.push_back("LUKASZ");
  engine.nameSpellings = {"", "Ola", "Aleksandra", "Anna", FromUtf8("Łukasz")};
  EXPECT_TRUE(Key("|IMIE&POBIERZ|", "TU LUKASZ"));
  EXPECT_EQ(Expand("|imie&PODAJ|"), FromUtf8("Łukasz"));
}

TEST_F(AnswerScriptTest, FirstNameTests) {
  struct {
    bool known, captured;
    const char* templ;
    bool passes;
  } cases[] = {
      {true, true, "|imie&czy_jest&true|", true},
      {true, true, "|imie&czy_jest&false|", false},
      {false, true, "|imie&czy_jest&false|", true},
      {false, true, "|imie&czy_jest&true|", false},
      {true, true, "|imie&czy_jest&tak|", false},
      {true, true, "|imie&CZY_JEST&true|", true},
      {true, true, "|imie&czy_zmienil&true|", true},
      {true, false, "|imie&czy_zmienil&true|", false},
      {true, false, "|imie&czy_zmienil&nie|", true},
      {false, false, "|imie&czy_zmienil&false|", true},
      {false, false, "|imie&czy_zmienil&true|", false},
  };
  // "CZY_JEST" in capitals is not the exact selector: the call does nothing and passes.
  for (const auto& c : cases) {
    Person().firstName = c.known ? "ANNA" : "";
    engine.script.nameCaptured = c.captured;
    EXPECT_EQ(Expand(std::string(c.templ) + "x"), c.passes ? "x" : "") << c.templ;
  }
  EXPECT_EQ(ExpandAnswer(engine, "|imie&PODAJ|x", "nobody", ""), "x");
  EXPECT_EQ(engine.people.FindInterlocutor("nobody"), 0);  // reading creates no record
}

TEST_F(AnswerScriptTest, MoodChangesOncePerMessage) {
  Person().mood = 50;
  Person().moodMax = 100;
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Key("|UCZUCIA&DODAJ&5|"));
  EXPECT_EQ(Person().mood, 55);
  Person().moodChangedThisTurn = 0;
  EXPECT_TRUE(Key("|UCZUCIA&ODEJMIJ&20|"));
  EXPECT_EQ(Person().mood, 35);
  Person().moodChangedThisTurn = 0;
  EXPECT_FALSE(Key("|UCZUCIA&ODEJMIJ&1000|"));  // stops at 0, and 0 fails the key
  EXPECT_EQ(Person().mood, 0);
  Person().moodChangedThisTurn = 0;
  Person().mood = 90;
  EXPECT_TRUE(Key("|UCZUCIA&DODAJ&2147483647|"));  // capped by moodMax, no wrap-around
  EXPECT_EQ(Person().mood, 100);
  Person().moodChangedThisTurn = 0;
  EXPECT_EQ(Expand("|UCZUCIA&podaj|"), "100");
  EXPECT_TRUE(Person().moodChangedThisTurn);
}

TEST_F(AnswerScriptTest, MoodLimitOnlyGoesDown) {
  Person().mood = 50;
  Person().moodMax = 100;
  EXPECT_TRUE(Key("|UCZUCIA&MAX&40|"));
  EXPECT_EQ(Person().mood, 40);
  EXPECT_EQ(Person().moodMax, 40);
  EXPECT_TRUE(Key("|UCZUCIA&MAX&120|"));
  EXPECT_EQ(Person().moodMax, 40);
}

TEST_F(AnswerScriptTest, MoodRangeExcludesLowerBound) {
  struct {
    int mood;
    bool holds;
  } cases[] = {{50, false}, {51, true}, {60, true}, {61, false}};
  for (const auto& c : cases) {
    Person().mood = c.mood;
    EXPECT_EQ(Key("|CZY_UCZUCIA&50&60|"), c.holds) << c.mood;
    EXPECT_EQ(Expand("|czy_uczucia&50&60|x"), c.holds ? "x" : "") << c.mood;
  }
}

TEST_F(AnswerScriptTest, AgeCaptureAndRange) {
  EXPECT_TRUE(Key("|WIEK2&POBIERZ|", "MAM 17 LAT I 3 MIESIACE"));
  EXPECT_EQ(Person().age, 17);
  EXPECT_TRUE(Key("|WIEK2&POBIERZ|", "BEZ LICZB"));
  EXPECT_EQ(Person().age, 17);
  EXPECT_TRUE(Key("|WIEK2&POBIERZ|", "MAM 99999999999 LAT"));
  EXPECT_EQ(Person().age, 0);
  Person().age = 17;
  EXPECT_EQ(Expand("|WIEK3&CZY_JEST&13&17|ok |wiek3&podaj|"), "ok 17");
  EXPECT_EQ(Expand("|WIEK3&CZY_JEST&18&99|ok"), "");
  EXPECT_EQ(Expand("|WIEK_KASUJ||WIEK3&CZY_JEST&18&99|ok"), "ok");
  EXPECT_EQ(Person().age, 0);
}

TEST_F(AnswerScriptTest, MarkerTopicAndGenderInKeys) {
  Person().lastMarker = "sport";
  Person().topic = "Muzyka";
  EXPECT_TRUE(Key("|CZY_OSTATNI&SPORT||CZY_TEMAT&MUZYKA|"));
  EXPECT_FALSE(Key("|CZY_OSTATNI&FILM|"));
  EXPECT_TRUE(Key("|KOBIETA&TRUE|"));
  EXPECT_TRUE(Person().female);
  EXPECT_TRUE(Key("|KOBIETA&NIE|"));
  EXPECT_FALSE(Person().female);
  EXPECT_TRUE(Key("|ZEROWE_OPOZNIENIE|"));
  EXPECT_TRUE(Person().zeroDelay);
  Person().repeatCount = 2;
  EXPECT_TRUE(Key("|CZY_POWTORZYL&2|"));
  EXPECT_FALSE(Key("|CZY_POWTORZYL&02|"));
}

TEST_F(AnswerScriptTest, DrawAndTestDrawnNumber) {
  Person().drawnNumber = 3;
  EXPECT_EQ(Expand("|CZY_LOSUJ&3|trzy"), "trzy");
  EXPECT_EQ(Expand("|CZY_LOSUJ&+3|trzy"), "trzy");
  EXPECT_EQ(Expand("|CZY_LOSUJ&4|cztery"), "");
}

TEST_F(AnswerScriptTest, GuessingGameVerdicts) {
  Person().guessNumber = 12;
  struct {
    const char* input;
    const char* verdict;
    int triesAfter;
  } cases[] = {
      {"15", "mniej", 1},     {"7", "wiecej", 2},           {"1 2", "dobrze", 3},
      {"NIE WIEM", "zle", 3}, {"99999999999999", "zle", 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Expand(std::string("|gra&sprawdz&") + c.verdict + "|ok", c.input), "ok") << c.input;
    EXPECT_EQ(Person().guessTries, c.triesAfter) << c.input;
  }
  // A rejected answer takes back its two counts.
  EXPECT_EQ(Expand("|gra&sprawdz&dobrze|ok", "20"), "");
  EXPECT_EQ(Person().guessTries, 3);
  EXPECT_EQ(Expand("|gra&podaj|", "A 1 B 2"), "12");
}

TEST(GuessNumberOfTryTest, MapsTwoOrThreeExpansionsPerGuess) {
  const int expected[] = {0, 0, 1, 1, 2, 2, 3, 3};
  for (int tries = 0; tries < 8; ++tries) EXPECT_EQ(GuessNumberOfTry(tries), expected[tries]);
}

TEST_F(AnswerScriptTest, GameDrawResetsTries) {
  Person().guessTries = 7;
  EXPECT_EQ(Expand("|gra&wylosuj|zgaduj"), "zgaduj");
  EXPECT_GE(Person().guessNumber, 1);
  EXPECT_LE(Person().guessNumber, 30);
  EXPECT_EQ(Person().guessTries, 0);
  EXPECT_EQ(Expand("|GRA&wylosuj|x|gra&WYLOSUJ|"), "x");  // exact spellings only
}

TEST_F(AnswerScriptTest, EndOfConversationInTwoMessagesSilences) {
  Expand("Pa|KONIEC_ROZMOWY|");
  EXPECT_TRUE(Person().ended);
  EXPECT_FALSE(Person().silenced);
  // Regression: the chosen answer is expanded again for the returned text; within one
  // message that must not count as a second farewell.
  Expand("Pa|KONIEC_ROZMOWY|");
  EXPECT_FALSE(Person().silenced);
  Person().endedThisTurn = 0;  // the next message
  Expand("|koniec_rozmowy|");
  EXPECT_TRUE(Person().silenced);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(AnswerScriptTest, MailCaptureSavesEachAddressOnce) {
  EXPECT_TRUE(Key("|MAIL&POBIERZ|", "MOJ ADRES JAN@WP.PL NAPISZ"));
  EXPECT_EQ(Person().email, "jan@wp.pl");
  EXPECT_TRUE(Key("|MAIL&POBIERZ|", "JESZCZE RAZ Jan@Wp.Pl"));
  EXPECT_TRUE(Key("|MAIL&POBIERZ|", "@OLA"));
  EXPECT_EQ(ReadFile(dir / "emaile.txt"), "jan@wp.pl\r\n@ola\r\n");
  EXPECT_EQ(engine.script.savedEmailCount, 2);
  EXPECT_EQ(status.Get(FromUtf8("Zapisanych adresów e-mail: ")),
            FromUtf8("Zapisanych adresów e-mail: 2"));
  EXPECT_EQ(Expand("|MAIL&CZY_JEST&true||MAIL&PODAJ|"), "@ola");
  EXPECT_TRUE(Key("|MAIL&POBIERZ|", "BEZ ADRESU"));
  EXPECT_EQ(Person().email, "");
  EXPECT_EQ(Expand("|MAIL&CZY_JEST&false|brak"), "brak");
}

TEST_F(AnswerScriptTest, MailAddressIsNotGluedToAnUnterminatedLastLine) {
  std::ofstream(dir / "emaile.txt", std::ios::binary) << "stary@adres.pl";
  engine.settings.saveEmails = true;
  EXPECT_TRUE(Key("|MAIL&POBIERZ|", "NOWY@ADRES.PL"));
  EXPECT_EQ(ReadFile(dir / "emaile.txt"), "stary@adres.pl\r\nnowy@adres.pl\r\n");
}

TEST_F(AnswerScriptTest, MailSwitchOffWritesNoFile) {
  engine.settings.saveEmails = false;
  EXPECT_TRUE(Key("|MAIL&POBIERZ|", "A@B"));
  EXPECT_EQ(Person().email, "a@b");
  EXPECT_FALSE(std::filesystem::exists(dir / "emaile.txt"));
}

TEST_F(AnswerScriptTest, ArithmeticGuards) {
  const char* kAnswer = "|MATH&OK|ok |MATH&WYNIK|";
  struct {
    const char* input;
    const char* ok;
    const char* approximate;
    const char* error;
    const char* tooLarge;
  } cases[] = {
      {"2 razy 3", "ok 6", "", "", ""}, {"1 przez 3", "", "~0,3333", "", ""},
      {"3+4:0", "", "", "blad $", ""},  {"20000000000000*2", "", "", "", "duzo"},
      {"czesc", "", "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Expand(kAnswer, c.input), c.ok) << c.input;
    EXPECT_EQ(Expand("|MATH&PRZYBLIZENIE|~|MATH&WYNIK|", c.input), c.approximate) << c.input;
    EXPECT_EQ(Expand("|math&blad|blad |MATH&wynik|", c.input), c.error) << c.input;
    EXPECT_EQ(Expand("|MATH&ZADUZO|duzo", c.input), c.tooLarge) << c.input;
    EXPECT_EQ(Expand("|MATH&INNE|x", c.input), "") << c.input;
    EXPECT_EQ(Key("|CZY_MATH|", c.input), std::string(c.input) != "czesc") << c.input;
  }
}

TEST_F(AnswerScriptTest, BotAgeFromTheClock) {
  clock.time = LocalTime{2006, 5, 4, 12, 0, 0};  // 1000 days after 8 August 2003
  EXPECT_EQ(Expand("|wiek&LAT| lat i |wiek&reszta| dni"), "2 lat i 269 dni");
  EXPECT_EQ(Expand("|WIEK&LAT||wiek&inne|"), "");
}

TEST(BotAgeTest, YearsAndRemainingDays) {
  EXPECT_EQ(BotAgeYears(1000), 2);
  EXPECT_EQ(BotAgeRest(1000), 269);
  EXPECT_EQ(BotAgeYears(730), 1);
  EXPECT_EQ(BotAgeRest(730), 364);
  // On the calendar: 8 August 2003 to 7 December 2026 is 23 years and 121 days (six leap
  // days lie between), and a birthday starts a new year that day.
  EXPECT_EQ(BotAgeYears(8522), 23);
  EXPECT_EQ(BotAgeRest(8522), 121);
  EXPECT_EQ(BotAgeYears(8401), 23);  // 8 August 2026
  EXPECT_EQ(BotAgeRest(8401), 0);
  EXPECT_EQ(BotAgeYears(8400), 22);
  EXPECT_EQ(BotAgeRest(8400), 364);
  EXPECT_EQ(BotAgeDays(LocalTime{2003, 8, 8, 23, 59, 59}), 0);
  EXPECT_EQ(BotAgeDays(LocalTime{2006, 5, 4, 12, 0, 0}), 1000);
  EXPECT_EQ(BotAgeDays(LocalTime{2003, 8, 7, 12, 0, 0}), 0);  // half a day before birth
}

}  // namespace
}  // namespace plotrak
