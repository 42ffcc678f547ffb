#include "engine/respond.h"

#include <fstream>
#include <stdexcept>

#include "engine/bot_command.h"
#include "engine/conversation_log.h"
#include "engine/cp1250.h"
#include "engine/engine.h"
#include "engine/find_answer.h"
#include "engine/incoming_text.h"
#include "engine/learning.h"

namespace plotrak {
namespace {

// The entry of the mother base that holds the fixed functional questions.
const char kFunctionalKey[] = "1111111111";

void AppendServiceLog(Engine& engine, const std::string& text) {
  const auto path = engine.DataFile("servicelog.ptk");
  MakeWritable(path);
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out << text << "\r\n";
  out.flush();
  if (!out) throw std::runtime_error("I/O error writing " + path.string());
}

void UpdateTextStatistics(Engine& engine, const std::string& speaker, const std::string& text) {
  static const std::string kLastFrom = FromUtf8("Ostatni tekst od: ");
  static const std::string kLongestFrom = FromUtf8("Najdłuższy tekst od: ");
  static const std::string kLongestLength = FromUtf8("Najdłuższy tekst (znaków): ");
  engine.status.Show(kLastFrom, speaker);
  if (static_cast<int64_t>(text.size()) > engine.stats.longestText) {
    engine.stats.longestText = static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX));
    engine.status.Show(kLongestFrom, speaker);
    engine.status.Show(kLongestLength, std::to_string(engine.stats.longestText));
  }
}

// Finds the speaker's record, creating it with the starting values of a new conversation.
int OpenConversation(Engine& engine, const std::string& speaker, const std::string& channel) {
  static const std::string kStarted = FromUtf8("Rozpoczętych rozmów - od uruchomienia: ");
  static const std::string kStartedToday = FromUtf8("Rozpoczętych rozmów - dziś: ");
  static const std::string kLongestWww = FromUtf8("Najdłuższa rozmowa(WWW): ");
  static const std::string kLongestWwwWho = FromUtf8("Najdłuższa rozmowa(WWW)  - osoba: ");

  int index = engine.people.FindInterlocutor(speaker);
  if (index == 0) {
    index = engine.people.FindOrAddInterlocutor(speaker);
    InterlocutorRecord& r = engine.people[index];
    r.mood = 50;
    r.moodMax = 100;
    r.lastActivity = engine.NowSeconds();
    r.startedAt = engine.uptimeSeconds;
    r.channel = channel;
    ++engine.stats.startedSinceStart;
    ++engine.stats.startedToday;
    engine.status.Show(kStarted, std::to_string(engine.stats.startedSinceStart));
    engine.status.Show(kStartedToday, std::to_string(engine.stats.startedToday));
    return index;
  }
  InterlocutorRecord& r = engine.people[index];
  r.lastActivity = engine.NowSeconds();
  r.moodChangedThisTurn = 0;
  if (r.channel == kChannelWww) {
    const int32_t length = engine.uptimeSeconds - r.startedAt;
    if (length > engine.stats.longestWww) {
      engine.stats.longestWww = length;
      engine.status.Show(kLongestWww, DurationText(length));
      engine.status.Show(kLongestWwwWho, speaker);
    }
  }
  return index;
}

std::string SetPendingShown(Engine& engine, const std::string& speaker, const std::string& question,
                            bool fromDynamic) {
  static const std::string kSize = FromUtf8("rozmiar tablicy bierzącej: ");
  bool grew = false;
  std::string shown = engine.pending.SetPending(speaker, question, fromDynamic, &grew);
  if (grew) engine.status.Show(kSize, std::to_string(engine.pending.Size()));
  return shown;
}

