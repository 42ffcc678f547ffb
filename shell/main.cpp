// plotrak: the chatterbot. With --console it runs without its window.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "shell/console_frontend.h"
#include "window/window_frontend.h"

namespace {

std::filesystem::path ExecutablePath(const char* argv0) {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return path;
  return std::filesystem::absolute(argv0, error);
}

int Usage() {
  std::fputs("usage: plotrak --console [--dir DIR] [--seed N] [--trace] [--connect chat,gg]\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  plotrak::ConsoleOptions options;
  options.executable = ExecutablePath(argv[0]);
  options.dataDir = options.executable.parent_path();
  bool console = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--console") {
      console = true;
    } else if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--dir" && hasValue) {
      options.dataDir = std::filesystem::absolute(argv[++i]);
    } else if (arg == "--seed" && hasValue) {
      const std::string text = argv[++i];
      if (text.empty() || text.size() > 10 ||
          text.find_first_not_of("0123456789") != std::string::npos)
        return Usage();
      const unsigned long long seed = std::stoull(text);
      if (seed > 0xFFFFFFFFull) return Usage();
      options.seed = static_cast<uint32_t>(seed);
    } else if (arg == "--connect" && hasValue) {
      std::string list = argv[++i];
      size_t start = 0;
      while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        if (comma > start) options.connect.push_back(list.substr(start, comma - start));
        start = comma + 1;
      }
    } else {
      return Usage();
    }
  }
  if (!console) return plotrak::RunWindow(options);
  return plotrak::RunConsole(options);
}
