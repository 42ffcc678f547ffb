// Conversion between the program's Windows-1250 texts and UTF-8.
// Everything inside the program holds Windows-1250 bytes; UTF-8 appears only at the
// edges (terminal, logs, chat protocol, Qt display) and in our own source literals.
#pragma once

#include <string>
#include <string_view>

namespace plotrak {

// UTF-8 to Windows-1250. A code point the code page lacks becomes '?', and so does every
// byte of a malformed sequence: foreign input never produces a separator-looking surprise.
std::string FromUtf8(std::string_view utf8);

// Windows-1250 to UTF-8. The five unassigned bytes (0x81, 0x83, 0x88, 0x90, 0x98) map to
// U+FFFD so that every input yields valid UTF-8.
std::string ToUtf8(std::string_view cp1250);

// Upper case by the Windows-1250 rule: ASCII letters and the Polish (and other Latin-2)
// lower-case letters of the code page.
std::string UpperCp1250(std::string_view text);
// Lower case by the same rule.
std::string LowerCp1250(std::string_view text);

}  // namespace plotrak
