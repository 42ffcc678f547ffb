#include "shell/colour_text.h"

#include <array>
#include <cstdio>

#include "shell/integer_text.h"

namespace plotrak {
namespace {

struct NamedColour {
  int32_t value;
  const char* name;
};

constexpr int32_t System(int index) {
  return static_cast<int32_t>(0x80000000u | index);
}

// The standard colour table, in the order names are looked up when a colour is written.
constexpr std::array<NamedColour, 52> kNames{{
    {0x000000, "clBlack"},
    {0x000080, "clMaroon"},
    {0x008000, "clGreen"},
    {0x008080, "clOlive"},
    {0x800000, "clNavy"},
    {0x800080, "clPurple"},
    {0x808000, "clTeal"},
    {0x808080, "clGray"},
    {0xC0C0C0, "clSilver"},
    {0x0000FF, "clRed"},
    {0x00FF00, "clLime"},
    {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},
    {0xFF00FF, "clFuchsia"},
    {0xFFFF00, "clAqua"},
    {0xFFFFFF, "clWhite"},
    {0xC0DCC0, "clMoneyGreen"},
    {0xF0CAA6, "clSkyBlue"},
    {0xF0FBFF, "clCream"},
    {0xA4A0A0, "clMedGray"},
    {System(0x0A), "clActiveBorder"},
    {System(0x02), "clActiveCaption"},
    {System(0x0C), "clAppWorkSpace"},
    {System(0x01), "clBackground"},
    {System(0x0F), "clBtnFace"},
    {System(0x14), "clBtnHighlight"},
    {System(0x10), "clBtnShadow"},
    {System(0x12), "clBtnText"},
    {System(0x09), "clCaptionText"},
    {0x20000000, "clDefault"},
    {System(0x1B), "clGradientActiveCaption"},
    {System(0x1C), "clGradientInactiveCaption"},
    {System(0x11), "clGrayText"},
    {System(0x0D), "clHighlight"},
    {System(0x0E), "clHighlightText"},
    {System(0x1A), "clHotLight"},
    {System(0x0B), "clInactiveBorder"},
    {System(0x03), "clInactiveCaption"},
    {System(0x13), "clInactiveCaptionText"},
    {System(0x18), "clInfoBk"},
    {System(0x17), "clInfoText"},
    {System(0x04), "clMenu"},
    {System(0x1E), "clMenuBar"},
    {System(0x1D), "clMenuHighlight"},
    {System(0x07), "clMenuText"},
    {0x1FFFFFFF, "clNone"},
    {System(0x00), "clScrollBar"},
    {System(0x15), "cl3DDkShadow"},
    {System(0x16), "cl3DLight"},
    {System(0x05), "clWindow"},
    {System(0x06), "clWindowFrame"},
    {System(0x08), "clWindowText"},
}};

// The classic desktop scheme, by system colour index (0x00BBGGRR).
constexpr std::array<uint32_t, 31> kSystemRgb{{
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x544E43, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0,
}};

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::string ColourToText(int32_t colour) {
  for (const NamedColour& named : kNames)
    if (named.value == colour) return named.name;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<uint32_t>(colour));
  return buffer;
}

std::optional<int32_t> ColourFromText(std::string_view text) {
  for (const NamedColour& named : kNames)
    if (SameTextAscii(text, named.name)) return named.value;
  return ParseInteger(text);
}

uint32_t ColourRgb(int32_t colour) {
  const auto bits = static_cast<uint32_t>(colour);
  if (bits & 0x80000000u) {
    const uint32_t index = bits & 0xFF;
    return index < kSystemRgb.size() ? kSystemRgb[index] : 0;
  }
  return bits & 0x00FFFFFFu;
}

}  // namespace plotrak