// Nothing answered: a fixed functional question, or a question from the base that the
// person's next text will answer.
std::string AskSomething(Engine& engine, const std::string& speaker, const std::string& text,
                         bool learn) {
  const int r = engine.random.Uniform(0, 1000);
  if (r >= engine.settings.fixedVsRandom) {
    std::string answer = FindAnswer(engine, kMotherBase, kFunctionalKey, speaker);
    engine.trace.how = "functional";
    return answer;
  }
  std::string answer;
  int d = engine.random.Uniform(0, engine.settings.learnVsPerfect + 150 - 1);
  if (d < 50) {
    answer = SetPendingShown(engine, speaker, engine.RandomKey(kDynamicBase), true);
    engine.trace.how = "question dynamic";
    if (answer.empty()) {
      if (engine.onLocalMemoLine) engine.onLocalMemoLine("BLAAAD 51 PROSZE ZGLOSCIC RIZAVIDU");
      d = 50;
    }
  }
  if (d >= 50) {
    answer = SetPendingShown(engine, speaker, engine.RandomKey(kStaticBase), false);
    engine.trace.how = "question static";
    if (answer.empty()) answer = "BLAD 2 PROSZE ZGLOSCIC RIZAVIDU!!!!!!!!";
  }
  if (learn) LearnPhrase(engine, text);
  engine.SaveBase();
  return answer;
}

// Steps shared by every text: statistics, the person's record and the repeat count. False
// when the conversation is silenced (the answer is then `silencedAnswer`).
bool OpenTurn(Engine& engine, const std::string& speaker, const std::string& text,
              const std::string& channel, std::string& silencedAnswer) {
  engine.trace.how.clear();
  if (engine.onIncomingText) engine.onIncomingText();
  if (engine.settings.serviceLog) AppendServiceLog(engine, text);
  UpdateTextStatistics(engine, speaker, text);

  const int person = OpenConversation(engine, speaker, channel);
  InterlocutorRecord& r = engine.people[person];
  r.ageClearedThisTurn = 0;
  r.endedThisTurn = 0;
  if (r.ended && r.silenced) {
    engine.trace.how = "silenced";
    silencedAnswer = channel == kChannelProgram ? " " : "";
    return false;
  }
  r.repeatCount = text == r.lastText ? r.repeatCount + 1 : 1;
  r.lastText = text;
  return true;
}

std::string Converse(Engine& engine, const std::string& speaker, const std::string& text,
                     bool learn) {
  // What the person said answers the question the bot asked him last.
  const auto pending = engine.pending.GetPending(speaker);
  if (!pending.question.empty() && learn) {
    LearnPair(engine, pending.question, text);
    if (pending.fromDynamic && ForgetDynamicPhrase(engine, pending.question)) {
      --engine.base.dynamicPositions;
    }
    // Saved after every store, not only when a phrase left the dynamic base, so that a
    // learned answer is never lost with the run.
    engine.SaveBase();
    SetPendingShown(engine, speaker, std::string(), false);
  }

  std::string answer = FindAnswer(engine, kMotherBase, text, speaker);
  if (answer.empty()) answer = FindAnswer(engine, kStaticBase, text, speaker);
  if (answer.empty()) answer = AskSomething(engine, speaker, text, learn);
  return answer;
}

}  // namespace

std::string Respond(Engine& engine, const std::string& speaker, const std::string& rawText,
                    bool learn, const std::string& channel) {
  const std::string text = CleanIncomingText(rawText);
  std::string answer;
  if (!OpenTurn(engine, speaker, text, channel, answer)) return answer;
  return Converse(engine, speaker, text, learn);
}

std::string RespondOrCommand(Engine& engine, const BotCommandState& commands,
                             const std::string& speaker, const std::string& rawText, bool learn,
                             const std::string& channel, bool chatFlag, bool* byCommand) {
  const std::string text = CleanIncomingText(rawText);
  std::string answer;
  const bool open = OpenTurn(engine, speaker, text, channel, answer);
  std::string reply = BotCommand(engine, commands, text, chatFlag);
  if (byCommand) *byCommand = !reply.empty();
  if (!reply.empty()) {
    // A command asks the bot about itself: it answers no pending question, is kept as no
    // phrase to ask others, and gets no question of its own that the person never sees.
    engine.trace.how = "command";
    return reply;
  }
  return open ? Converse(engine, speaker, text, learn) : answer;
}

}  // namespace plotrak
