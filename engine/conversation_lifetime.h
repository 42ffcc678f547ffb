// The life of conversations over time: the engine's start and stop, the silence prompts
// that nudge a quiet person after 90, 150 and 240 seconds, and the first-names list.
// (EndConversation, the ended/silenced states, lives with the records in interlocutor.h.)
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace plotrak {

class Engine;

// Up to 11 stages (1-based; element 0 unused); an empty threshold ends the table. Each
// stage has up to 20 prompts; the first empty prompt ends its list. Texts are Windows-1250.
struct SilenceStage {
  std::string threshold;                // seconds, as decimal text
  std::array<std::string, 21> prompts;  // 1-based
};
using SilenceStages = std::array<SilenceStage, 12>;

// The three stages the engine starts with.
SilenceStages DefaultSilenceStages();

// Where a due prompt goes, by the record's channel. An empty hook drops the prompt.
struct SilenceDelivery {
  std::function<void(const std::string& speaker, const std::string& prompt)> prog;
  std::function<void(const std::string& speaker, const std::string& prompt)> chat;
  std::function<void(const std::string& speaker, const std::string& prompt)> gg;
};

// The "prog" delivery: the line "PLOTRAK: " + prompt through engine.onLocalMemoLine and,
// when `logLocal()` says the local "Loguj rozmowy" is on, a bot line to "TY" in the
// "program" log. Log write errors propagate to the caller of SilenceTick.
std::function<void(const std::string&, const std::string&)> LocalSilenceDelivery(
    Engine& engine, std::function<bool()> logLocal);

// The engine's lifetime state that lives outside Engine.
struct ConversationLifetime {
  SilenceStages stages;
  bool timerRunning = false;  // the shell runs SilenceTick every second while this is set
};

// Empties the interlocutor and pending-question tables, fills the silence stages and marks
// the silence timer running.
void StartEngine(Engine& engine, ConversationLifetime& lifetime);

// Sends every prompt due in this second: a stage's prompt is due for a record whose
// conversation is not ended when threshold + lastActivity equals NowSeconds exactly, so a
// late tick skips it. One prompt is drawn uniformly from the stage's list.
void SilenceTick(Engine& engine, const SilenceStages& stages, const SilenceDelivery& delivery);

// Reads imiona.ptk of the data folder into engine.names: each line upper-cased by the
// Windows-1250 rule, then Ń Ą Ł Ż Ź Ó Ę Ś Ć folded to plain letters and spaces dropped
// (empty lines give empty names). False when the file cannot be opened: the data-file
// failure flag is then set and the caller shows NamesMissingText() under "STOP" and ends.
bool LoadNames(Engine& engine);
const std::string& NamesMissingText();  // "Plik imiona.ptk nie odnaleziony"

// Releases the stage table and the pending questions; the timer stops.
void StopEngine(Engine& engine, ConversationLifetime& lifetime);

}  // namespace plotrak
