// The channels' pages: " Gadu-gadu  " with its contact grid, " Chat  " and " WWW  ". Each
// draws its ConversationPage; the buttons call the channels' hooks.
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "shell/application.h"
#include "window/main_window.h"
#include "window/qt_text.h"

namespace plotrak {
namespace {

QString T(const char* utf8) {
  return QString::fromUtf8(utf8);
}

}  // namespace

QWidget* TForm1::ConnectRow(const char* connectCaption, const char* disconnectCaption,
                            const std::string& hook, Connection connection, Lamp lamp,
                            const char* lampHint) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* image = new QLabel;
  image->setFixedSize(10, 10);
  image->setToolTip(T(lampHint));
  lamps_.emplace(lamp, image);
  ShowLamp(lamp, app_.model.lamp(lamp));
  layout->addWidget(image);
  for (bool on : {true, false}) {
    auto* button = new QPushButton(T(on ? connectCaption : disconnectCaption));
    button->setObjectName(QString::fromStdString((on ? "connect_" : "disconnect_") + hook));
    button->setProperty("hook", QString::fromStdString(hook));
    connect(button, &QPushButton::clicked, this, [this, hook, on] {
      auto& hooks = on ? app_.hooks.connect : app_.hooks.disconnect;
      auto found = hooks.find(hook);
      if (found == hooks.end()) return;
      try {
        found->second();
      } catch (const std::exception& error) {
        app_.ReportError(error);
      }
    });
    connectButtons_.emplace(connection, std::make_pair(button, on));
    layout->addWidget(button);
  }
  return row;
}

QWidget* TForm1::BuildGaduTab() {
  auto* page = new QWidget;
  StringGrid1 = new QTableWidget;
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setToolTip(QStringLiteral("nasze kontakty"));
  StringGrid1->setColumnCount(3);
  StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  StringGrid1->setProperty("role", "display");
  connect(StringGrid1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!fillingGrid_) GridEdited(item);
  });
  connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
    if (fillingGrid_ || row < 0) return;
    app_.model.contacts.selectedRow = row + 1;
    app_.model.contacts.selectedColumn = column;
  });

  auto* grid = new QWidget;
  auto* gridLayout = new QVBoxLayout(grid);
  gridLayout->addWidget(StringGrid1, 1);
  auto* buttons = new QGridLayout;
  ContactsTable& contacts = app_.model.contacts;
  struct Edit {
    const char* caption;
    std::function<void()> action;
  };
  const Edit edits[] = {
      {"dodaj pusty wiersz", [&contacts] { contacts.AddEmptyRow(); }},
      {"Usuń ostatni wiersz", [&contacts] { contacts.RemoveLastRow(); }},
      {"Usuń zaznaczony wiersz", [&contacts] { contacts.RemoveSelectedRow(); }},
      {"Plotrak rozmawia ze wszystkimi", [&contacts] { contacts.SetAllTalk(true); }},
      {"Plotrak nie rozmawia z nikim", [&contacts] { contacts.SetAllTalk(false); }},
      {"importuj liste kontaktow z serwera",
       [this] {
         if (app_.hooks.ggImportContacts) app_.hooks.ggImportContacts();
       }},
      {"Exportuj liste kontaktów",
       [this] {
         if (app_.hooks.ggExportContacts) app_.hooks.ggExportContacts();
       }},
  };
  int i = 0;
  for (const Edit& edit : edits) {
    auto* button = new QPushButton(T(edit.caption));
    auto action = edit.action;
    const bool transfer = i >= 5;
    connect(button, &QPushButton::clicked, this, [this, action, transfer] {
      action();
      if (!transfer) app_.model.contacts.Changed();
    });
    if (transfer)
      button->setEnabled(i == 5 ? bool(app_.hooks.ggImportContacts)
                                : bool(app_.hooks.ggExportContacts));
    buttons->addWidget(button, i / 3, i % 3);
    ++i;
  }
  gridLayout->addLayout(buttons);

  gadu2 = new PageView(app_.model.ggPage, grid);
  gadu2->setObjectName(QStringLiteral("gadu2"));
  gadu2->onActiveChanged = [this] { UpdateGaduVisibility(); };

  Edit1 = new QLineEdit;
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setProperty("role", "input");
  Edit1->setMaxLength(2000);
  Edit1->setToolTip(T("tekst który ma być wysłany do danego numeru gg"));
  connect(Edit1, &QLineEdit::returnPressed, this, [this] {
    auto hook = app_.hooks.sendLine.find("gg");
    if (hook != app_.hooks.sendLine.end() && !Edit1->text().isEmpty())
      hook->second(FromQt(Edit1->text()));
    Edit1->clear();
  });
  ggClear = new QPushButton(T("Wyczyść"));
  connect(ggClear, &QPushButton::clicked, this, [this] { gadu2->ClearActive(); });

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Edit1, 1);
  bottom->addWidget(ggClear);
  bottom->addWidget(ConnectRow("Połącz", "Rozłącz", "gg", Connection::kGaduGadu, Lamp::kGaduGadu,
                               "Czy połączony z Gadu-gadu"));
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(gadu2, 1);
  layout->addLayout(bottom);
  UpdateGaduVisibility();
  return page;
}

