// The one entry point every channel calls with what a person said.
#pragma once

#include <string>

namespace plotrak {

class Engine;

// Channel tags.
inline constexpr const char* kChannelProgram = "prog";
inline constexpr const char* kChannelChat = "chat";
inline constexpr const char* kChannelGaduGadu = "gg";
inline constexpr const char* kChannelWww = "www";

// The bot's answer to `text` from `speaker` on `channel`: may be empty (no answer) or a
// single space (a silenced local conversation). `learn` is the channel's learning switch.
// Throws on an input/output error (service log, base file) and on a conversion error of a
// script argument; the caller's general handler reports it.
std::string Respond(Engine& engine, const std::string& speaker, const std::string& text,
                    bool learn, const std::string& channel);

}  // namespace plotrak
