#include "shell/conversation_page.h"

namespace plotrak {

ConversationPage::ConversationPage(std::string name, std::vector<std::string> fixedTabs,
                                   std::string counterCaption, StatusLines& status)
    : name_(std::move(name)), counterCaption_(std::move(counterCaption)), status_(status) {
  for (std::string& caption : fixedTabs) tabs_.push_back({std::move(caption), {}, false});
}

int ConversationPage::FindTab(const std::string& caption) const {
  for (size_t i = 0; i < tabs_.size(); ++i)
    if (tabs_[i].caption == caption) return static_cast<int>(i);
  return -1;
}

int ConversationPage::OpenTab(const std::string& caption) {
  tabs_.push_back({caption, {}, true});
  const int index = static_cast<int>(tabs_.size()) - 1;
  ++openTabs_;
  ShowCounter();
  Notify(Change::kTabOpened, index);
  if (goToNewTabs) ShowTab(index);
  return index;
}

void ConversationPage::CloseTab(int index) {
  if (index < 0 || index >= static_cast<int>(tabs_.size()) || !tabs_[index].closable) return;
  tabs_.erase(tabs_.begin() + index);
  --openTabs_;
  ShowCounter();
  if (active_ >= static_cast<int>(tabs_.size()) || active_ > index) --active_;
  if (active_ < 0) active_ = 0;
  Notify(Change::kTabClosed, index);
  Notify(Change::kActiveTab, active_);
}

void ConversationPage::ShowTab(int index) {
  if (index < 0 || index >= static_cast<int>(tabs_.size()) || index == active_) return;
  active_ = index;
  Notify(Change::kActiveTab, index);
}

void ConversationPage::AddLine(int index, std::string line) {
  if (index < 0 || index >= static_cast<int>(tabs_.size())) return;
  std::vector<std::string>& lines = tabs_[index].lines;
  // the oldest fifth goes at once, so a busy tab does not shift its lines on every line
  if (lines.size() >= kMaxLinesPerTab)
    lines.erase(lines.begin(), lines.begin() + kMaxLinesPerTab / 5);
  lines.push_back(std::move(line));
  Notify(Change::kLineAdded, index);
}

void ConversationPage::ClearTab(int index) {
  if (index < 0 || index >= static_cast<int>(tabs_.size())) return;
  tabs_[index].lines.clear();
  Notify(Change::kCleared, index);
}

int ConversationPage::AddPersonLine(const std::string& caption, std::string line) {
  int index = FindTab(caption);
  if (index < 0) {
    if (!openNewTabs || openTabs_ >= kMaxPersonTabs) return -1;
    index = OpenTab(caption);
  }
  if (goToTextTab) ShowTab(index);
  AddLine(index, std::move(line));
  return index;
}

void ConversationPage::ShowCounter() {
  status_.Show(counterCaption_, std::to_string(openTabs_));
}

}  // namespace plotrak
