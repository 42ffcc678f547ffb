// Replacing a data file so that a crash or a power loss leaves either the old file or the
// new one, never a mix or an empty file.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

namespace plotrak {

// Writes `bytes` to a new file created exclusively beside `file` (named `file` + ".XXXXXX"),
// syncs it, renames it over `file` and syncs the folder. The new file keeps the mode (and,
// where the process may, the owner) of the file it replaces; a file that did not exist gets
// `newFileMode`. Throws std::runtime_error naming the file on any failure, leaving `file`
// as it was and no temporary file behind.
void ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           mode_t newFileMode = 0644);

}  // namespace plotrak
