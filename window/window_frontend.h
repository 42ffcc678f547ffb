// The program with its window: the main window, the tray icon, the event loop.
#pragma once

#include "shell/console_frontend.h"

namespace plotrak {

// Runs the program with its window until "zamknij"; returns the exit status. Without a
// display it says so in one line on stderr and returns 2.
int RunWindow(const ConsoleOptions& options);

}  // namespace plotrak
