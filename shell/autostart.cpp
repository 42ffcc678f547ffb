#include "shell/autostart.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "shell/settings_file.h"

namespace plotrak {
namespace {

// The Exec= value for one program path: the argument is double-quoted when it holds a blank
// or a quoting character (with ", `, $ and \ escaped inside), a literal % is doubled so it
// is no field code, and the result gets the string escapes of the entry file (\\, \n, \t,
// \r), so no path can break the line or forge another key.
std::string ExecArgument(const std::string& path) {
  bool needsQuotes = false;
  for (char c : path)
    if (std::string_view(" \t\n\r\"'\\><~|&;$*?#()`=%").find(c) != std::string_view::npos)
      needsQuotes = true;
  std::string argument;
  if (needsQuotes) argument += '"';
  for (char c : path) {
    if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\')) argument += '\\';
    argument += c;
    if (c == '%') argument += '%';
  }
  if (needsQuotes) argument += '"';
  std::string value;
  for (char c : argument) {
    switch (c) {
      case '\\':
        value += "\\\\";
        break;
      case '\n':
        value += "\\n";
        break;
      case '\t':
        value += "\\t";
        break;
      case '\r':
        value += "\\r";
        break;
      default:
        value += c;
    }
  }
  return value;
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
