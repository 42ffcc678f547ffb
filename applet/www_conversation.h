// One text from a web visitor, whether it came through the applet server or the web page:
// Respond and BotCommand on channel "www", the conversation logs, the said-texts counter, the
// longest-text statistics and the lines of the " WWW  " page with the visitor's tab. Both
// servers call this one function, so the two cannot drift apart.
#pragma once

#include <string>
#include <string_view>

namespace plotrak {

class Application;

// `identifier` is the visitor's conversation identifier (the engine's speaker), `sentence`
// what the visitor said, both Windows-1250 as they came from the network. Both are passed
// through CleanIncomingText first (the identifier names a tab and a log file). In order: the
// visitor's line in the page ("Rozmowa " and the identifier's tab), the log when "Loguj
// rozmowy" is on, Respond with "Ucz się z WWW", BotCommand (a non-empty command answer
// replaces the engine's), the answer's line and log, and the www said-texts counter.
// Returns the answer (may be empty; the caller decides how an empty answer travels). An
// identifier that is empty after cleaning is refused: nothing is shown, logged or counted
// and the result is empty. A log that cannot be written is reported through the general
// handler and the conversation goes on; an engine error is reported and gives an empty
// answer (the visitor's line stays shown and counted nowhere).
std::string WwwConversation(Application& app, const std::string& identifier,
                            const std::string& sentence);

// The identifier as WwwConversation uses it: empty when the visitor is to be refused.
std::string CleanWwwIdentifier(std::string_view identifier);

}  // namespace plotrak
