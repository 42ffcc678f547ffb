// Everything of a Polchat session that is bytes and state, without a socket: the
// properties, the people of the room, the preference objects, the events, the packets the
// client sends and the dispatch of what the server sends. TPolchatClient adds the
// transport; tests and fuzzers drive this class directly.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "polchat/polchat_frame.h"
#include "polchat/polchat_people.h"
#include "polchat/polchat_prefs.h"

namespace plotrak::polchat {

class PolchatProtocol;

// Events: each is optional and raised only when set. Texts are Windows-1250 or the wire's
// bytes as the client's Encoding decides.
using TNotifyEvent = std::function<void(PolchatProtocol& Sender)>;
using TSessionConnected = std::function<void(PolchatProtocol& Sender, uint16_t Error)>;
using TPolchatEvent = std::function<void(PolchatProtocol& Sender, const std::string& Text)>;
using TRoomEvent =
    std::function<void(PolchatProtocol& Sender, const std::string& Text, const std::string& Room)>;
using TPrivEvent = std::function<void(PolchatProtocol& Sender, const std::string& text,
                                      const std::string& nad, const std::string& odb)>;

// Opcodes of the packets.
enum Opcode : uint16_t {
  kPing = 1,
  kTunnelIds = 3,
  kMsgMain = 610,
  kMsgPriv = 611,
  kRoomList = 613,
  kUserPrefs = 614,
  kEntrance = 615,
  kDeparture = 616,
  kStatus1 = 617,
  kStatus2 = 618,
  kPeople = 619,
  kRoomInfo = 625,
  kExtPrefs = 626,
  kRoomEnter = 630,
  kRoomLeave = 631,
  kModerateText = 1420,
  kModerateStart = 1422,
  kModerateStop = 1423,
  kDisconnect = 65535,
  kSendText = 410,
  kSendRoomList = 411,
  kLogin = 1400,
  kBoldStatus = 1410,
  kSendPrefs = 1411,
  kSendListPrefs = 1417,
  kSendText1 = 1418,
  kSendText2 = 1421,
};

class PolchatProtocol {
 public:
  PolchatProtocol();
  virtual ~PolchatProtocol();
  PolchatProtocol(const PolchatProtocol&) = delete;
  PolchatProtocol& operator=(const PolchatProtocol&) = delete;

  // Properties.
  bool AutoSendPrefs = false;
  std::string Nick;
  std::string Link = "http://127.0.0.1/chat/";
  std::string Server = "127.0.0.1";
  int32_t ServerPort = 14003;
  bool Encoding = false;  // texts to and from UTF-8 at the points of the protocol
  TUserPrefs UserPrefs{*this};
  TSocksPrefs SOCKS;

  const std::string& Password() const { return password_; }
  const std::string& Room() const { return room_; }
  const NickList& Nicks() const { return nicks_; }
  int32_t Il_Osob() const { return static_cast<int32_t>(nicks_.size()); }
  const TServerPrefs& ServerPrefs() const { return serverPrefs_; }
  const std::string& Current_room() const { return currentRoom_; }
  const std::string& Current_Descr() const { return currentDescr_; }
  uint16_t proc() const { return proc_; }
  uint16_t con() const { return con_; }
  uint16_t check() const { return check_; }
  // The text OnPolchatDisconnected will carry.
  const std::string& disconnectReason() const { return disconnectReason_; }

  // While connected, joins the room with "/join "; the room is stored in every case.
  void SetRoom(const std::string& value);
  // Stores the password; sends the preferences when connected and AutoSendPrefs.
  void SetPassword(const std::string& value);
  // True while the transport's session is established.
  virtual bool GetConnected() const { return false; }

  // Events.
  TSessionConnected OnPolchatConnected;
  TPolchatEvent OnErrorMsg;
  TNotifyEvent OnPing;
  TRoomEvent OnMsgMain;
  TPrivEvent OnMsgPriv;
  TPolchatEvent OnGotRoomList;
  TNotifyEvent OnPreferencesRcvd;
  TRoomEvent OnEntrance;
  TRoomEvent OnDeparture;
  TRoomEvent OnNicksRcvd;
  TRoomEvent OnStatusChange;
  TNotifyEvent OnServerPrefs;
  TRoomEvent OnRoomInfo;
  TPolchatEvent OnRoomEnter;
  TPolchatEvent OnRoomLeave;
  TPolchatEvent OnPolchatDisconnected;
  TNotifyEvent OnModerateStart;
  TNotifyEvent OnModerateStop;
  TPolchatEvent OnModerateText;

  // Operations. Each builds its packet and hands it to SendRaw; the result is SendRaw's.
  // Kind 0, 1 or 2 (opcodes 410, 1418, 1421); another kind sends nothing.
  bool WyslijMsg(const std::string& Text, int Kind);
  bool PoprosListe(const std::string& Text);
  bool ZmienStatus(bool Bold);
  // Both preference packets in one write.
  bool SetPrefs();
  std::string CutString(std::string_view Text, std::string_view Start,
                        std::string_view Stop) const {
    return polchat::CutString(Text, Start, Stop);
  }

  // Bytes from the server: reassembled into payloads, each dispatched. False when the
  // stream broke its framing; the caller then drops the session (see DropForBadFrame).
  bool Receive(std::string_view chunk);
  // One payload: the handler of its opcode runs; unknown opcodes and payloads too short to
  // hold an opcode are ignored.
  void Dispatch(std::string_view payload);

  // The login packet (opcode 1400) as it is sent.
  std::string LoginFrame() const;

 protected:
  // Writes one or more whole frames to the server. False when they could not be written.
  virtual bool SendRaw(const std::string& frames) {
    (void)frames;
    return false;
  }
  // The session is up: the reason becomes the lost-connection text, the login is sent and
  // OnPolchatConnected raised.
  void SessionEstablished();
  // A failed attempt: OnErrorMsg with the text, then the reason becomes "***".
  void AttemptFailed(const std::string& errorText);
  // The session closed: raises OnPolchatDisconnected with the reason.
  void SessionClosed();
  void SetDisconnectReason(std::string reason) { disconnectReason_ = std::move(reason); }
  void SetTunnelIds(uint16_t proc, uint16_t con, uint16_t check);
  void ResetReassembly() { reassembler_.Reset(); }

 private:
  void Error(const std::string& text);
  std::string Decoded(std::string text) const;  // FromUtf8 when Encoding is on
  void HandleText(std::string_view payload, uint16_t opcode);
  void HandlePriv(std::string_view payload);
  void HandleNickChange(std::string_view payload, uint16_t opcode);
  void HandlePeople(std::string_view payload);
  void HandleRoomInfo(std::string_view payload);
  void HandleExtPrefs(std::string_view payload);
  void HandleUserPrefs(std::string_view payload);
  void ClearRoom();

  std::string password_;
  std::string room_ = "randka";
  NickList nicks_;
  TServerPrefs serverPrefs_ = DefaultServerPrefs();
  std::string currentRoom_;
  std::string currentDescr_;
  uint16_t proc_ = 0, con_ = 0, check_ = 0;
  std::string disconnectReason_;
  FrameReassembler reassembler_;
};

}  // namespace plotrak::polchat
