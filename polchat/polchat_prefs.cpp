#include "polchat/polchat_prefs.h"

#include <charconv>

#include "engine/cp1250.h"
#include "polchat/polchat_protocol.h"

namespace plotrak::polchat {
namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::optional<bool> BoolFromText(std::string_view text) {
  if (text == "1" || EqualsIgnoringCase(text, "true")) return true;
  if (text == "0" || EqualsIgnoringCase(text, "false")) return false;
  return std::nullopt;
}

std::optional<int32_t> IntFromText(std::string_view text) {
  int32_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

const char* B(bool value) {
  return value ? "1" : "0";
}
const char* TF(bool value) {
  return value ? "true" : "false";
}

}  // namespace

std::optional<std::string_view> ItemValue(std::string_view items, std::string_view key) {
  size_t at = 0;
  while (at <= items.size()) {
    size_t end = items.find('&', at);
    if (end == std::string_view::npos) end = items.size();
    const std::string_view item = items.substr(at, end - at);
    const size_t eq = item.find('=');
    if (eq != std::string_view::npos && EqualsIgnoringCase(item.substr(0, eq), key))
      return item.substr(eq + 1);
    at = end + 1;
  }
  return std::nullopt;
}

template <typename T>
void TUserPrefs::Set(T& field, T value) {
  if (owner_.GetConnected() && owner_.AutoSendPrefs) {
    T old = field;
    field = value;
    if (!owner_.SetPrefs()) field = old;
  } else {
    field = value;
  }
}

template void TUserPrefs::Set<int32_t>(int32_t&, int32_t);
template void TUserPrefs::Set<bool>(bool&, bool);

void TUserPrefs::SetFontName(const std::string& value) {
  if (!EqualsIgnoringCase(value, "helvetica") && !EqualsIgnoringCase(value, "times new roman") &&
      !EqualsIgnoringCase(value, "courier new"))
    return;
  Set(fontName_, value);
}

std::string TUserPrefs::PreferenceString() const {
  return "fn=" + fontName_ + "&fs=" + std::to_string(fontSize_) + "&igncol=" + B(ignColors_) +
         "&ignimg=" + B(ignImg_) + "&jlmsg=" + B(joinLeaveMsg_) + "&beepnew=" + B(beepNew_) +
         "&ignprv=" + B(ignPrivs_) + "&sepwin=" + B(sepWindows_);
}

std::string TUserPrefs::ListString() const {
  return std::string("nlst=1&nnum=1&jlmsg=") + TF(joinLeaveMsg_) + "&ignprv=" + TF(ignPrivs_);
}

bool TUserPrefs::TakeFromServer(std::string_view items) {
  bool ok = true;
  auto flag = [&](const char* key, bool& field) {
    const auto value = ItemValue(items, key);
    if (!value || value->empty()) return;
    if (const auto b = BoolFromText(*value))
      field = *b;
    else
      ok = false;
  };
  if (const auto fn = ItemValue(items, "fn"); fn && !fn->empty()) fontName_ = std::string(*fn);
  if (const auto fs = ItemValue(items, "fs"); fs && !fs->empty()) {
    if (const auto size = IntFromText(*fs))
      fontSize_ = *size;
    else
      ok = false;
  }
  flag("igncol", ignColors_);
  flag("ignimg", ignImg_);
  flag("jlmsg", joinLeaveMsg_);
  flag("beep", beepNew_);
  flag("ignprv", ignPrivs_);
  flag("sepwin", sepWindows_);
  return ok;
}

TServerPrefs DefaultServerPrefs() {
  TServerPrefs prefs;
  prefs.Categories = FromUtf8(
      "/ /Regionalne/ /Regionalne/Polska/ /Regionalne/Świat/ /Towarzyskie/ "
      "/Towarzyskie/Rówieśnicy/ /Hobby/ /Internet/ /Komputer/ /Komputer/Gry/ /Motoryzacja/ "
      "/Muzyka/ /Polityka/ /Praca/ /Radio/ /Rozrywka/ /Religia/ /Różne/ /Sport/ /Szkoła/ "
      "/Telewizja/ /Zdrowie/");
  return prefs;
}

bool TServerPrefs::TakeSettings(std::string_view items) {
  auto present = [&](const char* key) -> std::optional<std::string_view> {
    const auto value = ItemValue(items, key);
    if (!value || value->empty()) return std::nullopt;
    return value;
  };
  if (const auto v = present("color_user")) {
    const auto colour = ColourFromText(*v);
    if (!colour) return false;
    color_user = *colour;
  }
  if (const auto v = present("color_op")) {
    const auto colour = ColourFromText(*v);
    if (!colour) return false;
    color_op = *colour;
  }
  if (const auto v = present("color_guest")) {
    std::vector<uint32_t> colours;
    size_t at = 0;
    while (at <= v->size()) {
      size_t end = v->find(' ', at);
      if (end == std::string_view::npos) end = v->size();
      const auto colour = ColourFromText(v->substr(at, end - at));
      if (!colour) return false;
      colours.push_back(*colour);
      at = end + 1;
    }
    guestColours = std::move(colours);
  }
  for (auto [key, field] : {std::pair{"password_protection", &password_protection},
                            std::pair{"room_creation", &room_creation}}) {
    if (const auto v = present(key)) {
      const auto b = BoolFromText(*v);
      if (!b) return false;
      *field = *b;
    }
  }
  if (const auto v = present("conv_table")) conv_table = std::string(*v);
  return true;
}

std::optional<uint32_t> ColourFromText(std::string_view text) {
  if (text.size() != 7) return std::nullopt;
  uint32_t rgb = 0;
  for (size_t i = 1; i < 7; ++i) {
    const char c = text[i];
    uint32_t digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return std::nullopt;
    rgb = (rgb << 4) | digit;
  }
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16);
}

std::string CutString(std::string_view text, std::string_view start, std::string_view stop) {
  const size_t at = text.find(start);
  if (at == std::string_view::npos) return {};
  const size_t from = at + start.size();
  const size_t end = text.find(stop, from);
  if (end == std::string_view::npos) return {};
  return std::string(text.substr(from, end - from));
}

}  // namespace plotrak::polchat
