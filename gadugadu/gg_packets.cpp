#include "gadugadu/gg_packets.h"

#include <algorithm>
#include <array>

#include "gadugadu/gg_wire.h"

namespace plotrak::gg {
namespace {

constexpr std::array<uint32_t, 9> kCodes = {1, 2, 3, 4, 5, 20, 21, 22, 6};

struct NamedColour {
  const char* name;
  uint8_t red, green, blue;
};

// In the order they are checked: the last one present in a format text wins.
constexpr NamedColour kColours[] = {
    {"<black>", 0, 0, 0},        {"<blue>", 112, 163, 186},        {"<red>", 238, 26, 26},
    {"<green>", 91, 164, 42},    {"<purple>", 152, 84, 121},       {"<navy>", 18, 105, 146},
    {"<gray>", 128, 128, 128},   {"<lightblue>", 142, 213, 242},   {"<lemon>", 255, 255, 0},
    {"<silver>", 192, 192, 192}, {"<orange>", 255, 99, 0},         {"<pistachio>", 183, 209, 147},
    {"<pink>", 255, 90, 140},    {"<aqua>", 0, 132, 132},          {"<gold>", 251, 188, 53},
    {"<maroon>", 132, 0, 0},     {"<lightpurple>", 242, 142, 229}, {"<lightpink>", 255, 156, 156},
};

bool Has(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

uint32_t StatusCode(UserStatus status) {
  return kCodes[static_cast<int>(status)];
}

bool StatusFromCode(uint32_t code, UserStatus& status) {
  const auto found = std::find(kCodes.begin(), kCodes.end(), code);
  if (found == kCodes.end()) return false;
  status = static_cast<UserStatus>(found - kCodes.begin());
  return true;
}

bool HasDescription(UserStatus status) {
  switch (status) {
    case UserStatus::kAvailableDesc:
    case UserStatus::kBusyDesc:
    case UserStatus::kBlocked:
    case UserStatus::kNotAvailableDesc:
    case UserStatus::kInvisibleDesc:
      return true;
    default:
      return false;
  }
}

uint32_t LoginHash(std::string_view password, uint32_t seed) {
  uint32_t y = seed, x = 0;
  for (const char ch : password) {
    x = (x & 0xFFFFFF00u) | static_cast<uint8_t>(ch);
    y ^= x;
    y += x;
    x <<= 8;
    y ^= x;
    x <<= 8;
    y -= x;
    x <<= 8;
    y ^= x;
    const unsigned turn = y & 31;
    if (turn) y = (y << turn) | (y >> (32 - turn));
  }
  return y;
}

std::string LoginPacket(uint32_t number, uint32_t hash, uint8_t maxImageSize) {
  PacketWriter p(kLogin);
  p.U32(number);
  p.U32(hash);
  p.U32(kInvisibleCode);
  p.U32(33);
  p.Bytes(std::string(13, '\0'));
  p.U8(maxImageSize);
  p.U8(0xBE);
  return p.Finish();
}

std::string EmptyListPacket() {
  return PacketWriter(kEmptyList).Finish();
}

std::string PingPacket() {
  return PacketWriter(kPing).Finish();
}

std::string StatusPacket(UserStatus status, bool friendsOnly, std::string_view description,
                         uint32_t returnTime) {
  PacketWriter p(kNewStatus);
  p.U32(StatusCode(status) + (friendsOnly ? kFriendsOnlyFlag : 0));
  p.Bytes(description.substr(0, kMaxDescription));
  p.U8(0);
  if (returnTime != 0) p.U32(returnTime);
  return p.Finish();
}

std::string ContactsRequestPacket(uint8_t kind, std::string_view list) {
  PacketWriter p(kContactsRequest);
  p.U8(kind);
  p.Bytes(list);
  return p.Finish();
}

std::string MessagePacket(bool chatClass, uint32_t recipient, const std::vector<FormatPair>& format,
                          std::string_view text) {
  text = text.substr(0, kMaxMessageText);
  const bool colour = !format.empty() && Has(format[0].format, "<c>");
  PacketWriter p(kSendMsg);
  p.U32(recipient);
  p.U32(0);
  p.U32(chatClass ? 4 : 8);
  p.Bytes(text);
  p.U8(0);
  p.U8(2);
  p.U16(static_cast<uint16_t>(3 * (format.size() + (colour ? 1 : 0))));
  for (size_t i = 0; i < format.size(); ++i) {
    const std::string& f = format[i].format;
    uint8_t flags = 0;
    if (Has(f, "<b>")) flags |= 1;
    if (Has(f, "<i>")) flags |= 2;
    if (Has(f, "<u>")) flags |= 4;
    if (Has(f, "<n>")) flags = 0;
    const NamedColour* rgb = &kColours[0];
    if (i == 0 && colour) {
      flags |= 8;
      for (const NamedColour& c : kColours)
        if (Has(f, c.name)) rgb = &c;
    }
    p.U16(static_cast<uint16_t>(format[i].position));
    p.U8(flags);
    if (flags & 8) {
      p.U8(rgb->red);
      p.U8(rgb->green);
      p.U8(rgb->blue);
    }
  }
  return p.Finish();
}

bool IsVersionProbe(std::string_view text) {
  return text == ".check.for.version." || text == "#KERNEL V" || text == "which_version";
}

}  // namespace plotrak::gg
