// Log file names from identities a stranger chooses (chat nicks, Gadu-Gadu numbers, web
// identifiers). The input is two identities separated by the first 0xFF byte (or one, used
// twice). Every name must stay a plain file name inside logi/<channel>/; a name without the
// hash tail must decode back to its identity; two different identities never share a name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/conversation_log.h"
#include "engine/cp1250.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The name as a file name: no separator, no NUL or other control byte, not hidden, never
// "." or "..", within the file system's bound with ".htm".
void CheckPlainFileName(const std::string& name) {
  Check(!name.empty() && name.size() + 4 <= 255);
  Check(name[0] != '.');
  for (unsigned char c : name) Check(c >= 0x20 && c != 0x7F && c != '/');
}

// Names without the hash tail decode back to the identity (in UTF-8).
void CheckDecodes(const std::string& name, const std::string& identity) {
  if (name.find("%~") != std::string::npos) return;
  if (name == "%") return Check(identity.empty());
  std::string decoded;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '%') {
      decoded += name[i];
      continue;
    }
    Check(i + 2 < name.size());
    const int high = HexValue(name[i + 1]), low = HexValue(name[i + 2]);
    Check(high >= 0 && low >= 0);
    decoded += static_cast<char>(high * 16 + low);
    i += 2;
  }
  Check(decoded == plotrak::ToUtf8(identity));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\xFF');
  const std::string first = input.substr(0, split);
  const std::string second = split == std::string::npos ? first : input.substr(split + 1);
  const std::string a = plotrak::LogFileName(first);
  const std::string b = plotrak::LogFileName(second);
  CheckPlainFileName(a);
  CheckPlainFileName(b);
  CheckDecodes(a, first);
  CheckDecodes(b, second);
  Check((first == second) == (a == b));
  return 0;
}
