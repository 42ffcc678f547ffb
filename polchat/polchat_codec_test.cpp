#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "engine/cp1250.h"
#include "polchat/polchat_protocol.h"
#include "polchat/polchat_texts.h"

namespace plotrak::polchat {
namespace {

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

// A session whose writes are recorded and whose events are logged as text.
class Recorder : public PolchatProtocol {
 public:
  Recorder() {
    OnErrorMsg = [this](PolchatProtocol&, const std::string& t) { Log("error " + t); };
    OnPing = [this](PolchatProtocol&) { Log("ping"); };
    OnMsgMain = [this](PolchatProtocol&, const std::string& t, const std::string&) {
      Log("main " + t);
    };
    OnMsgPriv = [this](PolchatProtocol&, const std::string& t, const std::string& n,
                       const std::string& o) { Log("priv " + t + "|" + n + "|" + o); };
    OnEntrance = [this](PolchatProtocol&, const std::string& t, const std::string&) {
      Log("in " + t);
    };
    OnDeparture = [this](PolchatProtocol&, const std::string& t, const std::string&) {
      Log("out " + t);
    };
    OnStatusChange = [this](PolchatProtocol&, const std::string& t, const std::string&) {
      Log("status " + t);
    };
    OnNicksRcvd = [this](PolchatProtocol&, const std::string&, const std::string&) {
      Log("nicks");
    };
    OnRoomInfo = [this](PolchatProtocol&, const std::string& d, const std::string& r) {
      Log("room " + r + "|" + d);
    };
    OnRoomLeave = [this](PolchatProtocol&, const std::string& t) { Log("leave " + t); };
    OnPreferencesRcvd = [this](PolchatProtocol&) { Log("prefs"); };
    OnServerPrefs = [this](PolchatProtocol&) { Log("serverprefs"); };
  }
  bool GetConnected() const override { return connected; }
  bool SendRaw(const std::string& frames) override {
    sent += frames;
    return true;
  }
  void Log(const std::string& line) { events.push_back(line); }
  void Feed(const std::string& frame) { ASSERT_TRUE(Receive(frame)); }

