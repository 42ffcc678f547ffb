#include "engine/interlocutor.h"

namespace plotrak {

InterlocutorTable::InterlocutorTable() : records_(2) {
  records_[1].answerMemory.resize(2);
  bySpeaker_.emplace(std::string(), 1);
}

int InterlocutorTable::FindInterlocutor(const std::string& speaker) const {
  auto it = bySpeaker_.find(speaker);
  return it == bySpeaker_.end() ? 0 : it->second;
}

int InterlocutorTable::FindOrAddInterlocutor(const std::string& speaker) {
  if (int found = FindInterlocutor(speaker)) return found;
  InterlocutorRecord& record = records_.emplace_back();
  record.speaker = speaker;
  record.answerMemory.resize(2);
  const int index = static_cast<int>(records_.size()) - 1;
  bySpeaker_.emplace(speaker, index);
  return index;
}

}  // namespace plotrak
