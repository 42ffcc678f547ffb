// One text field of a base source file: UTF-8 on the page, Windows-1250 in the base.
//
// Texts are written as they are, except for a few bytes an editor would lose or hide:
// a backslash is written "\\", control bytes, the unassigned bytes of the code page, the
// no-break space and the soft hyphen are written "\xHH", and a space at the very end of a
// text is written "\x20" (editors strip trailing blanks, and the parser does too).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace plotrak::ptk {

// A mistake in a source file, with the 1-based line it was found on.
class SourceError : public std::runtime_error {
 public:
  SourceError(int line, const std::string& message) : std::runtime_error(message), line(line) {}
  int line;
};

// The source form (UTF-8, escaped) of a Windows-1250 text.
std::string EscapeField(std::string_view cp1250);

// The Windows-1250 text of a source field. Throws SourceError with `line` for a bad escape,
// malformed UTF-8 or a character that has no Windows-1250 form.
std::string UnescapeField(std::string_view utf8, int line);

}  // namespace plotrak::ptk
