// Whole conversations through Respond with a small base that uses the script language.
#include <gtest/gtest.h>

#include "engine/respond.h"
#include "script/script_test_support.h"

namespace plotrak {
namespace {

class ScriptConversationTest : public ::testing::Test, public testing::ScriptEngine {
 protected:
  void SetUp() override {
    engine.names = {"OLA", "ANNA"};
    LoadMotherBase({
        {"$@JESTEM@$|IMIE&POBIERZ|", "|imie&czy_zmienil&true|Witaj |imie&PODAJ|!",
         "Nie znam takiego imienia."},
        {"$@ZAGRAJMY@$", "|gra&wylosuj|Wybrałem liczbę od 1 do 30. Zgaduj!"},
        {"$@@@$|CZY_MATH|", "|MATH&OK|Wynik: |MATH&WYNIK|", "|MATH&PRZYBLIZENIE|Około |MATH&WYNIK|",
         "|MATH&BLAD|Nie umiem tego policzyć.", "|MATH&ZADUZO|Za duże liczby."},
        {"$???$", "|gra&sprawdz&mniej|Mniej! (próba |gra&ktory_raz|)",
         "|gra&sprawdz&wiecej|Więcej! (próba |gra&ktory_raz|)",
         "|gra&sprawdz&dobrze|Brawo, za |gra&ktory_raz| razem!"},
    });
  }
  std::string Say(const std::string& text) {
    return ToUtf8(Respond(engine, "TY", FromUtf8(text), true, "prog"));
  }
  InterlocutorRecord& Me() { return engine.people[engine.people.FindInterlocutor("TY")]; }
};

TEST_F(ScriptConversationTest, CapturesFirstNameAndGreetsByIt) {
  EXPECT_EQ(Say("Cześć, jestem Ola"), "Witaj Ola!");
  EXPECT_EQ(Me().firstName, "OLA");
  EXPECT_EQ(Say("jestem nikim"), "Nie znam takiego imienia.");
}

TEST_F(ScriptConversationTest, PlaysTheGuessingGameToTheEnd) {
  EXPECT_EQ(Say("zagrajmy"), "Wybrałem liczbę od 1 do 30. Zgaduj!");
  const int secret = Me().guessNumber;
  ASSERT_GE(secret, 1);
  ASSERT_LE(secret, 30);
  int guessNo = 0;
  for (int low = 1, high = 30;;) {
    const int guess = (low + high) / 2;
    const std::string answer = Say(std::to_string(guess));
    ++guessNo;
    const std::string count = std::to_string(guessNo);
    if (guess > secret) {
      EXPECT_EQ(answer, "Mniej! (próba " + count + ")");
      high = guess - 1;
    } else if (guess < secret) {
      EXPECT_EQ(answer, "Więcej! (próba " + count + ")");
      low = guess + 1;
    } else {
      EXPECT_EQ(answer, "Brawo, za " + count + " razem!");
      break;
    }
    ASSERT_LT(guessNo, 6);
  }
}

TEST_F(ScriptConversationTest, AnswersArithmeticWithTheFourGuards) {
  EXPECT_EQ(Say("ile to 2 razy 3?"), "Wynik: 6");
  EXPECT_EQ(Say("a 1 przez 3"), "Około 0,3333");
  EXPECT_EQ(Say("3+4:0"), "Nie umiem tego policzyć.");
  EXPECT_EQ(Say("20000000000000*2"), "Za duże liczby.");
  EXPECT_EQ(Say("10 podzielic przez 4"), "Wynik: 2,5");
}

TEST_F(ScriptConversationTest, NumberWordsFollowTheSetting) {
  EXPECT_EQ(Say("ile to trzy razy cztery"), "Wynik: 12");
  engine.settings.numberWords = false;
  EXPECT_NE(Say("ile to trzy razy cztery"), "Wynik: 12");
  EXPECT_EQ(Say("ile to 3 razy 4"), "Wynik: 12");
  engine.settings.numberWords = true;
  EXPECT_EQ(Say("a dwa tysiące przez cztery"), "Wynik: 500");
}

TEST_F(ScriptConversationTest, ConversionErrorLeavesRespond) {
  LoadMotherBase({{"$@@@$|LOSUJ&SZESC|", "nigdy"}});
  EXPECT_THROW(Say("cokolwiek"), std::runtime_error);
}

}  // namespace
}  // namespace plotrak
