// What a person sends, made safe before anything else sees it. Every channel passes each
// incoming text through CleanIncomingText before it logs, shows or answers it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plotrak {

// The longest text the program takes from a person, in bytes (Windows-1250: one byte a
// letter). Matching costs grow with the text's length; no real message needs more.
inline constexpr size_t kMaxIncomingText = 4096;

// Cut to kMaxIncomingText bytes; tabs and line breaks become spaces (a multi-line message
// stays readable); the other C0 control bytes and DEL are dropped, so no control sequence is
// learned, stored or replayed to a terminal.
std::string CleanIncomingText(std::string_view text);

}  // namespace plotrak
