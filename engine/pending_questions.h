// The question the bot asked each person last, so that his next text is learned as its
// answer.
#pragma once

#include <string>
#include <vector>

namespace plotrak {

class PendingQuestionTable {
 public:
  struct Row {
    std::string question;  // as it stands in the base
    std::string speaker;   // empty = row free
    bool fromDynamic = false;
  };

  PendingQuestionTable() : rows_(2) {}

  struct Pending {
    std::string question;
    bool fromDynamic = false;
  };
  // The speaker's pending question, or an empty one.
  Pending GetPending(const std::string& speaker) const;

  // Stores the question for the speaker (an empty question frees his row) and returns its
  // display form: the question without "$" characters. `grew` is set when a row was appended.
  std::string SetPending(const std::string& speaker, const std::string& question, bool fromDynamic,
                         bool* grew = nullptr);

  // Number of rows, element 0 included (the "rozmiar tablicy bierzącej" figure).
  int Size() const { return static_cast<int>(rows_.size()); }
  const Row& operator[](int index) const { return rows_[index]; }

 private:
  std::vector<Row> rows_;
};

}  // namespace plotrak
