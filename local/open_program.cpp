#include "local/open_program.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include "engine/cp1250.h"
#include "engine/normalize.h"

namespace plotrak {

const std::string& OpenedText() {
  static const std::string text = FromUtf8("Właśnie otworzyłem dla Ciebie ");
  return text;
}

const std::string& CannotOpenText() {
  static const std::string text = FromUtf8("Niestety nie mogę otworzyć ");
  return text;
}

int OpenProgramChoice(const std::string& line, const ProgramPairs& pairs) {
  const std::string letters = NormalizeText(line, 2);
  bool verb = false;
  for (const char* word : {"OTWORZ", "URUCHOM", "ODPAL", "WLACZ"})
    verb = verb || letters.find(word) != std::string::npos;
  if (!verb) return -1;
  const std::string upper = UpperAscii(line);
  int chosen = -1;
  for (int i = 0; i < static_cast<int>(pairs.size()); ++i) {
    if (pairs[i].name.empty()) continue;
    if (upper.find(UpperAscii(pairs[i].name)) != std::string::npos) chosen = i;
  }
  return chosen;
}

bool OpenWithDesktop(const std::string& path) {
  const QString target = QString::fromStdString(ToUtf8(path)).trimmed();
  if (target.isEmpty()) return false;
  const bool address = target.contains(QStringLiteral("://")) ||
                       target.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive);
  if (!address) {
    if (!target.contains('/')) {
      // a bare program name, as "notepad" would be found on the search path
      const QString program = QStandardPaths::findExecutable(target);
      if (!program.isEmpty()) return QProcess::startDetached(program, {});
    }
    const QFileInfo file(target);
    if (!file.exists()) return false;
    if (file.isFile() && file.isExecutable())
      return QProcess::startDetached(file.absoluteFilePath(), {}, file.absolutePath());
  }
  return QProcess::startDetached(QStringLiteral("xdg-open"), {target});
}

}  // namespace plotrak
