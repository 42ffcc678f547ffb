// The HTML conversation logs under logi/, and the time texts other parts share.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/clock.h"

namespace plotrak {

enum class LogWho { kPerson, kBot };

// "[2004-03-07][09:05:01] " for the given time.
std::string TimeStamp(const LocalTime& t);
// "godzin H minut M sekund S"; a negative number of seconds gives zeros.
std::string DurationText(int32_t seconds);

// The file name a speaker identity is logged under: the identity itself when it can stand
// as a file name, otherwise a mapped form that stays inside the channel folder ("/" and
// control bytes become "%XX"; "." and ".." get a "%2E" form; "%" itself is mapped only in
// names that need mapping, so valid names keep their exact spelling).
std::string LogFileName(const std::string& speaker);

// Appends one line (texts in Windows-1250, written as UTF-8) to
// dataDir/logi/<channel>/<speaker>.htm, creating the folders and the file header as needed.
// `logChannel` is "program", "chat", "gadugadu" or "www". Throws std::runtime_error when the
// file cannot be written.
void WriteLogLine(const std::filesystem::path& dataDir, const std::string& speaker,
                  const std::string& text, LogWho who, const std::string& logChannel,
                  const LocalTime& now);

}  // namespace plotrak
