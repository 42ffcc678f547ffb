// The packets the client sends, and the status codes both directions share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plotrak::gg {

// Packet types.
enum : uint32_t {
  kWelcome = 1,
  kNewStatus = 2,  // client to server
  kStatus = 2,     // server to client
  kLoginOk = 3,
  kSendMsgAck = 5,
  kPing = 8,
  kLoginFailed = 9,
  kRecvMsg = 10,
  kSendMsg = 11,
  kDisconnecting = 11,
  kSearchReply = 14,
  kStatusChange = 15,
  kContactsReply = 16,
  kNotifyReply = 17,
  kEmptyList = 18,
  kLogin = 21,
  kContactsRequest = 22,
};

// Ordinals travel in events; the own status is never kBlocked.
enum class UserStatus : int {
  kNotAvailable,
  kAvailable,
  kBusy,
  kAvailableDesc,
  kBusyDesc,
  kInvisible,
  kNotAvailableDesc,
  kInvisibleDesc,
  kBlocked,
};

// The code sent for a status.
uint32_t StatusCode(UserStatus status);
// The status of a received code; false for a code outside the table.
bool StatusFromCode(uint32_t code, UserStatus& status);
// Statuses that carry a description and a return time.
bool HasDescription(UserStatus status);

inline constexpr uint32_t kInvisibleCode = 20;
inline constexpr uint32_t kFriendsOnlyFlag = 0x8000;
inline constexpr size_t kMaxDescription = 70;
inline constexpr size_t kMaxMessageText = 1988;

// The login hash of `password` (its bytes as they are, Windows-1250) with the server's seed.
uint32_t LoginHash(std::string_view password, uint32_t seed);

// Header (21, 31) and the login body; bytes 16-28 are zeros.
std::string LoginPacket(uint32_t number, uint32_t hash, uint8_t maxImageSize);
// Header (18, 0).
std::string EmptyListPacket();
// Header (8, 0).
std::string PingPacket();
// The new-status packet; the description is cut to kMaxDescription. Return time 0 is not sent.
std::string StatusPacket(UserStatus status, bool friendsOnly, std::string_view description,
                         uint32_t returnTime);
// Contact list request: kind 2 (get) without `list`, kind 0 (store) with it.
std::string ContactsRequestPacket(uint8_t kind, std::string_view list = {});

// One rich-text pair of a message: a position in the text and a format text such as "<b><i>",
// "<n>" or "<c><red>".
struct FormatPair {
  int32_t position = 0;
  std::string format;
};

// The send-message packet: class 4 when `chatClass`, else 8; the text cut to
// kMaxMessageText; one rich-text block per pair, the first with a colour when its format
// text holds "<c>". An empty `text` is the caller's to refuse.
std::string MessagePacket(bool chatClass, uint32_t recipient, const std::vector<FormatPair>& format,
                          std::string_view text);

// Texts that ask a client for its version; answered locally, never sent.
bool IsVersionProbe(std::string_view text);
inline constexpr const char* kVersionReply = "TGGLITE 0.17";

}  // namespace plotrak::gg
