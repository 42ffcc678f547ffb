// The first-names list: a UTF-8 source with one name a line, written to imiona.ptk in
// Windows-1250 for the name capture of the answer scripts.
//
// The capture takes the FIRST list name that occurs anywhere in the person's text, so a
// name must come before every shorter name it contains (MARIANNA before MARIAN before
// MARIA before ... ), or the shorter one would always win. The builder refuses a list that
// breaks this, and duplicates.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plotrak::ptk {

struct NameLine {
  std::string name;    // Windows-1250, as written
  std::string stored;  // as the program keeps it: upper case, Polish letters folded, no spaces
  int line = 0;
};

// The form in which the program stores a line of imiona.ptk.
std::string StoredNameForm(std::string_view cp1250);

// The names of a list source: blank lines and "#" comments are skipped. Throws SourceError
// for a character without a Windows-1250 form, a duplicate, or a name listed after a
// shorter name it contains.
std::vector<NameLine> ParseNamesSource(std::string_view utf8);

// The bytes of imiona.ptk: the names in Windows-1250, one a line.
std::string NamesFileBytes(const std::vector<NameLine>& names);

}  // namespace plotrak::ptk
