#include "polchat/polchat_protocol.h"

#include "engine/cp1250.h"
#include "polchat/polchat_texts.h"

namespace plotrak::polchat {
namespace {

// Strings start after the counts, the opcode and the integers the opcode carries.
constexpr size_t kStringsAfterOpcode = 6;
constexpr size_t kStringsAfterOneInt = 8;

template <typename Event, typename... Args>
void Raise(const Event& event, Args&&... args) {
  if (event) event(std::forward<Args>(args)...);
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

}  // namespace

PolchatProtocol::PolchatProtocol() = default;
PolchatProtocol::~PolchatProtocol() = default;

void PolchatProtocol::SetRoom(const std::string& value) {
  // the room name is encoded here once, whatever Encoding says
  if (GetConnected()) SendRaw(BuildFrame({kSendText}, {"/join " + ToUtf8(value)}));
  room_ = value;
}

void PolchatProtocol::SetPassword(const std::string& value) {
  if (GetConnected() && AutoSendPrefs) {
    std::string old = password_;
    password_ = value;
    if (!SetPrefs()) password_ = std::move(old);
  } else {
    password_ = value;
  }
}

bool PolchatProtocol::WyslijMsg(const std::string& Text, int Kind) {
  static constexpr uint16_t kOpcodes[] = {kSendText, kSendText1, kSendText2};
  if (Kind < 0 || Kind > 2) return false;
  return SendRaw(BuildFrame({kOpcodes[Kind]}, {Encoding ? ToUtf8(Text) : Text}));
}

bool PolchatProtocol::PoprosListe(const std::string& Text) {
  return SendRaw(BuildFrame({kSendRoomList, 7}, {ToUtf8(Text)}));
}

bool PolchatProtocol::ZmienStatus(bool Bold) {
  return SendRaw(BuildFrame({kBoldStatus, static_cast<uint16_t>(Bold ? 1 : 0)}, {}));
}

bool PolchatProtocol::SetPrefs() {
  return SendRaw(BuildFrame({kSendPrefs}, {UserPrefs.PreferenceString(), password_}) +
                 BuildFrame({kSendListPrefs}, {UserPrefs.ListString()}));
}

std::string PolchatProtocol::LoginFrame() const {
  return BuildFrame({kLogin}, {Nick, password_, "", Encoding ? ToUtf8(room_) : room_, Link, Server,
                               "nlst=1&nnum=1&jlmsg=true&ignprv=false"});
}

void PolchatProtocol::SessionEstablished() {
  disconnectReason_ = LostConnectionReasonUtf8();
  SendRaw(LoginFrame());
  Raise(OnPolchatConnected, *this, uint16_t{0});
}

void PolchatProtocol::AttemptFailed(const std::string& errorText) {
  Error(errorText);
  disconnectReason_ = FailedAttemptReason();
}

void PolchatProtocol::SessionClosed() {
  Raise(OnPolchatDisconnected, *this, disconnectReason_);
}

void PolchatProtocol::SetTunnelIds(uint16_t proc, uint16_t con, uint16_t check) {
  proc_ = proc;
  con_ = con;
  check_ = check;
}

bool PolchatProtocol::Receive(std::string_view chunk) {
  return reassembler_.Feed(chunk, [this](std::string_view payload) { Dispatch(payload); });
}

void PolchatProtocol::Error(const std::string& text) {
  Raise(OnErrorMsg, *this, text);
}

std::string PolchatProtocol::Decoded(std::string text) const {
  return Encoding ? FromUtf8(text) : text;
}

void PolchatProtocol::ClearRoom() {
  currentRoom_.clear();
  currentDescr_.clear();
  nicks_.Clear();
}

void PolchatProtocol::Dispatch(std::string_view payload) {
  const std::optional<uint16_t> opcode = U16At(payload, 4);
  if (!opcode) return;
  switch (*opcode) {
    case kPing:
      SendRaw(Frame(std::string(4, '\0')));
      Raise(OnPing, *this);
      break;
    case kTunnelIds: {
      const auto proc = U16At(payload, 6), con = U16At(payload, 8), check = U16At(payload, 10);
      if (proc && con && check) SetTunnelIds(*proc, *con, *check);
      break;
    }
    case kMsgMain:
    case kRoomList:
    case kRoomEnter:
    case kRoomLeave:
    case kModerateText:
    case kDisconnect:
      HandleText(payload, *opcode);
      break;
    case kMsgPriv:
      HandlePriv(payload);
      break;
    case kUserPrefs:
      HandleUserPrefs(payload);
      break;
    case kEntrance:
    case kDeparture:
    case kStatus1:
    case kStatus2:
      HandleNickChange(payload, *opcode);
      break;
    case kPeople:
      HandlePeople(payload);
      break;
    case kRoomInfo:
      HandleRoomInfo(payload);
      break;
    case kExtPrefs:
      HandleExtPrefs(payload);
      break;
    case kModerateStart:
      Raise(OnModerateStart, *this);
      break;
    case kModerateStop:
      Raise(OnModerateStop, *this);
      break;
    default:
      break;
  }
}

void PolchatProtocol::HandleText(std::string_view payload, uint16_t opcode) {
  size_t at = kStringsAfterOpcode;
  const std::optional<std::string> raw = StringAt(payload, at);
  if (!raw) {
    switch (opcode) {
      case kMsgMain:
        Error("jest blad w Main");
        break;
      case kRoomList:
        Error("jest blad w RoomList");
        break;
      case kRoomEnter:
        Error("jest blad w Wchodze");
        break;
      case kRoomLeave:
        Error("jest blad w Wychodze");
        break;
      case kModerateText:
        Error("jest blad w Moderuj");
        break;
      default:
        Error("jest blad w Rozlacz");
        break;
    }
  }
  const std::string text = raw ? Decoded(*raw) : std::string();
  switch (opcode) {
    case kMsgMain:
      if (raw && LowerAscii(*raw).find(": " + TriggerPhrase()) != std::string::npos)
        WyslijMsg(IdentificationBanner(), 0);
      Raise(OnMsgMain, *this, text, std::string());
      break;
    case kRoomList:
      Raise(OnGotRoomList, *this, text);
      break;
    case kRoomEnter:
      Raise(OnRoomEnter, *this, text + "</font>");
      break;
    case kRoomLeave:
      ClearRoom();
      Raise(OnRoomLeave, *this, text + "</font>");
      break;
    case kModerateText:
      Raise(OnModerateText, *this, text);
      break;
    default:  // disconnect: the reason waits for the server to close the connection
      if (raw) disconnectReason_ = text;
      ClearRoom();
      break;
  }
}

void PolchatProtocol::HandlePriv(std::string_view payload) {
  size_t at = kStringsAfterOpcode;
  std::string text, sender, recipient;
  const auto rawText = StringAt(payload, at);
  const auto rawSender = rawText ? StringAt(payload, at) : std::nullopt;
  const bool third = payload.size() > 3 && static_cast<uint8_t>(payload[3]) == 3;
  const auto rawRecipient = rawSender && third ? StringAt(payload, at) : std::nullopt;
  if (!rawText || !rawSender || (third && !rawRecipient)) Error("jest blad w Priv");
  if (rawText) text = Decoded(*rawText);
  if (rawSender) sender = *rawSender;
  if (rawRecipient) recipient = *rawRecipient;
  Raise(OnMsgPriv, *this, text, sender, recipient);
}

void PolchatProtocol::HandleUserPrefs(std::string_view payload) {
  // Guarded like its neighbours: a broken packet must not stop the session.
  size_t at = kStringsAfterOpcode;
  const auto items = StringAt(payload, at);
  if (!items || !UserPrefs.TakeFromServer(*items)) Error("jest blad w UserPrefs");
  Raise(OnPreferencesRcvd, *this);
}

void PolchatProtocol::HandleNickChange(std::string_view payload, uint16_t opcode) {
  const bool withValue = opcode != kDeparture;
  size_t at = withValue ? kStringsAfterOneInt : kStringsAfterOpcode;
  const std::optional<uint16_t> value = withValue ? U16At(payload, 6) : std::optional<uint16_t>(0);
  const std::optional<std::string> nick = StringAt(payload, at);
  if (!value || !nick) {
    Error(opcode == kEntrance    ? "Blad w Entrance"
          : opcode == kDeparture ? "Blad w Departure"
          : opcode == kStatus1   ? "Blad w Status1"
                                 : "Blad w Status2");
  } else if (opcode == kEntrance) {
    nicks_.Append(*nick, MakeOsoba(*nick, static_cast<uint8_t>(*value & 0xFF), 0));
  } else {
    const long index = nicks_.Find(*nick);
    if (index < 0) {
      Error(UnknownNickText(opcode, *nick));
    } else if (opcode == kDeparture) {
      nicks_.RemoveAt(static_cast<size_t>(index));
    } else {
      TOsoba& person = nicks_.at(static_cast<size_t>(index));
      (opcode == kStatus1 ? person.Status1 : person.Status2) = static_cast<uint8_t>(*value & 0xFF);
    }
  }
  const std::string eventNick = nick ? Decoded(*nick) : std::string();
  const TRoomEvent& event = opcode == kEntrance    ? OnEntrance
                            : opcode == kDeparture ? OnDeparture
                                                   : OnStatusChange;
  Raise(event, *this, eventNick, std::string());
}

void PolchatProtocol::HandlePeople(std::string_view payload) {
  nicks_.Clear();
  const uint16_t count = U16At(payload, 2).value_or(0);
  size_t at = 14 + 4 * static_cast<size_t>(count);
  for (size_t i = 0; i < count; ++i) {
    const auto status1 = U16At(payload, 14 + 4 * i);
    const auto status2 = U16At(payload, 16 + 4 * i);
    const auto nick = StringAt(payload, at);
    if (!status1 || !status2 || !nick) {
      Error("Blad w People");
      break;
    }
    nicks_.Append(*nick, MakeOsoba(*nick, static_cast<uint8_t>(*status1 & 0xFF),
                                   static_cast<uint8_t>(*status2 & 0xFF)));
  }
  Raise(OnNicksRcvd, *this, std::string(), std::string());
}

void PolchatProtocol::HandleRoomInfo(std::string_view payload) {
  size_t at = kStringsAfterOneInt;
  const auto room = StringAt(payload, at);
  const auto descr = room ? StringAt(payload, at) : std::nullopt;
  if (!room || !descr) Error("Blad w RoomInfo");
  currentRoom_ = room ? FromUtf8(*room) : std::string();
  currentDescr_ = descr ? FromUtf8(*descr) : std::string();
  Raise(OnRoomInfo, *this, currentDescr_, currentRoom_);
}

void PolchatProtocol::HandleExtPrefs(std::string_view payload) {
  size_t at = kStringsAfterOpcode;
  const auto items = StringAt(payload, at);
  if (!items) Error("Sa bledy w ExtPrefs cz.1");
  if (items && !serverPrefs_.TakeSettings(*items)) Error("Sa bledy w ExtPrefs cz.2");
  // the categories: the first "/" of the payload, whose length field stands right before it
  const size_t slash = payload.find('/');
  const auto length =
      slash != std::string_view::npos && slash >= 2 ? U16At(payload, slash - 2) : std::nullopt;
  if (length && payload.size() - slash >= *length)
    serverPrefs_.Categories = FromUtf8(payload.substr(slash, *length));
  else
    Error("Sa bledy w ExtPrefs cz.3");
  Raise(OnServerPrefs, *this);
}

}  // namespace plotrak::polchat
