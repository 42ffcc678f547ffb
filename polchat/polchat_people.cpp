#include "polchat/polchat_people.h"

namespace plotrak::polchat {

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const uint8_t lead = static_cast<uint8_t>(utf8[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    int extra = 0;
    uint32_t code = 0, min = 0;
    if ((lead & 0xE0) == 0xC0)
      extra = 1, code = lead & 0x1F, min = 0x80;
    else if ((lead & 0xF0) == 0xE0)
      extra = 2, code = lead & 0x0F, min = 0x800;
    else if ((lead & 0xF8) == 0xF0)
      extra = 3, code = lead & 0x07, min = 0x10000;
    bool ok = extra > 0 && utf8.size() - i > static_cast<size_t>(extra);
    for (int k = 1; ok && k <= extra; ++k) {
      const uint8_t next = static_cast<uint8_t>(utf8[i + k]);
      if ((next & 0xC0) != 0x80)
        ok = false;
      else
        code = (code << 6) | (next & 0x3F);
    }
    if (!ok || code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += extra + 1;
  }
  return out;
}

std::string NickKeyOf(const std::u16string& nick) {
  std::string utf8;
  for (size_t i = 0; i < nick.size(); ++i) {
    uint32_t code = nick[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < nick.size() && nick[i + 1] >= 0xDC00 &&
        nick[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (nick[++i] - 0xDC00);
    }
    if (code < 0x80) {
      utf8.push_back(static_cast<char>(code >= 'A' && code <= 'Z' ? code + 32 : code));
    } else if (code < 0x800) {
      utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      utf8.push_back(static_cast<char>(0xE0 | (code >> 12)));
      utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      utf8.push_back(static_cast<char>(0xF0 | (code >> 18)));
      utf8.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  static const char kHex[] = "0123456789ABCDEF";
  std::string key;
  key.reserve(utf8.size() * 2);
  for (unsigned char byte : utf8) {
    key.push_back(kHex[byte >> 4]);
    key.push_back(kHex[byte & 0x0F]);
  }
  return key;
}

TOsoba MakeOsoba(std::string_view wire, uint8_t status1, uint8_t status2) {
  TOsoba person;
  person.NickW = Utf8ToUtf16(wire);
  person.NickKey = NickKeyOf(person.NickW);
  person.Status1 = status1;
  person.Status2 = status2;
  return person;
}

bool NickList::Append(std::string wire, TOsoba person) {
  if (entries_.size() >= kMaxPeople) return false;
  entries_.emplace_back(std::move(wire), std::move(person));
  return true;
}

long NickList::Find(std::string_view wire) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].first == wire) return static_cast<long>(i);
  return -1;
}

}  // namespace plotrak::polchat
