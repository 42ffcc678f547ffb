// Whole-file reading and all-or-nothing writing for the ptk commands.
#pragma once

#include <filesystem>
#include <string>

namespace plotrak::ptk {

// The bytes of a file. Throws std::runtime_error when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// Writes through a temporary file in the same folder that is renamed over the target, so a
// failed write leaves no half-written file behind. Throws std::runtime_error.
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace plotrak::ptk
