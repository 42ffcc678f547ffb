// The preference objects of a Polchat session and the text forms they travel in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plotrak::polchat {

class PolchatProtocol;

// The user's display preferences. Each setter, while the owning session is connected and
// sends preferences automatically, stores the value and sends the preferences, putting the
// old value back when that fails; otherwise it only stores.
class TUserPrefs {
 public:
  explicit TUserPrefs(PolchatProtocol& owner) : owner_(owner) {}

  const std::string& FontName() const { return fontName_; }
  int32_t FontSize() const { return fontSize_; }
  bool IgnPrivs() const { return ignPrivs_; }
  bool IgnColors() const { return ignColors_; }
  bool IgnImg() const { return ignImg_; }
  bool JoinLeaveMsg() const { return joinLeaveMsg_; }
  bool BeepNew() const { return beepNew_; }
  bool SepWindows() const { return sepWindows_; }

  // Only "helvetica", "times new roman" and "courier new" (any ASCII letter case) are
  // taken, in the case given; anything else is ignored.
  void SetFontName(const std::string& value);
  void SetFontSize(int32_t value) { Set(fontSize_, value); }
  void SetIgnPrivs(bool value) { Set(ignPrivs_, value); }
  void SetIgnColors(bool value) { Set(ignColors_, value); }
  void SetIgnImg(bool value) { Set(ignImg_, value); }
  void SetJoinLeaveMsg(bool value) { Set(joinLeaveMsg_, value); }
  void SetBeepNew(bool value) { Set(beepNew_, value); }
  void SetSepWindows(bool value) { Set(sepWindows_, value); }

  // The first packet's preference string: "fn=...&fs=...&igncol=0&...".
  std::string PreferenceString() const;
  // The second packet's string: "nlst=1&nnum=1&jlmsg=true&ignprv=false".
  std::string ListString() const;

  // Stores what a preference packet (items "key=value" joined by "&") carries, straight
  // into the fields. False when a value could not be read (the others are still taken).
  bool TakeFromServer(std::string_view items);

 private:
  template <typename T>
  void Set(T& field, T value);

  PolchatProtocol& owner_;
  std::string fontName_ = "Helvetica";
  int32_t fontSize_ = 14;
  bool ignPrivs_ = false;
  bool ignColors_ = false;
  bool ignImg_ = false;
  bool joinLeaveMsg_ = true;
  bool beepNew_ = false;
  bool sepWindows_ = true;
};

// Settings the server announces.
struct TServerPrefs {
  uint32_t color_user = 0;
  uint32_t color_op = 255;
  std::vector<uint32_t> guestColours;
  bool password_protection = true;
  bool room_creation = true;
  std::string conv_table;
  std::string Categories;  // Windows-1250

  // Part 2 of the server-settings packet: the "key=value" items. False at the first value
  // that cannot be read (what came before it is kept).
  bool TakeSettings(std::string_view items);
};

TServerPrefs DefaultServerPrefs();

struct TSocksPrefs {
  bool UseProxy = false;
  std::string ProxyAddress;
  int32_t ProxyPort = 1080;
  int32_t SocksVer = 5;
};

// "#RRGGBB" (the first character is skipped whatever it is) to 0x00BBGGRR; nothing when
// the text is not one character and six hexadecimal digits.
std::optional<uint32_t> ColourFromText(std::string_view text);

// The part of `text` after the first `start`, up to the first `stop` after it. Empty when
// `start` does not occur or no `stop` follows it.
std::string CutString(std::string_view text, std::string_view start, std::string_view stop);

// The value of the first "key=value" item among `items` (joined by "&") whose key equals
// `key` in any ASCII letter case; nothing when no item has that key.
std::optional<std::string_view> ItemValue(std::string_view items, std::string_view key);

}  // namespace plotrak::polchat
