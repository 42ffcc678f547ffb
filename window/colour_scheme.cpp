// The twelve colour slots painted over the window with one style sheet.
#include "shell/application.h"
#include "shell/colour_text.h"
#include "window/main_window.h"

namespace plotrak {
namespace {

QString Css(const SettingsValues& settings, int slot) {
  const uint32_t rgb = ColourRgb(settings.Number(ColourId(slot)));
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF).name();
}

}  // namespace

void TForm1::ApplyColours() {
  const SettingsValues& s = app_.model.settings;
  const QString sheet = QStringLiteral(
      "QMainWindow, QWidget#central, QStatusBar { background: %1; }"
      "QTabWidget#pagecontrol::tab-bar { left: 2px; }"
      "QTabWidget#pagecontrol { background: %2; }"
      "QTabWidget#pagecontrol::pane { background: %6; border: 1px solid #8a8a8a; top: -1px; }"
      "QTabWidget#pagecontrol > QTabBar { background: %2; }"
      "QTabWidget#pagecontrol > QTabBar::tab { background: %12; border: 1px solid #8a8a8a;"
      " padding: 4px 8px; margin-right: 1px; }"
      "QTabWidget#pagecontrol > QTabBar::tab:selected { background: %11; border-bottom-color: %11; "
      "}"
      "QWidget[page1=\"true\"] { background: %6; }"
      "QTabWidget[level2=\"true\"]::pane { background: %3; border: 1px solid #9a9a9a; top: -1px; }"
      "QTabWidget[level2=\"true\"] > QTabBar { background: %7; }"
      "QTabWidget[level2=\"true\"] > QTabBar::tab { background: %5; border: 1px solid #9a9a9a;"
      " padding: 3px 7px; margin-right: 1px; }"
      "QTabWidget[level2=\"true\"] > QTabBar::tab:selected { background: %4; }"
      "QWidget[page2=\"true\"] { background: %3; }"
      "QPlainTextEdit[role=\"display\"], QTableWidget[role=\"display\"] { background: %8; }"
      "QLineEdit[role=\"input\"] { background: %9; }"
      "QLineEdit[role=\"setting\"], QComboBox { background: %10; }"
      "QLabel[role=\"picture\"] { background: %6; }"
      "QGroupBox { font-weight: bold; border: 1px solid #9a9a9a; border-radius: 3px;"
      " margin-top: 8px; padding-top: 4px; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 3px; }"
      "QGroupBox * { font-weight: normal; }");
  QString filled = sheet;
  // from the highest slot down, so "%1" never eats the start of "%10".."%12"
  for (int slot = 12; slot >= 1; --slot)
    filled.replace(QStringLiteral("%") + QString::number(slot), Css(s, slot));
  setStyleSheet(filled);
  for (auto& [slot, swatch] : colourSwatches_) {
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, QColor(Css(s, slot)));
    swatch->setPalette(palette);
  }
}

}  // namespace plotrak
