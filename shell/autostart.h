// Starting the program with the desktop session: the XDG autostart entry
// ~/.config/autostart/plotrak.desktop whose Exec line is the executable's full path.
#pragma once

#include <filesystem>

namespace plotrak {

// The entry's path under $HOME; empty when HOME is not set.
std::filesystem::path AutostartFile();

// With `on`, writes the entry for `executable`; otherwise removes it. A folder that cannot
// be made is skipped silently, and so is a failed removal; a failure to write the entry
// once its folder exists throws std::runtime_error.
void SetAutostart(bool on, const std::filesystem::path& executable);

}  // namespace plotrak
