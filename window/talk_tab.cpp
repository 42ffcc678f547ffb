// The " Rozmowa   " tab: the conversation pane, the "Powiedz:" line, the character and the
// status lamps.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "local/local_conversation.h"
#include "shell/application.h"
#include "window/main_window.h"
#include "window/qt_text.h"

namespace plotrak {

QWidget* TForm1::BuildTalkTab() {
  auto* page = new QWidget;
  Memo1 = new QPlainTextEdit;
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setProperty("role", "display");
  Memo1->setToolTip(QString::fromUtf8("Pole treści rozmowy"));
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  Edit2 = new QLineEdit;
  Edit2->setObjectName(QStringLiteral("Edit2"));
  Edit2->setProperty("role", "input");
  Edit2->setMaxLength(2000);
  Edit2->setToolTip(QString::fromUtf8("Pole do wpisywania pytań/wypowiedzi"));
  connect(Edit2, &QLineEdit::returnPressed, this, [this] {
    if (!Edit2->isEnabled()) return;
    const std::string line = FromQt(Edit2->text());
    Edit2->clear();
    local_.TypedLine(line);
  });
  auto* say = new QHBoxLayout;
  say->addWidget(new QLabel(QStringLiteral("Powiedz:")));
  say->addWidget(Edit2, 1);

  auto* left = new QVBoxLayout;
  left->addWidget(Memo1, 1);
  left->addLayout(say);

  Image1 = new QLabel;
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setFixedSize(113, 177);
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Image1->setProperty("role", "picture");
  if (!frames_[0].isNull()) Image1->setPixmap(frames_[0]);

  auto* lamps = new QGridLayout;
  lamps->setVerticalSpacing(4);
  struct LampRow {
    Lamp lamp;
    const char* caption;
    const char* hint;
  };
  const LampRow rows[] = {
      {Lamp::kGraphics, "Grafika w programie", "Czy wczytano grafikę postaci"},
      {Lamp::kGaduGadu, "Gadu-gadu", "Czy połączony z Gadu-gadu"},
      {Lamp::kChat, "Chat", "Czy połączony z czatem"},
      {Lamp::kWww, "WWW", "Czy serwer dla aplikacji na WWW działa"},
      {Lamp::kWebPage, "Strona WWW", "Czy strona z rozmową działa"},
  };
  int row = 0;
  for (const LampRow& lamp : rows) {
    auto* image = new QLabel;
    image->setFixedSize(10, 10);
    image->setToolTip(QString::fromUtf8(lamp.hint));
    lamps_.emplace(lamp.lamp, image);
    lamps->addWidget(image, row, 0);
    lamps->addWidget(new QLabel(QString::fromUtf8(lamp.caption)), row, 1);
    ShowLamp(lamp.lamp, app_.model.lamp(lamp.lamp));
    ++row;
  }
  auto* right = new QVBoxLayout;
  right->addWidget(Image1);
  right->addSpacing(8);
  right->addLayout(lamps);
  right->addStretch(1);

  auto* layout = new QHBoxLayout(page);
  layout->addLayout(left, 1);
  layout->addLayout(right);
  return page;
}

}  // namespace plotrak
