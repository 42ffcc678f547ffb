#include "applet/applet_server.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <future>

#include "applet/applet_test_support.h"
#include "applet/qt_test_support.h"
#include "applet/test_client.h"
#include "applet/www_conversation.h"

namespace plotrak {
namespace {

using namespace std::chrono_literals;
using testing::ClientResult;
using testing::ClientScript;
using testing::Pump;
using testing::PumpUntil;
using testing::RunClient;

class AppletServerTest : public ::testing::Test {
 protected:
  AppletServerTest() { t.Start(); }
  ClientResult Talk(ClientScript script) {
    return Pump(std::async(std::launch::async, [&] { return RunClient(server.port(), script); }));
  }
  ClientResult Talk(const std::string& request) { return Talk(ClientScript{{request}}); }
  const std::vector<std::string>& Traffic() { return t.app.model.wwwPage.tabs()[0].lines; }

  QCoreApplication& qt = testing::QtApplication();  // before any socket
  testing::StartedApp t{false, "[WWW]\r\nport=0\r\n[www]\r\nstawiaj serwer przy starcie=1\r\n"};
  AppletServer server{t.app};
};

TEST_F(AppletServerTest, StartsWithTheProgramAndStopsWithItsButton) {
  ASSERT_TRUE(t.started);
  EXPECT_TRUE(server.listening());
  EXPECT_EQ(t.app.model.lamp(Lamp::kWww), LampColour::kGreen);
  EXPECT_TRUE(t.app.CommandState().wwwRunning);
  t.app.hooks.disconnect["www"]();
  EXPECT_FALSE(server.listening());
  EXPECT_EQ(t.app.model.lamp(Lamp::kWww), LampColour::kGrey);
  EXPECT_FALSE(t.app.model.connected(Connection::kWww));

  // a port taken by somebody else, and a port that is no number, are failed starts
  QTcpServer other;
  ASSERT_TRUE(other.listen(QHostAddress::Any, 0));
  const std::string failure = FromUtf8("[### Błąd: nie mogę postawić serwera ###]");
  for (const std::string& port : {std::to_string(other.serverPort()), std::string("tysiac")}) {
    t.app.model.settings.SetText(SettingId::kWwwPort, port);
    t.app.hooks.connect["www"]();
    EXPECT_FALSE(server.listening()) << port;
    EXPECT_EQ(Traffic().back(), failure) << port;
    EXPECT_EQ(t.app.model.lamp(Lamp::kWww), LampColour::kGrey);
    EXPECT_FALSE(t.app.model.connected(Connection::kWww));
  }
  EXPECT_EQ(t.app.model.statusBar().rfind(FromUtf8("Błąd: "), 0), 0u);
}

TEST_F(AppletServerTest, AnswersEachRequestFormAndClosesAfterIt) {
  struct Case {
    ClientScript script;
    bool answered;
    std::string shown;  // the visitor's line in the page, after the time stamp
  };
  const Case cases[] = {
      {{{"co^20slychac^21&gosc1"}}, true, "[OD gosc1] co slychac?"},
      {{{"^24^24&x"}}, true, "[OD x] &&"},
      {{{"&abc"}}, true, "[OD abc] "},
      {{{"!info&abc"}}, true, "[OD abc] !info"},
      // a request in pieces is answered once its identifier has begun
      {{{"co^2", "0slychac^21", "&gosc2"}, 30ms}, true, "[OD gosc2] co slychac?"},
      // the client ending its side after a whole request still gets the answer
      {{{"czesc&pol"}, 0ms, true}, true, "[OD pol] czesc"},
      // no identifier: closed without an answer once the client ends its side
      {{{"tekst"}, 0ms, true}, false, ""},
      {{{"tekst&"}, 0ms, true}, false, ""},
      {{{"tekst&\x01\x02"}, 0ms, true}, false, ""},
      {{{}, 0ms, true}, false, ""},
  };
  for (const Case& c : cases) {
    const size_t before = Traffic().size();
    const int said = t.app.model.said(SaidChannel::kWww);
    const ClientResult result = Talk(c.script);
    const std::string label = c.script.pieces.empty() ? "(nothing)" : c.script.pieces[0];
    ASSERT_TRUE(result.connected);
    EXPECT_TRUE(result.closedByServer) << label;
    if (!c.answered) {
      EXPECT_EQ(result.received, "") << label;
      EXPECT_EQ(Traffic().size(), before) << label;
      EXPECT_EQ(t.app.model.said(SaidChannel::kWww), said) << label;
      continue;
    }
    ASSERT_EQ(Traffic().size(), before + 2) << label;
    EXPECT_EQ(Traffic()[before].substr(23), c.shown);
    // the answer on the wire is the one the page shows, a space for an empty one
    const std::string& answerLine = Traffic()[before + 1];
    const std::string answer = answerLine.substr(answerLine.find("] ", 23) + 2);
    EXPECT_EQ(result.received, AppletAnswerBytes(answer)) << label;
    EXPECT_EQ(t.app.model.said(SaidChannel::kWww), said + 1);
  }
  // two requests of one identifier share its tab
  EXPECT_EQ(t.app.model.wwwPage.FindTab("gosc1"), 1);
  Talk("czesc&gosc1");
  EXPECT_EQ(t.app.model.wwwPage.tabs()[1].lines.size(), 4u);
}

TEST_F(AppletServerTest, HostileClientsCostNothingButThemselves) {
  server.SetLimits({1024, 400, 40});
  // more than a request may carry: no answer, closed
  ClientScript huge{{std::string(4 << 20, 'a') + "&x"}};
  ClientResult result = Talk(huge);
  EXPECT_EQ(result.received, "");
  EXPECT_TRUE(result.closedByServer);
  // a reset in the middle of a request, and one right after a whole request (the answer
  // then goes to a dead socket: no signal may end the program)
  for (const char* request : {"pol", "czesc&znikam"}) {
    ClientScript reset{{request}};
    reset.reset = true;
    Talk(reset);
  }
  PumpUntil([this] { return server.openConnections() == 0; }, 1s);
  // a client that never finishes is cut at the deadline
  ClientScript slow{{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}, 100ms};
  result = Talk(slow);
  EXPECT_EQ(result.received, "");
  EXPECT_TRUE(result.closedByServer);

  // hundreds of idle connections: the oldest give way, and a visitor is still answered
  const uint16_t port = server.port();
  const std::vector<int> idle = Pump(std::async(std::launch::async, [port] {
    std::vector<int> fds;
    for (int i = 0; i < 300; ++i) fds.push_back(testing::OpenIdleConnection(port));
    return fds;
  }));
  result = Talk("czesc&gosc9");
  EXPECT_TRUE(result.closedByServer);
  EXPECT_FALSE(result.received.empty());
  EXPECT_LE(server.openConnections(), 40);
  // and the rest are gone after the deadline
  Pump(std::async(std::launch::async, [] {
    std::this_thread::sleep_for(600ms);
    return 0;
  }));
  EXPECT_EQ(server.openConnections(), 0);
  for (int fd : idle) {
    EXPECT_TRUE(testing::ServerClosed(fd, 0ms));
    testing::CloseConnection(fd);
  }
  // none of it showed anything but the two exchanges
  EXPECT_EQ(Traffic().size(), 4u);
}

}  // namespace
}  // namespace plotrak
