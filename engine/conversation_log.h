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

// The file name (UTF-8, without ".htm") a speaker identity is logged under. An identity
// that can name a file and holds no "%" stands as it is ("Ala"). In any other, "%", "/",
// control bytes and DEL, and a leading "." are written as "%XX"; the empty identity is "%";
// a name too long for the file system keeps its head and ends in "%~" and 32 hexadecimal
// digits of its SHA-256. So the mapping is one to one, and no identity reaches outside the
// channel's folder.
std::string LogFileName(const std::string& speaker);

// Appends one line (texts in Windows-1250, written as UTF-8; the text and the speaker
// HTML-escaped) to dataDir/logi/<channel>/<LogFileName(speaker)>.htm, creating the folders and the
// file header as needed. `logChannel` is "program", "chat", "gadugadu" or "www". Throws
// std::runtime_error when the file cannot be written.
void WriteLogLine(const std::filesystem::path& dataDir, const std::string& speaker,
                  const std::string& text, LogWho who, const std::string& logChannel,
                  const LocalTime& now);

}  // namespace plotrak
