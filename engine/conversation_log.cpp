#include "engine/conversation_log.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "engine/cp1250.h"
#include "engine/knowledge_base.h"

namespace plotrak {
namespace {

std::string TwoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (size_t hit; (hit = text.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
    out.append(text, pos, hit - pos);
    out += to;
  }
  out.append(text, pos);
  text = std::move(out);
}

// "&" goes first so that the entities of the later replacements are not escaped again.
std::string EscapeLogText(std::string text) {
  ReplaceAll(text, "&", "&amp;");
  ReplaceAll(text, ">", "&gt;");
  ReplaceAll(text, "\"", "&quot;");
  ReplaceAll(text, "<", "&lt;");
  return text;
}

constexpr size_t kMaxFileName = 255;  // bytes, ".htm" included

}  // namespace

std::string TimeStamp(const LocalTime& t) {
  return "[" + std::to_string(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + "][" +
         TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second) + "] ";
}

std::string DurationText(int32_t seconds) {
  if (seconds < 0) seconds = 0;
  return "godzin " + std::to_string(seconds / 3600) + " minut " +
         std::to_string(seconds % 3600 / 60) + " sekund " + std::to_string(seconds % 60);
}

std::string LogFileName(const std::string& speaker) {
  const std::string name = ToUtf8(speaker);
  const bool valid = !name.empty() && name != "." && name != ".." &&
                     name.find_first_of(std::string("/\0", 2)) == std::string::npos &&
                     name.size() + 4 <= kMaxFileName;
  if (valid) return name;
  // Identities that cannot name a file inside the channel folder are percent-mapped.
  std::string mapped;
  for (unsigned char c : name) {
    if (c == '/' || c == '\0' || c == '%' || c < 0x20) {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      mapped += buf;
    } else {
      mapped += static_cast<char>(c);
    }
  }
  if (mapped.empty() || mapped == "." || mapped == "..") {
    ReplaceAll(mapped, ".", "%2E");
    if (mapped.empty()) mapped = "%00";
  }
  if (mapped.size() + 4 > kMaxFileName) {
    // Keep a readable head and tell long names apart by a hash of the whole identity.
    const size_t hash = std::hash<std::string>{}(speaker);
    char tail[24];
    std::snprintf(tail, sizeof tail, "~%016zx", hash);
    size_t cut = kMaxFileName - 4 - std::string_view(tail).size();
    while (cut > 0 && (static_cast<unsigned char>(mapped[cut]) & 0xC0) == 0x80) --cut;
    mapped = mapped.substr(0, cut) + tail;
  }
  return mapped;
}

void WriteLogLine(const std::filesystem::path& dataDir, const std::string& speaker,
                  const std::string& text, LogWho who, const std::string& logChannel,
                  const LocalTime& now) {
  const std::filesystem::path logs = dataDir / "logi";
  for (const char* folder : {"", "gadugadu", "chat", "www", "program"}) {
    std::error_code ignored;
    std::filesystem::create_directory(logs / folder, ignored);
  }
  const std::filesystem::path file = logs / logChannel / (LogFileName(speaker) + ".htm");
  MakeWritable(file);
  std::error_code ec;
  const bool exists = std::filesystem::exists(file, ec);
  std::ofstream out(file, std::ios::binary | std::ios::app);
  if (!out) throw std::runtime_error("Cannot open log file " + file.string());
  if (!exists) {
    out << "<HTML>\r\n<HEAD>\r\n"
        << "<META http-equiv=Content-Type content=\"text/html; charset=UTF-8\">\r\n"
        << "</HEAD>\r\n<BODY>\r\n";
  }
  const std::string line = who == LogWho::kPerson
                               ? TimeStamp(now) + "<b>" + speaker + "</b> " + EscapeLogText(text) + "<br>"
                               : TimeStamp(now) + "<b>PLOTRAK</b><i> " + EscapeLogText(text) + "</i><br>";
  out << ToUtf8(line) << "\r\n";
  out.flush();
  if (!out) throw std::runtime_error("Cannot write log file " + file.string());
}

}  // namespace plotrak
