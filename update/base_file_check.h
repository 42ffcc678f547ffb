// Whether downloaded bytes are a knowledge base worth installing.
#pragma once

#include <string_view>

namespace plotrak {

// True when `bytes` have the shape of a saved base (an encoded version, then three sections,
// the first opening with an entry; every text in the pair-split code, so nothing but the
// three separators above 128) and load into a base with at least one mother key. An error
// page, an archive or a truncated file is refused.
bool LooksLikeBaseFile(std::string_view bytes);

}  // namespace plotrak
