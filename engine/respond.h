// The one entry point every channel calls with what a person said.
#pragma once

#include <string>

namespace plotrak {

class Engine;
struct BotCommandState;

// Channel tags.
inline constexpr const char* kChannelProgram = "prog";
inline constexpr const char* kChannelChat = "chat";
inline constexpr const char* kChannelGaduGadu = "gg";
inline constexpr const char* kChannelWww = "www";

// The bot's answer to `text` from `speaker` on `channel`: may be empty (no answer) or a
// single space (a silenced local conversation). `learn` is the channel's learning switch.
// The text is first put through CleanIncomingText (bounded, no control bytes).
// Throws on an input/output error (service log, base file) and on a conversion error of a
// script argument; the caller's general handler reports it.
std::string Respond(Engine& engine, const std::string& speaker, const std::string& text, bool learn,
                    const std::string& channel);

// Respond and then BotCommand, as a channel calls them for what a person said, with one
// difference: a text that a command answers is counted and recorded like any other (service
// log, statistics, repeat count) but is not taken as conversation: it does not answer the
// person's pending question, is not kept as a phrase to ask others, and no question is asked
// in its place; the command's answer is returned (trace "command"). A command that is
// switched off answers nothing, so its text is ordinary conversation. `byCommand`, when
// given, tells whether a command answered (channels deliver those at once). Throws as
// Respond.
std::string RespondOrCommand(Engine& engine, const BotCommandState& commands,
                             const std::string& speaker, const std::string& text, bool learn,
                             const std::string& channel, bool chatFlag,
                             bool* byCommand = nullptr);

}  // namespace plotrak
