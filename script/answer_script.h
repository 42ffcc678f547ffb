// The answer-script language: conditions in mother-base keys and calls in answers.
#pragma once

#include <string>
#include <string_view>

namespace plotrak {

class Engine;

// Runs every "|...|" condition group of an upper-cased key for the speaker; false at the
// first condition that fails. `input` is the normalised input. May change the speaker's
// record and the program-wide script state, and the base: so `key` must not be a view of a
// base cell.
bool CheckKeyConditions(Engine& engine, std::string_view key, const std::string& speaker,
                        const std::string& input);

// Whether the key's first condition group is a test of the speaker's marker or topic
// ("CZY_OSTATNI", "CZY_TEMAT") that fails now. CheckKeyConditions would then fail before any
// condition changed anything, so a caller may pass over the key without trying its patterns:
// the keys that wait for a marker or a topic are tried on every text. Changes nothing.
bool FirstConditionFails(Engine& engine, std::string_view key, const std::string& speaker);

// The text the bot says for an answer template; empty when the template is empty, a
// condition call failed, or its calls produced nothing.
std::string ExpandAnswer(Engine& engine, const std::string& answerTemplate,
                         const std::string& speaker, const std::string& input);

}  // namespace plotrak
