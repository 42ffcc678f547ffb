// What the engine remembers about each person it talks to in this run.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace plotrak {

struct AnswerMemoryPair {
  std::string key;
  std::string answer;
  // Where the key was read: entry `entry` of the mother base held it while the base's key
  // epoch was `epoch` with `changes` key changes listed (see KnowledgeBase). Lets the search
  // ask the key index instead of matching the text again; 0 when unknown.
  int entry = 0;
  uint64_t epoch = 0;
  size_t changes = 0;
};

struct InterlocutorRecord {
  std::vector<AnswerMemoryPair> answerMemory;  // element 0 unused
  // The pairs of answerMemory by the entry their key was read from, and the base's key epoch
  // and change count at which every pair's key was last found still in its entry: while
  // they hold, only the pairs of entries that may match an input need a look.
  std::unordered_multimap<int, int> answerMemoryAt;
  uint64_t answerMemoryEpoch = 0;
  size_t answerMemoryChanges = SIZE_MAX;
  std::string speaker;
  std::string email;
  std::string firstName;
  std::string lastMarker;
  std::string lastText;
  std::string topic;
  int32_t age = 0;
  int32_t guessNumber = 0;
  int32_t guessTries = 0;
  int32_t repeatCount = 0;
  int32_t mood = 0;
  int32_t moodMax = 0;
  int32_t drawnNumber = 0;
  int32_t lastActivity = 0;
  int32_t startedAt = 0;
  uint8_t moodChangedThisTurn = 0;
  uint8_t ended = 0;
  uint8_t zeroDelay = 0;
  uint8_t ageClearedThisTurn = 0;
  uint8_t silenced = 0;
  uint8_t female = 0;
  std::string channel;
  // The end state already advanced while producing the current answer: a chosen answer is
  // expanded more than once, and one farewell must not count as two.
  uint8_t endedThisTurn = 0;
};

// Advances a person's end state: the first call ends the conversation (no more silence
// prompts), a second one silences it (the bot no longer answers).
inline void EndConversation(InterlocutorRecord& record) {
  if (record.ended) record.silenced = 1;
  record.ended = 1;
}

// Records by index, element 0 unused and element 1 a permanent record with an empty speaker.
// Records are never removed, so an index stays valid for the whole run; references may be
// invalidated by FindOrAddInterlocutor (the vector grows), indices are not.
class InterlocutorTable {
 public:
  InterlocutorTable();

  // Index of the record whose speaker equals `speaker` exactly, or 0 when there is none.
  int FindInterlocutor(const std::string& speaker) const;
  // Index of the record; appends a zeroed record with this speaker (and the two empty
  // answer-memory pairs) when there is none.
  int FindOrAddInterlocutor(const std::string& speaker);

  InterlocutorRecord& operator[](int index) { return records_[index]; }
  const InterlocutorRecord& operator[](int index) const { return records_[index]; }
  // One past the last index.
  int Size() const { return static_cast<int>(records_.size()); }

 private:
  std::vector<InterlocutorRecord> records_;
  std::unordered_map<std::string, int> bySpeaker_;  // first record of each speaker
};

}  // namespace plotrak
