// Whether a graphical session can be reached before Qt is asked to open one: Qt ends the
// process when no platform plugin starts, and the program must instead say so and
// suggest the console mode.
#pragma once

#include <string>

namespace plotrak {

// Empty when a display looks usable (or a platform was chosen with QT_QPA_PLATFORM, such
// as offscreen); otherwise the reason, for one line on stderr.
std::string MissingDisplayReason();

// The line printed when the window cannot start.
std::string NoDisplayLine(const std::string& reason);

}  // namespace plotrak
