// The second inner tab of "  Ustawienia  ": colours, commands, programs, the other
// switches and the base update.
#include <QColorDialog>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QProgressBar>
#include <QVBoxLayout>

#include "local/local_conversation.h"
#include "shell/application.h"
#include "shell/colour_text.h"
#include "update/base_update.h"
#include "window/main_window.h"
#include "window/qt_text.h"

namespace plotrak {
namespace {

QString T(const char* utf8) {
  return QString::fromUtf8(utf8);
}

const char* const kColourCaptions[12] = {
    "kolor tła okna głównego",
    "Tło za zakładkami",
    "środek zakładka 2 stopnia",
    "uchwyt zakładki aktywnej 2 stopnia",
    "uchwyt zakłądki nieaktywnej 2 stopnia",
    "środek zakładki aktywnej 1 stopnia",
    "Tło za zakładkami 2 stopnia",
    "Pole do wyświetlania tekstów",
    "Pole do wpisywania tekstów",
    "Pole wartości ustawień",
    "uchwyt zakładki aktywnej 1 stopnia",
    "uchwyt zakładki nieaktywnej 1 stopnia",
};

const char* const kCommandCaptions[14] = {
    "!info",           "!alltextsayd", "!letervalue",  "!thinktime",   "!chatbuforsize",
    "!chatbuforvalue", "!inchatbufor", "!ggbuforsize", "!textonentry", "!antydsc",
    "!wwwconnect",     "!ggconnect",   "!chatconnect", "!baseversion",
};

}  // namespace

QWidget* TForm1::BuildOtherSettings() {
  using S = SettingId;
  SettingsBinder& b = binder_;
  auto* content = new QWidget;

  auto* colours = new QGroupBox(QStringLiteral("Kolory"));
  auto* colourGrid = new QGridLayout(colours);
  colourGrid->setVerticalSpacing(2);
  for (int slot = 1; slot <= 12; ++slot) {
    auto* swatch = new QLabel;
    swatch->setFixedSize(28, 16);
    swatch->setFrameShape(QFrame::Box);
    swatch->setAutoFillBackground(true);
    colourSwatches_[slot] = swatch;
    auto* change = new QPushButton(T("Zmień"));
    change->setObjectName(QStringLiteral("Button%1").arg(6 + slot));
    connect(change, &QPushButton::clicked, this, [this, slot] { PickColour(slot); });
    colourGrid->addWidget(new QLabel(T(kColourCaptions[slot - 1])), slot - 1, 0);
    colourGrid->addWidget(swatch, slot - 1, 1);
    colourGrid->addWidget(change, slot - 1, 2);
  }

  auto* commands = new QGroupBox(QStringLiteral("Komendy"));
  auto* commandGrid = new QGridLayout(commands);
  commandGrid->addWidget(b.Flag(S::kCommandsOff, "Wyłącz wszystkie komendy"), 0, 0, 1, 2);
  for (int i = 0; i < 14; ++i) {
    auto* box =
        b.Flag(static_cast<SettingId>(static_cast<int>(S::kCmdInfo) + i), kCommandCaptions[i]);
    commandBoxes_.push_back(box);
    commandGrid->addWidget(box, 1 + i / 2, i % 2);
  }

  auto* programs = new QGroupBox(T("Wywoływanie plików w rozmowie"));
  auto* programGrid = new QGridLayout(programs);
  programGrid->addWidget(new QLabel(QStringLiteral("Nazwa")), 0, 0);
  programGrid->addWidget(new QLabel(T("Ścieżka")), 0, 1);
  for (int n = 1; n <= 7; ++n) {
    programGrid->addWidget(b.Text(ProgramId(n), "nazwa, po której program jest otwierany"), n, 0);
    programGrid->addWidget(b.Text(ProgramPathId(n), "plik, program albo adres do otwarcia"), n, 1);
    auto* change = new QPushButton(T("Zmień"));
    change->setObjectName(QStringLiteral("program%1").arg(n));
    connect(change, &QPushButton::clicked, this, [this, n] { PickProgram(n); });
    programGrid->addWidget(change, n, 2);
  }
  programGrid->setColumnStretch(1, 2);
  programGrid->setColumnStretch(0, 1);

  auto* other = new QGroupBox(QStringLiteral("Inne"));
  auto* otherForm = new QFormLayout(other);
  otherForm->addRow(b.Flag(S::kAutostart, "Uruchamiaj Plotraka przy starcie systemu", nullptr,
                           [this](bool on) { app_.AutostartClicked(on); }));
  otherForm->addRow(b.Flag(S::kSpeakOnSilence, "Odzywaj się kiedy rozmówca nic nie mówi"));
  otherForm->addRow(b.Flag(S::kSaveEmails, "Zapisuj e-maile do pliku"));
  otherForm->addRow(
      b.Flag(S::kServiceLog, "log serwisowy", "zapisuj każdy tekst do servicelog.ptk"));
  otherForm->addRow(
      b.Flag(S::kNumberWords, "liczby słownie", "rozumiej liczby pisane słowami w działaniach"));
  otherForm->addRow(T("ustalone / losowane"), b.Slider(S::kFixedVsRandom));
  otherForm->addRow(T("uczenie / doskonalenie"), b.Slider(S::kLearnVsPerfect));
  auto* loadBase = new QPushButton(T("Wczytaj wybraną bazę"));
  connect(loadBase, &QPushButton::clicked, this, [this] { LoadChosenBase(); });
  otherForm->addRow(loadBase);

  auto* update = new QGroupBox(QStringLiteral("aktualizacja bazy danych"));
  auto* updateForm = new QFormLayout(update);
  updateForm->addRow(b.Flag(S::kAutoUpdate, "automatyczna",
                            "aktualizuj automatycznie bazę danych przy uruchomieniu programu"));
  updateForm->addRow(T("adres aktualizacji"),
                     b.Text(S::kUpdateUrl, "adres pliku baza.ptk; pusty: bez aktualizacji"));
  auto* state = StatusLabel(UpdateStatusLabel());
  if (state->text().isEmpty()) state->setText(T("aktualizacja nie rozpoczęła się"));
  state->setWordWrap(true);
  updateForm->addRow(state);
  auto* progress = new QProgressBar;
  progress->setObjectName(QStringLiteral("updateProgress"));
  progress->setRange(0, 100);
  progress->setValue(0);
  progress->setToolTip(T("postęp w pobieraniu bazy danych"));
  updateForm->addRow(progress);
  auto* download = new QPushButton(QStringLiteral("Pobierz teraz"));
  connect(download, &QPushButton::clicked, this, [this] { DownloadBase(); });
  updateForm->addRow(download);

  auto* grid = new QGridLayout(content);
  grid->addWidget(colours, 0, 0);
  grid->addWidget(commands, 0, 1);
  grid->addWidget(programs, 1, 0, 1, 2);
  grid->addWidget(other, 2, 0);
  grid->addWidget(update, 2, 1);
  grid->setRowStretch(3, 1);
  return content;
}

void TForm1::SetUpdateColour(uint32_t rgb) {
  auto found = statusLabels_.find(UpdateStatusLabel());
  if (found == statusLabels_.end()) return;
  found->second->setStyleSheet(QStringLiteral("color: #%1").arg(rgb, 6, 16, QLatin1Char('0')));
}

void TForm1::PickColour(int slot) {
  const SettingId id = ColourId(slot);
  const uint32_t rgb = ColourRgb(app_.model.settings.Number(id));
  const QColor initial(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
  const QColor chosen = QColorDialog::getColor(initial, this, T(kColourCaptions[slot - 1]));
  if (!chosen.isValid()) return;
  app_.model.settings.SetNumber(
      id, static_cast<int32_t>(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16)));
  ApplyColours();
}

void TForm1::PickProgram(int n) {
  const QString start = ToQt(app_.model.settings.Text(ProgramPathId(n)));
  const QString file = QFileDialog::getOpenFileName(this, T("Wybierz plik albo program"), start);
  if (file.isEmpty()) return;
  app_.model.settings.SetText(ProgramPathId(n), FromQt(file));
}

void TForm1::LoadChosenBase() {
  const QString file = QFileDialog::getOpenFileName(
      this, T("Wczytaj wybraną bazę"), QString::fromStdString(app_.engine.dataDir.string()),
      QStringLiteral("ptk (*.ptk);;* (*)"));
  if (file.isEmpty()) return;
  local_.AddPaneLine(FromQt(file));
  try {
    // a file that cannot be opened keeps the base in use instead of ending the program
    if (!app_.engine.LoadBaseFile(file.toStdString())) {
      app_.engine.dataFileFailure = false;
      app_.ReportError(FromUtf8("Problem z otwarciem bazy danych ") + FromQt(file));
      return;
    }
    app_.engine.ShowBaseStatistics();
    app_.model.ShowBaseVersion(app_.engine.base.baseVersion);
  } catch (const std::exception& error) {
    app_.ReportError(error);
  }
}

void TForm1::DownloadBase() {
  if (!app_.hooks.downloadBase) {
    app_.status.Set(UpdateStatusLabel(),
                    FromUtf8("Pobieranie bazy nie jest dostępne w tej wersji programu"));
    return;
  }
  QFileDialog dialog(this, QStringLiteral("Pobierz teraz"),
                     QString::fromStdString(app_.engine.dataDir.string()),
                     QStringLiteral("ptk (*.ptk)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("ptk"));
  dialog.selectFile(QStringLiteral("baza.ptk"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  app_.hooks.downloadBase(dialog.selectedFiles().first().toStdString());
}

}  // namespace plotrak
