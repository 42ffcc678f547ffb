// Where the program keeps its data (baza.ptk, imiona.ptk, setup.ini, logs, contacts, the
// e-mail file): the executable's folder when it holds baza.ptk and is writable (a portable
// copy, the build tree); otherwise the user's own folder under $XDG_DATA_HOME, created on
// first start and seeded from the shipped files; `--dir` overrides both. The shipped files
// are only ever read.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace plotrak {

struct DataFolderInputs {
  std::filesystem::path executableDir;
  std::filesystem::path dirOption;  // --dir; empty when not given
  std::string xdgDataHome;          // $XDG_DATA_HOME; only an absolute path counts
  std::string home;                 // $HOME
  // Folders holding the shipped baza.ptk and imiona.ptk, tried in order.
  std::vector<std::filesystem::path> shareDirs;
};

struct DataFolder {
  std::filesystem::path folder;
  bool portable = false;  // the executable's own folder
  std::string note;       // one line for --trace when not portable; empty otherwise
  std::string error;      // why the per-user folder could not be made; empty on success
};

// The inputs of this process: the environment, and the shipped data beside the executable
// (<exe>/../share/plotrak) or where the build put it (PLOTRAK_SHARE_DIR).
DataFolderInputs CurrentDataFolderInputs(const std::filesystem::path& executable,
                                         const std::filesystem::path& dirOption);

// Chooses the folder and, for the per-user one, creates it (mode 0700) and copies in each
// shipped file it lacks. A file already there is never replaced.
DataFolder ChooseDataFolder(const DataFolderInputs& inputs);

}  // namespace plotrak
