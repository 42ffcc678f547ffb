#include "engine/pending_questions.h"

namespace plotrak {

PendingQuestionTable::Pending PendingQuestionTable::GetPending(const std::string& speaker) const {
  for (size_t i = 1; i < rows_.size(); ++i) {
    if (!rows_[i].speaker.empty() && rows_[i].speaker == speaker) {
      return {rows_[i].question, rows_[i].fromDynamic};
    }
  }
  return {};
}

std::string PendingQuestionTable::SetPending(const std::string& speaker,
                                             const std::string& question, bool fromDynamic,
                                             bool* grew) {
  if (grew) *grew = false;
  size_t row = 0;
  bool own = false;
  for (size_t i = 1; i < rows_.size(); ++i) {
    if (!rows_[i].speaker.empty() && rows_[i].speaker == speaker) {
      row = i;
      own = true;
      break;
    }
  }
  if (!own) {
    for (size_t i = 1; i < rows_.size(); ++i) {
      if (rows_[i].speaker.empty()) {
        row = i;
        break;
      }
    }
  }
  // The last row is kept free: taking it for somebody else appends a fresh one instead.
  if (row == 0 || (row == rows_.size() - 1 && !own)) {
    rows_.emplace_back();
    row = rows_.size() - 1;
    if (grew) *grew = true;
  }
  Row& r = rows_[row];
  r.question = question;
  r.fromDynamic = fromDynamic;
  r.speaker = question.empty() ? std::string() : speaker;
  std::string display;
  for (char c : question) {
    if (c != '$') display += c;
  }
  return display;
}

}  // namespace plotrak
