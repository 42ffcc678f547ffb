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

// SHA-256 as hexadecimal: a hash nobody can make collide, so over-long identities stay
// apart however they are chosen.
std::string Sha256Hex(std::string_view data) {
  static constexpr uint32_t k[64] = {
      0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
      0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
      0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
      0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
      0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
      0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
      0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
      0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
      0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
      0xc67178f2};
  uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                   0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::string msg(data);
  const uint64_t bits = static_cast<uint64_t>(data.size()) * 8;
  msg += static_cast<char>(0x80);
  while (msg.size() % 64 != 56) msg += '\0';
  for (int i = 7; i >= 0; --i) msg += static_cast<char>(bits >> (8 * i));
  auto rotr = [](uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
  for (size_t block = 0; block < msg.size(); block += 64) {
    uint32_t w[64];
    for (int i = 0; i < 16; ++i) {
      const auto* p = reinterpret_cast<const unsigned char*>(msg.data() + block + 4 * i);
      w[i] = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
    }
    for (int i = 16; i < 64; ++i) {
      const uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      const uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
    for (int i = 0; i < 64; ++i) {
      const uint32_t t1 =
          hh + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
      const uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
      hh = g;
      g = f;
      f = e;
      e = d + t1;
      d = c;
      c = b;
      b = a;
      a = t1 + t2;
    }
    const uint32_t add[8] = {a, b, c, d, e, f, g, hh};
    for (int i = 0; i < 8; ++i) h[i] += add[i];
  }
  std::string hex;
  char buf[9];
  for (uint32_t word : h) {
    std::snprintf(buf, sizeof buf, "%08x", word);
    hex += buf;
  }
  return hex;
}

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
  auto needsEscape = [](unsigned char c, bool first) {
    return c < 0x20 || c == 0x7F || c == '/' || c == '%' || (first && c == '.');
  };
  bool plain = !name.empty() && name.size() + 4 <= kMaxFileName;
  for (size_t i = 0; plain && i < name.size(); ++i)
    plain = !needsEscape(static_cast<unsigned char>(name[i]), i == 0);
  if (plain) return name;
  // Every other identity gets a form with at least one "%": "%XX" escapes (so "%" itself is
  // escaped and the form decodes back to one identity), a lone "%" for the empty identity,
  // or "%~" and a hash for an over-long one. No plain name holds a "%", so no two identities
  // share a file.
  if (name.empty()) return "%";
  std::string mapped;
  mapped.reserve(name.size() + 16);
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (needsEscape(c, i == 0)) {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      mapped += buf;
    } else {
      mapped += static_cast<char>(c);
    }
  }
  if (mapped.size() + 4 <= kMaxFileName) return mapped;
  // Keep a readable head and tell long names apart by a hash of the whole identity.
  const std::string tail = "%~" + Sha256Hex(speaker).substr(0, 32);
  size_t cut = kMaxFileName - 4 - tail.size();
  while (cut > 0 && (static_cast<unsigned char>(mapped[cut]) & 0xC0) == 0x80) --cut;
  // never half an escape
  if (cut >= 1 && mapped[cut - 1] == '%') {
    cut -= 1;
  } else if (cut >= 2 && mapped[cut - 2] == '%') {
    cut -= 2;
  }
  return mapped.substr(0, cut) + tail;
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
  const std::string line =
      who == LogWho::kPerson
          ? TimeStamp(now) + "<b>" + EscapeLogText(speaker) + "</b> " + EscapeLogText(text) + "<br>"
          : TimeStamp(now) + "<b>PLOTRAK</b><i> " + EscapeLogText(text) + "</i><br>";
  out << ToUtf8(line) << "\r\n";
  out.flush();
  if (!out) throw std::runtime_error("Cannot write log file " + file.string());
}

}  // namespace plotrak
