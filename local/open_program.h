// The open-program command of the local conversation: "otwórz notatnik" opens the path of
// the pair named "notatnik" among the seven (name, path) pairs of the settings.
#pragma once

#include <array>
#include <string>

namespace plotrak {

struct ProgramPair {
  std::string name;  // Windows-1250
  std::string path;  // Windows-1250
};
using ProgramPairs = std::array<ProgramPair, 7>;

// The index (0..6) of the pair the line asks to open, or -1 when the line is no such
// command: its letters-only form must hold OTWORZ, URUCHOM, ODPAL or WLACZ, and a pair's
// non-empty name must occur in it (both upper-cased, ASCII letters only); of several names
// the pair later in the table wins.
int OpenProgramChoice(const std::string& line, const ProgramPairs& pairs);

// Opens a path as the desktop's "open" action does: a program file (or a program name
// found on PATH) is started, anything else (a document, a folder, a web or mail address)
// goes to xdg-open. Never waits for what it started. False when the path is empty, names
// no existing file and is no address, or nothing could be started.
bool OpenWithDesktop(const std::string& path);

// "Właśnie otworzyłem dla Ciebie " and "Niestety nie mogę otworzyć " (Windows-1250).
const std::string& OpenedText();
const std::string& CannotOpenText();

}  // namespace plotrak
