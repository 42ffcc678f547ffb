// Matching an input against a section of the base and choosing the answer.
#pragma once

#include <string>
#include <string_view>

namespace plotrak {

class Engine;

// Whether one of the key's "$...$" patterns covers the normalised input and the key's
// conditions hold for the speaker. Sets nameCaptured to true first. A key with conditions is
// copied before they run, so it may be a view into the base or a person's record.
bool MatchKey(Engine& engine, const std::string& input, std::string_view key,
              const std::string& speaker);

// The answer of the section (1 mother, 2 static) for the input, expanded for the speaker;
// empty when none applies. The search starts behind entry `start`.
std::string FindAnswer(Engine& engine, int section, const std::string& input,
                       const std::string& speaker, int start = 0);

}  // namespace plotrak
