// The window-less frontend: the local conversation through stdin/stdout, the rest of the
// window's lines on stderr. Runs in a QCoreApplication event loop so channels and timers
// work as in the window.
#pragma once

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
  std::vector<std::string> connect;  // channel names to connect after start-up
};

// Runs the program until end of input; returns the exit status.
int RunConsole(const ConsoleOptions& options);

}  // namespace plotrak
