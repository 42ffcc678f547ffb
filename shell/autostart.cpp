#include "shell/autostart.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "shell/settings_file.h"

namespace plotrak {
namespace {

// Exec= quoting of the desktop entry format: a path with blanks or quoting characters is
// put in double quotes with ", `, $ and \ escaped.
std::string ExecArgument(const std::string& path) {
  bool needsQuotes = false;
  for (char c : path)
    if (std::string_view(" \t\"'\\><~|&;$*?#()`=%").find(c) != std::string_view::npos)
      needsQuotes = true;
  if (!needsQuotes) return path;
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += "\\\\";
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::filesystem::path AutostartFile() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  return std::filesystem::path(home) / ".config" / "autostart" / "plotrak.desktop";
}

void SetAutostart(bool on, const std::filesystem::path& executable) {
  const std::filesystem::path file = AutostartFile();
  if (file.empty()) return;
  std::error_code ignored;
  if (!on) {
    std::filesystem::remove(file, ignored);
    return;
  }
  std::filesystem::create_directories(file.parent_path(), ignored);
  if (!std::filesystem::is_directory(file.parent_path(), ignored)) return;
  const std::string exec = std::filesystem::absolute(executable, ignored).string();
  ReplaceFileAtomically(file,
                        "[Desktop Entry]\n"
                        "Type=Application\n"
                        "Name=Plotrak\n"
                        "Comment=Chatterbot Plotrak 4.0\n"
                        "Exec=" +
                            ExecArgument(exec) +
                            "\n"
                            "Terminal=false\n"
                            "X-GNOME-Autostart-enabled=true\n");
}

}  // namespace plotrak
