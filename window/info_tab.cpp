// The " Informacje  " tab (the statistics lines) and the " O Programie " tab.
#include <QDesktopServices>
#include <QGridLayout>
#include <QProgressBar>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/application.h"
#include "update/base_update.h"
#include "window/main_window.h"
#include "window/qt_text.h"

namespace plotrak {
namespace {

// The statistics lines by their labels, in the order the tab shows them (two columns).
const char* const kStatisticsLabels[] = {
    "Powiedzianych tekstów(suma): ",
    "Powiedzianych tekstów(program): ",
    "Powiedzianych tekstów (chat): ",
    "Powiedzianych tekstów(gadu-gadu): ",
    "Powiedzianych tekstów(www): ",
    "Tekstów w buforze: ",
    "Bufor antyflood(chat): ",
    "Bufor antyflood(gadu-gadu): ",
    "otwartych zakładek (chat): ",
    "otwartych zakładek (Gadu-gadu): ",
    "otwartych zakładek (WWW): ",
    "Zapisanych adresów e-mail: ",
    "Ilość kluczy w bazie matce: ",
    "ilość odpowiedzi w bazie matce: ",
    "ilość kluczy w bazie statycznej: ",
    "ilość odpowiedzi w bazie statycznej: ",
    "ilość pozycji w bazie dynamicznej: ",
    "rozmiar tablicy bierzącej: ",
    "Nauczonych zwrotów: ",
    "Wersja bazy ",
    "Rozpoczętych rozmów - od uruchomienia: ",
    "Rozpoczętych rozmów - dziś: ",
    "Najdłuższa rozmowa(WWW): ",
    "Najdłuższa rozmowa(WWW)  - osoba: ",
    "Ostatni tekst od: ",
    "Najdłuższy tekst od: ",
    "Najdłuższy tekst (znaków): ",
    "Czas od włączenia programu: ",
};

const char kWebAddress[] = "http://www.plotrak.pl";
const char kMailAddress[] = "plotrak@plotrak.pl";

}  // namespace

QLabel* TForm1::StatusLabel(const std::string& label) {
  auto* widget = new QLabel(ToQt(app_.status.Get(label)));
  widget->setTextInteractionFlags(Qt::TextSelectableByMouse);
  statusLabels_[label] = widget;
  return widget;
}

void TForm1::ShowStatusLine(const std::string& label, const std::string& text) {
  if (label == UpdateProgressLabel()) {
    if (auto* bar = findChild<QProgressBar*>(QStringLiteral("updateProgress")))
      bar->setValue(std::clamp(std::atoi(text.c_str()), 0, 100));
    return;
  }
  auto found = statusLabels_.find(label);
  if (found != statusLabels_.end()) found->second->setText(ToQt(text));
}

QWidget* TForm1::BuildInfoTab() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  constexpr int kCount = sizeof kStatisticsLabels / sizeof kStatisticsLabels[0];
  constexpr int kRows = (kCount + 1) / 2;
  for (int i = 0; i < kCount; ++i)
    grid->addWidget(StatusLabel(FromUtf8(kStatisticsLabels[i])), i % kRows, i / kRows);
  grid->setRowStretch(kRows, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  return page;
}

QWidget* TForm1::BuildAboutTab() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* icon = new QLabel;
  icon->setPixmap(QPixmap(QStringLiteral(":/art/plotrak.png"))
                      .scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  auto* name = new QLabel(QStringLiteral("Plotrak 4.0"));
  QFont big = name->font();
  big.setPointSize(big.pointSize() * 2);
  big.setBold(true);
  name->setFont(big);
  auto* release = new QLabel(QString::fromUtf8("Wydanie dla systemu Linux, 2026"));
  auto* web = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(kWebAddress));
  auto* mail = new QLabel(QStringLiteral("<a href=\"mailto:%1\">%1</a>").arg(kMailAddress));
  for (QLabel* link : {web, mail}) {
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(link, &QLabel::linkActivated, this,
            [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
  }
  auto* thanks = new QPlainTextEdit(QString::fromUtf8(
      "Podziękowania:\n"
      "wszystkim, którzy rozmawiali z Plotrakiem i uczyli go nowych odpowiedzi,\n"
      "autorom bazy wiedzy i listy imion,\n"
      "twórcom bibliotek Qt, OpenSSL i SimpleIni oraz syntezatora mowy espeak-ng,\n"
      "oraz testerom wersji dla systemu Linux."));
  thanks->setReadOnly(true);
  thanks->setProperty("role", "display");
  auto* head = new QHBoxLayout;
  head->addWidget(icon);
  auto* texts = new QVBoxLayout;
  texts->addWidget(name);
  texts->addWidget(release);
  texts->addWidget(web);
  texts->addWidget(mail);
  texts->addStretch(1);
  head->addLayout(texts, 1);
  layout->addLayout(head);
  layout->addWidget(thanks, 1);
  return page;
}

}  // namespace plotrak
