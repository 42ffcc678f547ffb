#include "shell/data_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "engine/atomic_file.h"

namespace plotrak {
namespace {

constexpr const char* kShippedFiles[] = {"baza.ptk", "imiona.ptk"};

bool Writable(const std::filesystem::path& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::filesystem::path UserDataFolder(const DataFolderInputs& in) {
  if (!in.xdgDataHome.empty() && in.xdgDataHome.front() == '/')
    return std::filesystem::path(in.xdgDataHome) / "plotrak";
  return std::filesystem::path(in.home) / ".local" / "share" / "plotrak";
}

// Copies `name` from the first share folder that has it; false when none has.
bool Seed(const DataFolderInputs& in, const std::filesystem::path& folder, const char* name,
          std::string& error) {
  for (const auto& share : in.shareDirs) {
    std::ifstream file(share / name, std::ios::binary);
    if (!file) continue;
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    if (file.bad()) continue;
    try {
      ReplaceFileAtomically(folder / name, bytes, 0644);
    } catch (const std::exception& failure) {
      error = failure.what();
    }
    return true;
  }
  return false;
}

}  // namespace

DataFolderInputs CurrentDataFolderInputs(const std::filesystem::path& executable,
                                         const std::filesystem::path& dirOption) {
  DataFolderInputs in;
  in.executableDir = executable.parent_path();
  in.dirOption = dirOption;
  if (const char* xdg = std::getenv("XDG_DATA_HOME")) in.xdgDataHome = xdg;
  if (const char* home = std::getenv("HOME"); home && *home) {
    in.home = home;
  } else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) {
    in.home = user->pw_dir;
  }
  in.shareDirs.push_back(in.executableDir.parent_path() / "share" / "plotrak");
#ifdef PLOTRAK_SHARE_DIR
  // the data folder of the installation prefix, or the package's folder inside it
  in.shareDirs.push_back(std::filesystem::path(PLOTRAK_SHARE_DIR) / "plotrak");
  in.shareDirs.push_back(std::filesystem::path(PLOTRAK_SHARE_DIR));
#endif
  return in;
}

DataFolder ChooseDataFolder(const DataFolderInputs& in) {
  DataFolder out;
  std::error_code ec;
  if (!in.dirOption.empty()) {
    out.folder = std::filesystem::absolute(in.dirOption, ec);
    out.note = "plotrak: data folder " + out.folder.string() + " (--dir)";
    return out;
  }
  if (std::filesystem::is_regular_file(in.executableDir / "baza.ptk", ec) &&
      Writable(in.executableDir)) {
    out.folder = in.executableDir;
    out.portable = true;
    return out;
  }
  out.folder = UserDataFolder(in);
  if (!std::filesystem::is_directory(out.folder, ec)) {
    std::filesystem::create_directories(out.folder, ec);
    if (ec) {
      out.error =
          "plotrak: cannot create the data folder " + out.folder.string() + ": " + ec.message();
      return out;
    }
    std::filesystem::permissions(out.folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, ec);
  }
  std::string seeded;
  for (const char* name : kShippedFiles) {
    if (std::filesystem::exists(out.folder / name, ec)) continue;
    std::string failure;
    if (Seed(in, out.folder, name, failure) && failure.empty()) seeded += std::string(" ") + name;
    if (!failure.empty()) out.error = "plotrak: " + failure;
  }
  out.note = "plotrak: data folder " + out.folder.string() +
             (seeded.empty() ? std::string() : " (new copy of" + seeded + ")");
  return out;
}

}  // namespace plotrak
