// One channel's page of conversation tabs (chat, Gadu-Gadu, applet): the fixed tabs first
// (the traffic pane "Rozmowa ", and "Kontakty" on the Gadu-Gadu page), then one closable tab
// per person. Each tab holds the lines of its text box. The open-tab counter is shown on
// its statistics line. A view draws the page and follows onChange.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/status_lines.h"

namespace plotrak {

// People on the other side choose how many names and lines there are: a page keeps at most
// this many person tabs (later people's lines go to the traffic pane only) and this many
// lines a tab (the oldest give way).
inline constexpr int kMaxPersonTabs = 500;
inline constexpr size_t kMaxLinesPerTab = 5000;

struct ConversationTab {
  std::string caption;
  std::vector<std::string> lines;
  bool closable = false;
};

class ConversationPage {
 public:
  enum class Change { kTabOpened, kTabClosed, kActiveTab, kLineAdded, kCleared };

  // `fixedTabs` are the captions of the tabs that cannot be closed; the first is the
  // traffic pane. `counterCaption` labels the open-tab statistics line.
  ConversationPage(std::string name, std::vector<std::string> fixedTabs, std::string counterCaption,
                   StatusLines& status);

  const std::string& name() const { return name_; }
  const std::vector<ConversationTab>& tabs() const { return tabs_; }
  int activeTab() const { return active_; }
  int openTabCount() const { return openTabs_; }

  // The switches "Otwieraj zakładki z nowymi rozmowami", "Przechodz automatycznie do nowo
  // rozpoczetych rozmow", "Przechodz automatycznie do zakladki w ktorej pojawi sie tekst".
  bool openNewTabs = true;
  bool goToNewTabs = true;
  bool goToTextTab = true;

  // Index of the tab with this caption, or -1.
  int FindTab(const std::string& caption) const;
  // Opens a person's tab and counts it; shows it when goToNewTabs. Returns its index.
  int OpenTab(const std::string& caption);
  // Closes a person's tab (fixed tabs stay) and counts it off.
  void CloseTab(int index);
  void ShowTab(int index);
  void AddLine(int index, std::string line);
  void ClearTab(int index);
  // A line for the traffic pane.
  void AddTrafficLine(std::string line) { AddLine(0, std::move(line)); }
  // A line in the person's tab: opens the tab when there is none, openNewTabs allows it and
  // fewer than kMaxPersonTabs are open (otherwise the line goes nowhere but the traffic pane
  // the caller wrote); shows the tab
  // when goToTextTab. Returns the tab's index or -1.
  int AddPersonLine(const std::string& caption, std::string line);

  // (change, tab index)
  std::function<void(Change, int)> onChange;

 private:
  void Notify(Change change, int index) {
    if (onChange) onChange(change, index);
  }
  void ShowCounter();

  std::string name_;
  std::string counterCaption_;
  StatusLines& status_;
  std::vector<ConversationTab> tabs_;
  int active_ = 0;
  int openTabs_ = 0;
};

}  // namespace plotrak