  bool connected = false;
  std::string sent;
  std::vector<std::string> events;
};

TEST(PolchatPackets, SentFramesAreByteExact) {
  struct Case {
    const char* name;
    std::function<void(Recorder&)> act;
    const char* hex;
  } cases[] = {
      {"text kind 0", [](Recorder& r) { r.WyslijMsg("abc", 0); },
       "00 00 00 10 00 01 00 01 01 9A 00 03 61 62 63 00"},
      {"text kind 2", [](Recorder& r) { r.WyslijMsg("", 2); },
       "00 00 00 0D 00 01 00 01 05 8D 00 00 00"},
      {"bad kind", [](Recorder& r) { r.WyslijMsg("x", 3); }, ""},
      {"bold", [](Recorder& r) { r.ZmienStatus(true); }, "00 00 00 0C 00 02 00 00 05 82 00 01"},
      {"ping answer", [](Recorder& r) { r.Feed(Frame(std::string("\0\1\0\0\0\1", 6))); },
       "00 00 00 08 00 00 00 00"},
      {"room list request", [](Recorder& r) { r.PoprosListe("\xB9"); },  // ą in Windows-1250
       "00 00 00 11 00 02 00 01 01 9B 00 07 00 02 C4 85 00"},
      {"join while connected",
       [](Recorder& r) {
         r.connected = true;
         r.SetRoom("a");
       },
       "00 00 00 14 00 01 00 01 01 9A 00 07 2F 6A 6F 69 6E 20 61 00"},
  };
  for (const Case& c : cases) {
    Recorder r;
    c.act(r);
    EXPECT_EQ(Hex(r.sent), c.hex) << c.name;
  }
  Recorder r;
  r.SetRoom("pokoj");  // not connected: only stored
  EXPECT_EQ(r.sent, "");
  EXPECT_EQ(r.Room(), "pokoj");
}

TEST(PolchatPackets, LoginAndPreferencesCarryTheirStrings) {
  Recorder r;
  r.Nick = "Bot";
  r.SetPassword("tajne");
  r.SetRoom("\xB9");
  r.Encoding = true;
  r.Link = "http://x/";
  r.Server = "srv";
  EXPECT_EQ(r.LoginFrame(), BuildFrame({1400}, {"Bot", "tajne", "", "\xC4\x85", "http://x/", "srv",
                                                "nlst=1&nnum=1&jlmsg=true&ignprv=false"}));
  r.SetPrefs();
  EXPECT_EQ(r.sent, BuildFrame({1411}, {"fn=Helvetica&fs=14&igncol=0&ignimg=0&jlmsg=1&beepnew=0&"
                                        "ignprv=0&sepwin=1",
                                        "tajne"}) +
                        BuildFrame({1417}, {"nlst=1&nnum=1&jlmsg=true&ignprv=false"}));
}

TEST(PolchatPackets, UserPreferenceSettersFollowConnectionAndFontRule) {
  Recorder r;
  r.UserPrefs.SetFontName("Arial");
  EXPECT_EQ(r.UserPrefs.FontName(), "Helvetica");
  r.UserPrefs.SetFontName("COURIER NEW");
  EXPECT_EQ(r.UserPrefs.FontName(), "COURIER NEW");
  EXPECT_EQ(r.sent, "");  // not connected: stored only
  r.connected = true;
  r.AutoSendPrefs = true;
  r.UserPrefs.SetFontSize(20);
  EXPECT_NE(r.sent.find("fs=20"), std::string::npos);
}

TEST(PolchatReassembly, FramesSplitOrJoinedAnywhereAreDispatchedOnceInOrder) {
  const std::string stream = BuildFrame({611}, {"hej", "Ala"}) + BuildFrame({1}, {}) +
                             BuildFrame({610}, {"<b>Ola</b>: czesc"});
  const std::vector<std::string> expected = {"priv hej|Ala|", "ping", "main <b>Ola</b>: czesc"};
  for (size_t a = 0; a <= stream.size(); ++a) {
    for (size_t b = a; b <= stream.size(); b += 3) {
      Recorder r;
      r.Feed(stream.substr(0, a));
      r.Feed(stream.substr(a, b - a));
      r.Feed(stream.substr(b));
      ASSERT_EQ(r.events, expected) << a << " " << b;
    }
  }
}

TEST(PolchatReassembly, ImpossibleLengthFieldsBreakTheStreamWithoutBuffering) {
  for (uint32_t length : {0u, 3u, 7u, kMaxFrameLength + 1, 0xFFFFFFFFu}) {
    FrameReassembler reassembler;
    std::string bytes = {static_cast<char>(length >> 24), static_cast<char>(length >> 16),
                         static_cast<char>(length >> 8), static_cast<char>(length)};
    int payloads = 0;
    EXPECT_FALSE(reassembler.Feed(BuildFrame({1}, {}) + bytes + std::string(100, 'x'),
                                  [&](std::string_view) { ++payloads; }))
        << length;
    EXPECT_EQ(payloads, 1);  // the good frame before it still counts
    EXPECT_EQ(reassembler.pending(), 0u);
    EXPECT_FALSE(reassembler.Feed(BuildFrame({1}, {}), [&](std::string_view) { ++payloads; }));
  }
  // a short payload (no opcode) is not an error, just nothing
  Recorder r;
  r.Feed(std::string("\0\0\0\x08\0\0\0\0", 8));
  r.Feed(std::string("\0\0\0\x09\0\0\0\0\x02", 9));
  EXPECT_TRUE(r.events.empty());
}

TEST(PolchatDispatch, ServerPacketsKeepThePeopleListAndRoom) {
  Recorder r;
  r.Feed(BuildFrame({615, 0x0102}, {"Zosia"}));
  r.Feed(BuildFrame({619, 0, 0, 0, 0, 0x0101, 0x0202, 3, 4, 0x1FF, 0}, {"Ala", "Ab", "Ola"}));
  ASSERT_EQ(r.Il_Osob(), 3);
  EXPECT_EQ(r.Nicks().entries()[1].second.NickKey, "6162");
  EXPECT_EQ(r.Nicks().entries()[2].second.Status1, 0xFF);
  r.Feed(BuildFrame({617, 9}, {"Ala"}));
  EXPECT_EQ(r.Nicks().entries()[0].second.Status1, 9);
  r.Feed(BuildFrame({616}, {"Ab"}));
  r.Feed(BuildFrame({616}, {"Nikt"}));
  EXPECT_EQ(r.Il_Osob(), 2);
  r.Feed(BuildFrame({615, 0x0305}, {"Ewa"}));
  EXPECT_EQ(r.Nicks().entries()[2].second.Status1, 5);
  r.Feed(BuildFrame({625, 0}, {"Pok\xC3\xB3j", "opis"}));
  EXPECT_EQ(r.Current_room(), FromUtf8("Pokój"));
  r.Feed(BuildFrame({611}, {"a", "b", "c"}));
  r.Feed(BuildFrame({631}, {"wyszedles"}));
  EXPECT_EQ(r.Il_Osob(), 0);
  EXPECT_EQ(r.Current_room(), "");
  r.Feed(BuildFrame({65535}, {"Kick"}));
  EXPECT_EQ(r.disconnectReason(), "Kick");
  const std::vector<std::string> expected = {"in Zosia",
                                             "nicks",
                                             "status Ala",
                                             "out Ab",
                                             "error " + UnknownNickText(616, "Nikt"),
                                             "out Nikt",
                                             "in Ewa",
                                             "room " + FromUtf8("Pokój") + "|opis",
                                             "priv a|b|c",
                                             "leave wyszedles</font>"};
  EXPECT_EQ(r.events, expected);
}

TEST(PolchatDispatch, PreferencePacketsTakeOnlyWhatTheyCarry) {
  Recorder r;
  r.Feed(BuildFrame({614}, {"FN=Courier New&fs=11&beep=1&beepnew=0&jlmsg="}));
  EXPECT_EQ(r.UserPrefs.FontName(), "Courier New");
  EXPECT_EQ(r.UserPrefs.FontSize(), 11);
  EXPECT_TRUE(r.UserPrefs.BeepNew());
  EXPECT_TRUE(r.UserPrefs.JoinLeaveMsg());
  EXPECT_EQ(r.sent, "");
  // server settings: colours, guests, flags; categories after the first "/"
  r.Feed(BuildFrame({626},
                    {"color_op=#FF8000&color_guest=#000001 #0000FF&room_creation=0", "/A/ /B/"}));
  EXPECT_EQ(r.ServerPrefs().color_op, 0x000080FFu);
  EXPECT_EQ(r.ServerPrefs().guestColours, (std::vector<uint32_t>{0x010000, 0xFF0000}));
  EXPECT_FALSE(r.ServerPrefs().room_creation);
  EXPECT_EQ(r.ServerPrefs().Categories, "/A/ /B/");
  EXPECT_EQ(r.events, (std::vector<std::string>{"prefs", "serverprefs"}));
}

TEST(PolchatDispatch, UndecodablePacketsReportTheirLabelAndGoOn) {
  struct Case {
    uint16_t opcode;
    const char* error;
  } cases[] = {{610, "jest blad w Main"},     {611, "jest blad w Priv"},
               {613, "jest blad w RoomList"}, {614, "jest blad w UserPrefs"},
               {615, "Blad w Entrance"},      {616, "Blad w Departure"},
               {617, "Blad w Status1"},       {618, "Blad w Status2"},
               {625, "Blad w RoomInfo"},      {626, "Sa bledy w ExtPrefs cz.1"},
               {630, "jest blad w Wchodze"},  {631, "jest blad w Wychodze"},
               {1420, "jest blad w Moderuj"}, {65535, "jest blad w Rozlacz"}};
  for (const Case& c : cases) {
    Recorder r;
    // a string length that runs past the payload
    r.Feed(Frame(BuildPayload({c.opcode}, {}) + std::string("\x7F\xFF", 2) + "abc"));
    ASSERT_FALSE(r.events.empty()) << c.opcode;
    EXPECT_EQ(r.events[0], std::string("error ") + c.error) << c.opcode;
  }
  Recorder r;
  // the second name runs past the payload
  const std::string people = BuildPayload({619, 0, 0, 0, 0, 1, 1, 2, 2}, {"Ala", "Ola"});
  r.Feed(Frame(people.substr(0, people.size() - 3)));
  EXPECT_EQ(r.events, (std::vector<std::string>{"error Blad w People", "nicks"}));
  EXPECT_EQ(r.Il_Osob(), 1);
  r.events.clear();
  r.Feed(BuildFrame({626}, {"color_op=zielony"}));  // a bad colour, no categories
  EXPECT_EQ(r.events, (std::vector<std::string>{"error Sa bledy w ExtPrefs cz.2",
                                                "error Sa bledy w ExtPrefs cz.3", "serverprefs"}));
}

TEST(PolchatDispatch, TriggerPhraseInTheRoomSendsTheBanner) {
  Recorder r;
  r.Feed(BuildFrame({610}, {"<b>Ala</b>: " + TriggerPhrase()}));
  EXPECT_EQ(r.sent, BuildFrame({410}, {IdentificationBanner()}));
  r.sent.clear();
  r.Feed(BuildFrame({610}, {TriggerPhrase()}));  // not said after a nickname
  EXPECT_EQ(r.sent, "");
}

TEST(PolchatTexts, ColoursAndCutString) {
  EXPECT_EQ(ColourFromText("#FF8000"), 0x000080FFu);
  EXPECT_EQ(ColourFromText("x0a0B0c"), 0x000C0B0Au);
  EXPECT_EQ(ColourFromText("#FF80"), std::nullopt);
  EXPECT_EQ(ColourFromText("#GG8000"), std::nullopt);
  EXPECT_EQ(CutString("a[b]c]", "[", "]"), "b");
  EXPECT_EQ(CutString("a]b[c", "[", "]"), "");
  EXPECT_EQ(CutString("abc", "[", "]"), "");
  EXPECT_EQ(CutString("[]", "[", "]"), "");
}

}  // namespace
}  // namespace plotrak::polchat
