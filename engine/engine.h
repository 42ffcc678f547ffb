// The conversation engine's state for one run: the knowledge base, the people talked to,
// their pending questions, the statistics, the live settings the engine reads, and the
// seams to the outside (data folder, clock, random generator, status lines, hooks).
//
// One Engine lives for the whole run; every channel calls Respond on it from the main
// thread only, so nothing here is locked.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/interlocutor.h"
#include "engine/knowledge_base.h"
#include "engine/mother_index.h"
#include "engine/pending_questions.h"
#include "engine/random.h"
#include "engine/status_lines.h"

namespace plotrak {

// The settings the engine itself reads, with their defaults. The shell copies them from
// "setup.ini" and the window's controls.
struct EngineSettings {
  int fixedVsRandom = 400;   // slider "ustalone / losowane", 0..1000
  int learnVsPerfect = 300;  // slider "uczenie / doskonalenie", 0..1000
  bool serviceLog = true;    // "log serwisowy"
  bool saveEmails = true;    // "Zapisuj e-maile do pliku"
  bool numberWords = true;   // "liczby slownie": number words in arithmetic
};

struct ConversationStats {
  int32_t startedSinceStart = 0;
  int32_t startedToday = 0;
  int32_t longestText = 0;
  int32_t longestWww = 0;
};

// Program-wide state of the answer scripts.
struct ScriptState {
  bool nameCaptured = true;
  bool lastMarkerSet = false;
  int32_t savedEmailCount = 0;
};

// How the last answer was found, for the console's --trace.
struct AnswerTrace {
  std::string how;  // "mother 12", "static 3", "functional", "question dynamic", ...
};

class Engine {
 public:
  Engine(std::filesystem::path dataDir, Clock& clock, Random& random, StatusLines& status)
      : dataDir(std::move(dataDir)), clock(clock), random(random), status(status) {}

  std::filesystem::path dataDir;  // the program's directory: every data file lives here
  Clock& clock;
  Random& random;
  StatusLines& status;

  KnowledgeBase base;
  InterlocutorTable people;
  PendingQuestionTable pending;
  ConversationStats stats;
  EngineSettings settings;
  ScriptState script;
  std::vector<std::string> names;  // NamesList, file order, 0-based
  // The same names as the file spells them, Polish letters kept ("Łukasz"), in title case:
  // how "imie&PODAJ" gives a name back. Shorter than `names` when nobody loaded it.
  std::vector<std::string> nameSpellings;
  int32_t learnedPhrases = 0;
  int32_t uptimeSeconds = 0;  // kept by the one-second clock of the shell
  bool dataFileFailure = false;
  AnswerTrace trace;
  MotherKeyIndex motherIndex;  // follows `base` by its revision

  // Hooks the shell fills; empty ones do nothing.
  std::function<void()> onIncomingText;                     // switch the one-second clock on
  std::function<void(const std::string&)> onLocalMemoLine;  // a line for the local memo

  std::filesystem::path DataFile(const std::string& name) const { return dataDir / name; }

  // Writes the five base counters into their status lines.
  void ShowBaseStatistics();
  // Loads the base file of the data folder (or `path`) with the reload sequence. False when
  // it cannot be opened (the failure flag is then set); I/O errors are thrown.
  bool LoadBaseFile(const std::filesystem::path& path);
  // Writes the base to "baza.ptk" in the data folder.
  void SaveBase();
  // The key of a random entry of the section, or an empty text.
  std::string RandomKey(int section);
  // NowSeconds of the engine's clock.
  int32_t NowSeconds() const;
};

}  // namespace plotrak
