// What a person sends, made safe before anything else sees it. Every channel passes each
// incoming text through CleanIncomingText before it logs, shows or answers it; Respond does
// it again for any caller that did not.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plotrak {

// The longest text the program takes from a person, in bytes (Windows-1250: one byte a
// letter). Matching costs grow with the text's length; no real message needs more.
inline constexpr size_t kMaxIncomingText = 4096;

// Cut to kMaxIncomingText bytes, then WithoutControlBytes: no control sequence is learned,
// stored or replayed to a terminal. Cleaning a clean text changes nothing.
std::string CleanIncomingText(std::string_view text);

// Tabs and line breaks become spaces (a multi-line message stays readable on one line); the
// other C0 control bytes and DEL are dropped. For anything printed on a terminal too.
std::string WithoutControlBytes(std::string_view text);

}  // namespace plotrak
