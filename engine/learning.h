// The three stores of the learning cycle. They change the in-memory base and its counters;
// saving is the caller's business.
#pragma once

#include <string>

namespace plotrak {

class Engine;

// Adds the answer to the static question with the same letters, or a new static entry.
void LearnPair(Engine& engine, const std::string& question, const std::string& answer);
// Keeps a text nothing could answer as a dynamic phrase, unless its letters are there already.
void LearnPhrase(Engine& engine, const std::string& text);
// Removes the dynamic phrase equal to the text byte for byte; true when one was removed.
bool ForgetDynamicPhrase(Engine& engine, const std::string& phrase);

}  // namespace plotrak
