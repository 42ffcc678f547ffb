// The people of the current room as the server lists them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plotrak::polchat {

// One person.
struct TOsoba {
  std::u16string NickW;  // the nickname decoded from UTF-8
  std::string NickKey;   // UTF-8 bytes, A-Z lowered, each as two upper-case hex digits
  uint8_t Status1 = 0;
  uint8_t Status2 = 0;
};

// UTF-8 to UTF-16; each byte of a malformed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// The key of a nickname: "Ab" gives "6162".
std::string NickKeyOf(const std::u16string& nick);
// A person listed under the wire nickname `wire`.
TOsoba MakeOsoba(std::string_view wire, uint8_t status1, uint8_t status2);

// The ordered list of (wire nickname, person). Lookups compare wire nicknames exactly.
class NickList {
 public:
  // More people than one people packet can list are not kept: a peer that announces
  // entrances for ever must not grow the list for ever.
  static constexpr size_t kMaxPeople = 65535;

  using Entry = std::pair<std::string, TOsoba>;
  const std::vector<Entry>& entries() const { return entries_; }
  size_t size() const { return entries_.size(); }
  void Clear() { entries_.clear(); }
  // False (nothing added) when the list is full.
  bool Append(std::string wire, TOsoba person);
  // Index of the first entry with this wire nickname, or -1.
  long Find(std::string_view wire) const;
  void RemoveAt(size_t index) { entries_.erase(entries_.begin() + static_cast<long>(index)); }
  TOsoba& at(size_t index) { return entries_[index].second; }

 private:
  std::vector<Entry> entries_;
};

}  // namespace plotrak::polchat
