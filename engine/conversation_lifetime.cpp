#include "engine/conversation_lifetime.h"

#include <cstdint>
#include <fstream>

#include "engine/conversation_log.h"
#include "engine/cp1250.h"
#include "engine/engine.h"

namespace plotrak {
namespace {

SilenceStage Stage(const char* threshold, std::initializer_list<const char*> prompts) {
  SilenceStage stage;
  stage.threshold = threshold;
  int i = 1;
  for (const char* prompt : prompts) stage.prompts[i++] = FromUtf8(prompt);
  return stage;
}

// Windows-1250 capitals folded to plain letters in a stored name.
char FoldNameLetter(unsigned char c) {
  switch (c) {
    case 0xD1:
      return 'N';  // Ń
    case 0xA5:
      return 'A';  // Ą
    case 0xA3:
      return 'L';  // Ł
    case 0xAF:
      return 'Z';  // Ż
    case 0x8F:
      return 'Z';  // Ź
    case 0xD3:
      return 'O';  // Ó
    case 0xCA:
      return 'E';  // Ę
    case 0x8C:
      return 'S';  // Ś
    case 0xC6:
      return 'C';  // Ć
    default:
      return static_cast<char>(c);
  }
}

}  // namespace

SilenceStages DefaultSilenceStages() {
  SilenceStages stages;
  stages[1] = Stage("90", {"no czemu się nie odzywasz :) ?", "no powiedz coś, a nie tak milczysz",
                           "odezwij się wreszcie", "Denerwuje mnie to milczenie, powiedz coś",
                           "powiedz coś ciekawego"});
  stages[2] = Stage(
      "150", {"hop hoop jesteś tam jeszcze?", "Bo pomyśle, że Cie już tam nie ma. Odezwij się!",
              "Nie odzywasz się już dwie i pół minuty, pomyślę sobie zaraz, że Cię już tam nie ma",
              "Powiedz coś! Nie odzywasz się juz ponad dwie minuty",
              "Jeśli nic zaraz nie powiesz to stwierdzę, że rozmowa zakończona!",
              "Odezwij się wreszcie!"});
  stages[3] = Stage("240", {"Skoro się nie odzywasz to koniec rozmowy! Pa.",
                            "Jeśli nie masz zamiaru się odezwać to pa.",
                            "Nie odzywasz się już 4 minuty, a więc koniec rozmowy! Pa",
                            "Jeśli nie chce Ci się ze mną gadać to trudno. Do widzenia.",
                            "od 4 minut nic nie mówisz - traktuje to jako koniec rozmowy. Papa"});
  return stages;
}

std::function<void(const std::string&, const std::string&)> LocalSilenceDelivery(
    Engine& engine, std::function<bool()> logLocal) {
  return [&engine, logLocal = std::move(logLocal)](const std::string& speaker,
                                                   const std::string& prompt) {
    if (engine.onLocalMemoLine) engine.onLocalMemoLine("PLOTRAK: " + prompt);
    if (logLocal && logLocal())
      WriteLogLine(engine.dataDir, speaker, prompt, LogWho::kBot, "program", engine.clock.Now());
  };
}

void StartEngine(Engine& engine, ConversationLifetime& lifetime) {
  engine.people = InterlocutorTable();
  engine.pending = PendingQuestionTable();
  lifetime.stages = DefaultSilenceStages();
  lifetime.timerRunning = true;
}

void SilenceTick(Engine& engine, const SilenceStages& stages, const SilenceDelivery& delivery) {
  const int64_t now = engine.NowSeconds();
  // A delivery may add records (a channel finding its person); new ones were silent for
  // no time, so the count taken now is enough.
  const int count = engine.people.Size();
  for (int i = 1; i < count; ++i) {
    for (size_t s = 1; s < stages.size() && !stages[s].threshold.empty(); ++s) {
      const InterlocutorRecord& record = engine.people[i];
      if (record.ended) break;
      const int64_t threshold = std::stoll(stages[s].threshold);
      if (threshold + record.lastActivity != now) continue;
      int prompts = 0;
      while (prompts + 1 < static_cast<int>(stages[s].prompts.size()) &&
             !stages[s].prompts[prompts + 1].empty())
        ++prompts;
      if (prompts == 0) continue;
      const std::string prompt = stages[s].prompts[engine.random.Uniform(1, prompts)];
      const std::string speaker = record.speaker, channel = record.channel;
      if (channel == "prog" && delivery.prog)
        delivery.prog(speaker, prompt);
      else if (channel == "chat" && delivery.chat)
        delivery.chat(speaker, prompt);
      else if (channel == "gg" && delivery.gg)
        delivery.gg(speaker, prompt);
    }
  }
}

const std::string& NamesMissingText() {
  static const std::string text = "Plik imiona.ptk nie odnaleziony";
  return text;
}

bool LoadNames(Engine& engine) {
  const std::filesystem::path file = engine.DataFile("imiona.ptk");
  MakeWritable(file);
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    engine.dataFileFailure = true;
    return false;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string stored, letters;
    for (char c : UpperCp1250(line)) {
      if (c == ' ') continue;
      stored += FoldNameLetter(static_cast<unsigned char>(c));
      letters += c;
    }
    engine.names.push_back(std::move(stored));
    engine.nameSpellings.push_back(letters.empty() ? ""
                                                   : letters[0] + LowerCp1250(letters.substr(1)));
  }
  return true;
}

void StopEngine(Engine& engine, ConversationLifetime& lifetime) {
  lifetime.stages = SilenceStages();
  engine.pending = PendingQuestionTable();
  lifetime.timerRunning = false;
}

}  // namespace plotrak
