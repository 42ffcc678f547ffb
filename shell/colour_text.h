// Colours as "setup.ini" writes them: "$" and eight hexadecimal digits 00BBGGRR, or the
// standard name of a colour that has one ("clBlack", "clBtnFace", ...).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plotrak {

// The colour's name when it has one, otherwise "$" + eight upper-case hex digits.
std::string ColourToText(int32_t colour);

// A name (any letter case) or a number ("$00BBGGRR", decimal, "0x..."); empty when the
// text is neither.
std::optional<int32_t> ColourFromText(std::string_view text);

// 0x00BBGGRR of a plain colour; system colours (names like "clBtnFace") resolve to the
// classic desktop scheme's values so the window can paint them.
uint32_t ColourRgb(int32_t colour);

}  // namespace plotrak
