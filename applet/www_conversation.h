// One text from a web visitor, whether it came through the applet server or the web page:
// Respond and BotCommand on channel "www", the conversation logs, the said-texts counter, the
// longest-text statistics and the lines of the " WWW  " page with the visitor's tab. Both
// servers call this one function, so the two cannot drift apart.
#pragma once

#include <string>

namespace plotrak {

class Application;

// `identifier` is the visitor's conversation identifier (the engine's speaker), `sentence`
// what the visitor said, both Windows-1250. Returns the answer (may be empty). Errors go to
// the application's general handler and give an empty answer.
std::string WwwConversation(Application& app, const std::string& identifier,
                            const std::string& sentence);

}  // namespace plotrak