void TForm1::UpdateGaduVisibility() {
  if (!gadu2 || !Edit1) return;
  const ConversationPage& page = app_.model.ggPage;
  const std::string& caption = page.tabs()[page.activeTab()].caption;
  Edit1->setVisible(caption != "Rozmowa ");
  ggClear->setVisible(caption != "Kontakty");
}

void TForm1::FillGrid() {
  const ContactsTable& contacts = app_.model.contacts;
  fillingGrid_ = true;
  const int rows = std::max(0, static_cast<int>(contacts.rows.size()) - 1);
  StringGrid1->setRowCount(rows);
  QStringList headers;
  for (const std::string& header : contacts.rows.empty() ? ContactsTable::Row{} : contacts.rows[0])
    headers << ToQt(header);
  StringGrid1->setHorizontalHeaderLabels(headers);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < 3; ++c) {
      const QString text = ToQt(contacts.rows[r + 1][c]);
      QTableWidgetItem* item = StringGrid1->item(r, c);
      if (!item) {
        StringGrid1->setItem(r, c, new QTableWidgetItem(text));
      } else if (item->text() != text) {
        item->setText(text);
      }
    }
  fillingGrid_ = false;
}

void TForm1::GridEdited(QTableWidgetItem* item) {
  ContactsTable& contacts = app_.model.contacts;
  const int row = item->row() + 1;
  const int column = item->column();
  if (row >= static_cast<int>(contacts.rows.size()) || column < 0 || column > 2) return;
  std::string text = FromQt(item->text());
  // ";" separates the fields of the server's list: it is refused
  std::erase_if(text, [](char c) { return !ContactsTable::AcceptsKey(c); });
  if (column == 2 && !text.empty()) text = ContactsTable::TalkFlagForKey(text.back());
  contacts.rows[row][column] = text;
  contacts.Changed();
}

QWidget* TForm1::BuildChatTab() {
  auto* page = new QWidget;
  chat2 = new PageView(app_.model.chatPage);
  chat2->setObjectName(QStringLiteral("chat2"));
  Edit3 = new QLineEdit;
  Edit3->setObjectName(QStringLiteral("Edit3"));
  Edit3->setProperty("role", "input");
  Edit3->setMaxLength(2000);
  Edit3->setToolTip(T("tekst do pokoju albo do osoby z aktywnej zakładki"));
  connect(Edit3, &QLineEdit::returnPressed, this, [this] {
    auto hook = app_.hooks.sendLine.find("chat");
    if (hook != app_.hooks.sendLine.end() && !Edit3->text().isEmpty())
      hook->second(FromQt(Edit3->text()));
    Edit3->clear();
  });
  auto* clear = new QPushButton(T("wyczyść"));
  connect(clear, &QPushButton::clicked, this, [this] { chat2->ClearActive(); });
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Edit3, 1);
  bottom->addWidget(clear);
  bottom->addWidget(ConnectRow("Połącz", "Rozłącz", "chat", Connection::kChat, Lamp::kChat,
                               "Czy połączony z czatem"));
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(chat2, 1);
  layout->addLayout(bottom);
  return page;
}

QWidget* TForm1::BuildWwwTab() {
  auto* page = new QWidget;
  WWW2 = new PageView(app_.model.wwwPage);
  WWW2->setObjectName(QStringLiteral("WWW2"));
  auto* clear = new QPushButton(T("Wyczyść"));
  connect(clear, &QPushButton::clicked, this, [this] { WWW2->ClearActive(); });
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(new QLabel(T("Serwer apletu:")));
  bottom->addWidget(ConnectRow("włącz", "wyłącz", "www", Connection::kWww, Lamp::kWww,
                               "Czy serwer dla aplikacji na WWW działa"));
  bottom->addSpacing(16);
  bottom->addWidget(new QLabel(T("Strona WWW:")));
  bottom->addWidget(ConnectRow("włącz", "wyłącz", "web", Connection::kWebPage, Lamp::kWebPage,
                               "Czy strona z rozmową działa"));
  bottom->addStretch(1);
  bottom->addWidget(clear);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(WWW2, 1);
  layout->addLayout(bottom);
  return page;
}

}  // namespace plotrak
