#include "local/speech.h"

#include <QStandardPaths>

#include "engine/cp1250.h"

namespace plotrak {

const std::string& SpeechUnavailableText() {
  static const std::string text =
      FromUtf8("Synteza głosu niedostępna: nie znaleziono programu espeak-ng");
  return text;
}

Speech::Speech() = default;

Speech::~Speech() {
  // a reading still running is cut off; a killed process ends at once
  for (QProcess* process : owner_.findChildren<QProcess*>()) {
    process->disconnect();
    if (process->state() == QProcess::NotRunning) continue;
    process->kill();
    process->waitForFinished(1000);
  }
}

bool Speech::reading() const {
  return current_ && current_->state() != QProcess::NotRunning;
}

void Speech::Say(const std::string& text) {
  if (!available_) return;
  if (current_) {
    current_->kill();  // "[break]"; the object goes when its process has ended
    current_ = nullptr;
  }
  if (QStandardPaths::findExecutable(program).isEmpty() && !program.contains('/')) {
    MarkUnavailable();
    return;
  }
  auto* process = new QProcess(&owner_);
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [this, process](QProcess::ProcessError error) {
                     if (error == QProcess::FailedToStart) {
                       MarkUnavailable();
                       process->deleteLater();
                     }
                   });
  current_ = process;
  process->start(program, arguments);  // "[read]"
  const std::string utf8 = ToUtf8(std::string_view(text).substr(0, kMaxText)) + "\n";
  process->write(utf8.data(), static_cast<qint64>(utf8.size()));
  process->closeWriteChannel();
}

void Speech::MarkUnavailable() {
  available_ = false;
  if (told_) return;
  told_ = true;
  if (onUnavailable) onUnavailable(SpeechUnavailableText());
}

}  // namespace plotrak
