#include "engine/bot_command.h"

#include <gtest/gtest.h>

#include "engine/cp1250.h"
#include "engine/test_support.h"

namespace plotrak {
namespace {

class BotCommandTest : public ::testing::Test {
 protected:
  std::string Run(const std::string& utf8, bool chat = false) {
    return ToUtf8(BotCommand(t.engine, state, FromUtf8(utf8), chat));
  }
  testing::TestEngine t;
  BotCommandState state;
};

TEST_F(BotCommandTest, WholeTextIsTheCommandInAnyLetterCase) {
  for (const char* text : {"!info", "!INFO", "!Info", "!iNfO"})
    EXPECT_EQ(Run(text),
              "(http://www.plotrak.pl) Chatterbot Plotrak wersja 4.0 by Zefir "
              "(plotrak@plotrak.pl)")
        << text;
  for (const char* text : {" !info", "!info ", "!info proszę", "info", "!inf", ""})
    EXPECT_EQ(Run(text), "") << text;
}

TEST_F(BotCommandTest, ChatFormCarriesTheFormattingMarks) {
  EXPECT_EQ(Run("!info", true),
            "<b><#00D700>(http://www.plotrak.pl) Chatterbot <#006F00>Plotrak<#00D700> wersja"
            "<#006F00> 4.0<#00D700> by <#006F00>Zefir <#00D700>(plotrak@plotrak.pl)");
}

TEST_F(BotCommandTest, PlainBannerIsTheChatBannerWithoutMarks) {
  std::string chat = InfoBanner(true), plain;
  for (size_t i = 0; i < chat.size(); ++i) {
    if (chat[i] == '<') {
      i = chat.find('>', i);
      continue;
    }
    plain += chat[i];
  }
  EXPECT_EQ(plain, InfoBanner(false));
}

TEST_F(BotCommandTest, EveryCommandAnswersFromTheLiveState) {
  state.letterTime = "200";
  state.thinkTime = "1600";
  state.keepAlive = "45";
  state.chatAntiflood = "900";
  state.chatServer = "czat.example";
  state.chatPort = "14004";
  state.ggNumber = "123456";
  t.engine.base.baseVersion = "v7";
  t.status.Set(ChatBufferSizeLabel(), "Bufor antyflood: 3");
  t.status.Set(InChatBufferLabel(), FromUtf8("Tekstów w buforze: 2"));
  t.status.Set(SaidSumLabel(), FromUtf8("Powiedzianych tekstów(suma): 9"));
  t.status.Set(GgBufferSizeLabel(), "Bufor antyflood(gadu-gadu): 4");

  struct Case {
    const char* command;
    const char* off;
    const char* on;
  };
  const Case cases[] = {
      {"!LETERVALUE", "Czas pisania jednej litery 200", nullptr},
      {"!thinktime", "Czas zastanawiania się 1600", nullptr},
      {"!antydsc", "Wartość zabezpieczenia przed rozłączeniem  45", nullptr},
      {"!textonentry", "Brak tekstu przy wejściu nowego użytkownika",
       "Tekst na wejściu nowego użytkownika: </b>"},
      {"!chatbuforsize", "Bufor antyflood: 3", nullptr},
      {"!chatbuforvalue", "Wartość bufora antyflood 900", nullptr},
      {"!inchatbufor", "Tekstów w buforze: 2", nullptr},
      {"!chatconnect", "Nie połączony z Chatem",
       "Połączony z Chatem (serwer czat.example port 14004)"},
      {"!wwwconnect", "Serwer dla aplikacji flash na stronie WWW nie jest postawiony",
       "Serwer dla aplikacji flash na stronie WWW jest postawiony"},
      {"!ggconnect", "Nie połączony z Gadu-Gadu", "Połączony z Gadu-Gadu (numer 123456)"},
      {"!alltextsayd", "Powiedzianych tekstów(suma): 9", nullptr},
      {"!ggbuforsize", "Bufor antyflood(gadu-gadu): 4", nullptr},
      {"!baseversion", "v7", nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.command), c.off) << c.command;
  state.startOnEntry = state.chatConnected = state.wwwRunning = state.ggConnected = true;
  for (const Case& c : cases) {
    if (c.on) {
      EXPECT_EQ(Run(c.command), c.on) << c.command;
    }
  }
}

TEST_F(BotCommandTest, ChatBufferLineShowsItsInitialCaptionUntilRewritten) {
  t.status.Set(ChatBufferSizeLabel(), "Bufor antyflood(chat): 0");
  EXPECT_EQ(Run("!chatbuforsize"), "Bufor antyflood(chat): 0");
}

TEST_F(BotCommandTest, SwitchesSilenceOneCommandOrAll) {
  const char* names[kBotCommandCount] = {
      "!info",           "!alltextsayd", "!letervalue",  "!thinktime",   "!chatbuforsize",
      "!chatbuforvalue", "!inchatbufor", "!ggbuforsize", "!textonentry", "!antydsc",
      "!wwwconnect",     "!ggconnect",   "!chatconnect", "!baseversion"};
  t.engine.base.baseVersion = "v1";
  t.status.Set(ChatBufferSizeLabel(), "x");
  t.status.Set(InChatBufferLabel(), "x");
  t.status.Set(SaidSumLabel(), "x");
  t.status.Set(GgBufferSizeLabel(), "x");
  for (int i = 0; i < kBotCommandCount; ++i) {
    BotCommandState one;
    one.enabled[i] = false;
    for (int j = 0; j < kBotCommandCount; ++j) {
      const std::string answer = BotCommand(t.engine, one, names[j], false);
      EXPECT_EQ(answer.empty(), i == j) << names[i] << " off, asked " << names[j];
    }
  }
  state.allOff = true;
  for (const char* name : names) EXPECT_EQ(Run(name), "") << name;
}

}  // namespace
}  // namespace plotrak
