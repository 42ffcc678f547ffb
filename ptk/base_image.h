// Turning a base source into the bytes of a base file and back.
//
// The two are exact inverses: BuildBaseBytes(DumpBaseBytes(b)) == b for every file b that
// DumpBaseBytes accepts, and DumpBaseBytes refuses every file the program would not write
// back unchanged (a fourth section, answers before a section's first key, empty fields,
// texts not in the pair-split code, ...), because its source could not say what such a
// file holds.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "ptk/base_source.h"

namespace plotrak::ptk {

// A base file that ptk cannot represent as a source; the message lists why.
class UnrepresentableBase : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The base file bytes of a source. Throws SourceError (with the source line) when the
// source holds something a base file cannot keep: no or an empty version, an empty key
// or answer, or static/dynamic entries behind an empty mother base.
std::string BuildBaseBytes(const BaseSource& source);

// The source of a base file. Throws UnrepresentableBase as above, and std::runtime_error
// when the bytes are not a base file at all (no section separator).
BaseSource DumpBaseBytes(std::string_view bytes);

// The source as the program would read it from a file: entries and answers of a loaded
// base, without the check that the file is in its saved form.
BaseSource SourceOfBase(const KnowledgeBase& base);

// Fills a table from a source (no validation; the caller has validated).
void FillBase(const BaseSource& source, KnowledgeBase& base);

}  // namespace plotrak::ptk
