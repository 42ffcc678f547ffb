// The five counters of a base, as the program's statistics lines show them.
#pragma once

#include <string>

#include "ptk/base_source.h"

namespace plotrak::ptk {

// The counters a load of the source's base file would give, one line each, in UTF-8.
std::string StatsText(const BaseSource& source);

}  // namespace plotrak::ptk
