// The readable source form of a knowledge base, as base authors write it.
//
//   # a comment line
//   WERSJA: 4.0 startowa
//   [MATKA]            mother base: patterns and answers
//   K: $^CZESC^$|OSTATNI&POWITANIE|
//   A: Cześć!
//   A: Witaj, |imie&PODAJ|!
//   [STATYCZNA]        static base: plain questions and answers
//   K: Jak masz na imię?
//   A: Plotrak.
//   [DYNAMICZNA]       dynamic base: phrases to ask people about
//   K: co to jest kwark
//
// "K:" starts an entry and holds its key; each "A:" adds an answer to the entry above it.
// One space after the colon is dropped; the rest of the line is the text (see
// source_text.h for escapes). Blank lines and comments may stand anywhere. The sections
// come in this order; a missing one is empty.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/knowledge_base.h"

namespace plotrak::ptk {

struct SourceField {
  std::string text;  // Windows-1250
  int line = 0;      // where it stands in the source, 1-based; 0 when not from a source
};

struct SourceEntry {
  SourceField key;
  std::vector<SourceField> answers;
};

struct BaseSource {
  SourceField version;
  bool hasVersion = false;
  std::vector<SourceEntry> sections[3];  // mother, static, dynamic

  std::vector<SourceEntry>& Section(int section) { return sections[section - 1]; }
  const std::vector<SourceEntry>& Section(int section) const { return sections[section - 1]; }
};

// The header names of the three sections, as written in a source.
const char* SectionHeader(int section);

// Parses a source file (UTF-8). Throws SourceError for a line that is not a comment,
// a header, "WERSJA:", "K:" or "A:", for an answer before any key, for sections out of
// order or repeated, and for texts that cannot be written in Windows-1250. Empty texts are
// kept: whether they may stand is for the caller to decide.
BaseSource ParseBaseSource(std::string_view utf8);

// The source text of a base: the version, then every section with its entries.
std::string PrintBaseSource(const BaseSource& source);

}  // namespace plotrak::ptk
