// Reading answers aloud with the espeak-ng program and its Polish voice. A new text stops
// the reading in progress and reads the new one; nothing here waits for the program.
// Without the program the conversation goes on silently and `onUnavailable` is called once.
#pragma once

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

namespace plotrak {

class Speech {
 public:
  Speech();
  ~Speech();
  Speech(const Speech&) = delete;
  Speech& operator=(const Speech&) = delete;

  // Stops what is being read ("[break]") and starts reading `text` (Windows-1250) ("[read]").
  void Say(const std::string& text);
  // True while a reading runs.
  bool reading() const;
  // False once the program was found missing or could not be started.
  bool available() const { return available_; }

  // The program and its arguments; the text goes in on standard input. Tests put a
  // stand-in here.
  QString program = QStringLiteral("espeak-ng");
  QStringList arguments = {QStringLiteral("-v"), QStringLiteral("pl"), QStringLiteral("--stdin")};

  // Called once, with the status-bar text, when speech turns out to be unavailable.
  std::function<void(const std::string&)> onUnavailable;

  // Longest text handed to the program, in bytes; longer answers are cut.
  static constexpr size_t kMaxText = 4000;

 private:
  void MarkUnavailable();

  QObject owner_;  // parent of the running processes
  QPointer<QProcess> current_;
  bool available_ = true;
  bool told_ = false;
};

// "Synteza głosu niedostępna: nie znaleziono programu espeak-ng" (Windows-1250).
const std::string& SpeechUnavailableText();

}  // namespace plotrak
