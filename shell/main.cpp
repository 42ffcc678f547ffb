// plotrak: the chatterbot. Without arguments it opens its window; with --console it runs
// without one.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "shell/console_frontend.h"
#include "shell/data_folder.h"
#include "window/window_frontend.h"

namespace {

std::filesystem::path ExecutablePath(const char* argv0) {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return path;
  return std::filesystem::absolute(argv0, error);
}

constexpr const char kUsage[] =
    "usage: plotrak [--console [--serve] [--dir DIR] [--seed N] [--trace] [--connect LIST]]\n";

constexpr const char kHelp[] =
    "Plotrak 4.0, a Polish-language chatterbot.\n"
    "\n"
    "Without options it opens its window. Options:\n"
    "  --console        no window: read lines (UTF-8) from standard input and answer each\n"
    "                   with one line \"PLOTRAK: <answer>\"; other lines of the window go to\n"
    "                   standard error as [chat], [gg], [www] and [status] lines\n"
    "  --serve          with --console: keep running when standard input ends (a service)\n"
    "  --connect LIST   after start-up press \"Połącz\" of the channels named in the\n"
    "                   comma-separated LIST: chat, gg, www (the applet server), web (the\n"
    "                   web page)\n"
    "  --dir DIR        keep the data in DIR\n"
    "  --seed N         fix the random generator (0..4294967295)\n"
    "  --trace          tell on standard error how each answer was found, and which data\n"
    "                   folder is used when it is not the program's own\n"
    "  --help           this text\n"
    "  --version        the version\n"
    "\n"
    "Data folder: the program's own folder when it holds baza.ptk and is writable;\n"
    "otherwise $XDG_DATA_HOME/plotrak (~/.local/share/plotrak), made on first start from\n"
    "the shipped baza.ptk and imiona.ptk; --dir overrides both. It holds the knowledge base\n"
    "baza.ptk (the previous one kept as baza.ptk.bak), imiona.ptk, the settings setup.ini,\n"
    "the contacts gadugadu.ptk, emaile.txt, servicelog.ptk and the logs in logi/.\n"
    "\n"
    "setup.ini is read at start and written when the program ends. End of input (without\n"
    "--serve), SIGTERM and SIGINT end the program as \"zamknij\" does: the autostart entry,\n"
    "the settings and the contacts are written.\n";

int Usage() {
  std::fputs(kUsage, stderr);
  std::fputs("try: plotrak --help\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  plotrak::ConsoleOptions options;
  options.executable = ExecutablePath(argv[0]);
  std::filesystem::path dirOption;
  bool console = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      std::fputs(kHelp, stdout);
      return 0;
    } else if (arg == "--version") {
      std::fputs("plotrak 4.0\n", stdout);
      return 0;
    } else if (arg == "--console") {
      console = true;
    } else if (arg == "--serve") {
      options.serve = true;
    } else if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--dir" && hasValue && *argv[i + 1]) {
      dirOption = argv[++i];
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
  if (options.serve && !console) return Usage();

  const plotrak::DataFolder data =
      plotrak::ChooseDataFolder(plotrak::CurrentDataFolderInputs(options.executable, dirOption));
  if (options.trace && !data.note.empty()) std::fprintf(stderr, "%s\n", data.note.c_str());
  if (!data.error.empty()) std::fprintf(stderr, "%s\n", data.error.c_str());
  options.dataDir = data.folder;
  if (!console) return plotrak::RunWindow(options);
  return plotrak::RunConsole(options);
}
