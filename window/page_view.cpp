#include "window/page_view.h"

#include <QSignalBlocker>
#include <QTabBar>

#include "window/qt_text.h"

namespace plotrak {
namespace {

// Person tabs keep this many lines; a long conversation drops its oldest ones.
constexpr int kMaxBoxLines = 5000;

QPlainTextEdit* NewBox() {
  auto* box = new QPlainTextEdit;
  box->setReadOnly(true);
  box->setProperty("role", "display");
  box->setMaximumBlockCount(kMaxBoxLines);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  return box;
}

}  // namespace

PageView::PageView(ConversationPage& page, QWidget* replaceFirst, QWidget* parent)
    : QTabWidget(parent), page_(page), replaceFirst_(replaceFirst) {
  setProperty("level2", true);
  setTabsClosable(true);
  setMovable(false);
  page_.onChange = [this](ConversationPage::Change change, int index) { OnChange(change, index); };
  connect(this, &QTabWidget::tabCloseRequested, this, [this](int index) {
    if (index >= 0 && index < static_cast<int>(page_.tabs().size()) && page_.tabs()[index].closable)
      page_.CloseTab(index);
  });
  connect(this, &QTabWidget::currentChanged, this, [this](int index) {
    if (syncing_ || index < 0) return;
    if (index != page_.activeTab()) page_.ShowTab(index);
    if (onActiveChanged) onActiveChanged();
  });
  Rebuild();
}

QPlainTextEdit* PageView::Box(int index) const {
  return qobject_cast<QPlainTextEdit*>(widget(index));
}

void PageView::ClearActive() {
  const int index = page_.activeTab();
  if (Box(index)) page_.ClearTab(index);
}

void PageView::AddTabFor(int index) {
  const ConversationTab& tab = page_.tabs()[index];
  QWidget* content = nullptr;
  if (index == 0 && replaceFirst_) {
    content = replaceFirst_;
  } else {
    auto* box = NewBox();
    for (const std::string& line : tab.lines) box->appendPlainText(ToQt(line));
    content = box;
  }
  content->setProperty("page2", true);
  insertTab(index, content, ToQt(tab.caption));
  if (!tab.closable) {
    // fixed tabs have no close button
    tabBar()->setTabButton(index, QTabBar::RightSide, nullptr);
    tabBar()->setTabButton(index, QTabBar::LeftSide, nullptr);
  }
}

void PageView::Rebuild() {
  syncing_ = true;
  while (count() > 0) {
    QWidget* content = widget(0);
    removeTab(0);
    if (content != replaceFirst_) delete content;
  }
  for (int i = 0; i < static_cast<int>(page_.tabs().size()); ++i) AddTabFor(i);
  setCurrentIndex(page_.activeTab());
  syncing_ = false;
  if (onActiveChanged) onActiveChanged();
}

void PageView::OnChange(ConversationPage::Change change, int index) {
  using C = ConversationPage::Change;
  syncing_ = true;
  switch (change) {
    case C::kTabOpened:
      AddTabFor(index);
      break;
    case C::kTabClosed: {
      QWidget* content = widget(index);
      removeTab(index);
      if (content != replaceFirst_) content->deleteLater();
      setCurrentIndex(page_.activeTab());
      break;
    }
    case C::kActiveTab:
      setCurrentIndex(index);
      break;
    case C::kLineAdded:
      if (QPlainTextEdit* box = Box(index))
        box->appendPlainText(ToQt(page_.tabs()[index].lines.back()));
      break;
    case C::kCleared:
      if (QPlainTextEdit* box = Box(index)) box->clear();
      break;
  }
  syncing_ = false;
  if (change == C::kActiveTab || change == C::kTabClosed || change == C::kTabOpened) {
    if (onActiveChanged) onActiveChanged();
  }
}

}  // namespace plotrak
