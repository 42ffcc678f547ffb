// Draws one channel's ConversationPage as a tab widget: the fixed tabs first, then one
// closable tab per person, each holding one read-only text box. Closing, switching and
// clearing go back to the page; the page's changes come back through its onChange.
#pragma once

#include <QPlainTextEdit>
#include <QTabWidget>
#include <functional>

#include "shell/conversation_page.h"

namespace plotrak {

class PageView : public QTabWidget {
 public:
  // `replaceFirst`, when given, is shown in the first tab instead of its text box (the
  // Gadu-Gadu contact grid); the view takes it over.
  PageView(ConversationPage& page, QWidget* replaceFirst = nullptr, QWidget* parent = nullptr);

  ConversationPage& page() { return page_; }
  // The text box of a tab, or null for a tab without one.
  QPlainTextEdit* Box(int index) const;
  // "wyczyść": clears the active tab's box.
  void ClearActive();

  // Called after the active tab changed (either way).
  std::function<void()> onActiveChanged;

 private:
  void OnChange(ConversationPage::Change change, int index);
  void AddTabFor(int index);
  void Rebuild();

  ConversationPage& page_;
  QWidget* replaceFirst_;
  bool syncing_ = false;
};

}  // namespace plotrak
