// Reading and writing "setup.ini" (Windows-1250, CR LF line ends, section and key names
// compared without regard to letter case). Keys this program does not know are kept.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "engine/atomic_file.h"
#include "shell/settings_values.h"

namespace plotrak {

inline constexpr const char* kSettingsFileName = "setup.ini";

// Reads every setting in table order into `values`. A missing file or key gives the
// default; a flag or colour that cannot be read gives the default. A status or slider
// value that is not a whole number gets the control's design value (DesignValue) and the
// reading goes on, so one typo cannot cost the keys after it; once every key is read, the
// first such value is thrown as ConversionError for the general error handler.
void ReadSettings(const std::filesystem::path& file, SettingsValues& values);
void ReadSettingsFromBytes(std::string_view bytes, SettingsValues& values);

// Writes the file. When the file did not exist or `defaultsOnly` is set, every key is first
// written with its default (so a new file has the keys in table order); unless
// `defaultsOnly`, the current values are then written over them. The new file replaces the
// old one by rename (ReplaceFileAtomically), so a crash never leaves half a file; it keeps
// the old file's mode, and a new file, which holds the passwords, is readable by its owner
// only. Throws std::runtime_error("Unable to write to setup.ini") when it cannot be written;
// the old file is then left as it was.
void WriteSettings(const std::filesystem::path& file, const SettingsValues& values,
                   bool defaultsOnly);

// The bytes WriteSettings would write over a file holding `existing` (`exists` false: no
// file yet).
std::string SettingsFileBytes(std::string_view existing, bool exists, const SettingsValues& values,
                              bool defaultsOnly);

// Writes the defaults, then reads them back into `values`.
void ResetSettings(const std::filesystem::path& file, SettingsValues& values);

}  // namespace plotrak
