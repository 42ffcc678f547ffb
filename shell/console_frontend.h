// The window-less frontend: the local conversation through stdin/stdout, the rest of the
// window's lines on stderr. Runs in a QCoreApplication event loop so channels and timers
// work as in the window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace plotrak {

struct ConsoleOptions {
  std::filesystem::path dataDir;
  std::filesystem::path executable;
  std::optional<uint32_t> seed;
  bool trace = false;
  bool serve = false;                // keep running when standard input ends
  std::vector<std::string> connect;  // channel names to connect after start-up
};

// Runs the program until the end of its input (with `serve`: until SIGTERM or SIGINT, which
// end it as "zamknij" does in both cases); returns the exit status.
int RunConsole(const ConsoleOptions& options);

}  // namespace plotrak
