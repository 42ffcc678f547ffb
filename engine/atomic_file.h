// Replacing a data file so that a crash or a power loss leaves either the old file or the
// new one, never a mix or an empty file.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

namespace plotrak {

// Writes `bytes` to a new file created exclusively beside `file` (named `file` +
// ".XXXXXX.tmp", six random letters or digits),
// syncs it, renames it over `file` and syncs the folder. The new file keeps the mode (and,
// where the process may, the owner) of the file it replaces; a file that did not exist gets
// `newFileMode`. Throws std::runtime_error naming the file on any failure, leaving `file`
// as it was and no temporary file behind.
void ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           mode_t newFileMode = 0644);

// Removes what a crash in the middle of ReplaceFileAtomically can leave beside `file`:
// "<file>.XXXXXX.tmp", and what earlier versions left: "<file>.XXXXXX" (only with a digit or
// a capital among the six, so that a user's "baza.ptk.backup" stays) and "<file>.tmp<digits>".
// Nothing else is touched; errors are ignored. Returns how many were removed. Call it at
// start-up, before anything saves `file`.
int RemoveStaleTemporaries(const std::filesystem::path& file);

}  // namespace plotrak
