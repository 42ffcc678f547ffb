// The knowledge-base update: download from "adres aktualizacji" to tmp.ptk, check the size
// and that the bytes are a base, install over the target (the old file kept as
// <target>.bak), reload. It fills the application's startBaseUpdate ("automatyczna", only
// when an address is set) and downloadBase ("Pobierz teraz").
//
// The group "aktualizacja bazy danych" has no place in the presentation model, so its state
// lives here: the status label's text and colour and the progress bar, with onChange for
// the window. The label's text is also kept in the status lines under UpdateStatusLabel(),
// and the end of every update (and every refusal) goes to the status bar, which the console
// prints as "[status] ".
#pragma once

#include <QObject>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace plotrak {

class Application;
class THTTPGet;

enum class UpdateColour { kBlack, kGreen, kRed };  // green is (0, 175, 0), red (255, 0, 0)

class BaseUpdate : public QObject {
  Q_OBJECT
 public:
  // Attaches to the application's hooks and model; does no I/O until the application starts.
  explicit BaseUpdate(Application& app);
  ~BaseUpdate() override;
  BaseUpdate(const BaseUpdate&) = delete;
  BaseUpdate& operator=(const BaseUpdate&) = delete;

  // The update into `target`. Returns at once; the download runs on a worker thread and the
  // install happens on this object's thread. Refused (with a line, and nothing downloaded)
  // while another update runs or when no address is set.
  void Update(const std::filesystem::path& target);
  bool running() const { return download_ != nullptr; }

  // The status label and the progress bar (0-100).
  const std::string& statusText() const { return statusText_; }  // Windows-1250
  UpdateColour statusColour() const { return statusColour_; }
  int progress() const { return progress_; }
  std::function<void()> onChange;

  // Limits of one download (for tests; the defaults suit a real base).
  int transferTimeoutMs = 30000;
  int64_t maxSize = int64_t{256} << 20;

 private:
  void SetStatus(std::string text, UpdateColour colour, bool toStatusBar);
  void OnProgress(int64_t totalSize, int64_t readed);
  void OnDone(int64_t fileSize);
  void OnFailed();
  void Install();
  void Finished();

  Application& app_;
  std::filesystem::path target_;
  int64_t totalSize_ = 0;
  std::unique_ptr<THTTPGet> download_;
  std::string statusText_;
  UpdateColour statusColour_ = UpdateColour::kBlack;
  int progress_ = 0;
};

// The labels under which the status lines keep the update's status text and its progress in
// percent (decimal text); the window's label and progress bar follow them.
const std::string& UpdateStatusLabel();    // "aktualizacja bazy danych"
const std::string& UpdateProgressLabel();  // "postęp w pobieraniu bazy danych"
// "Aktualizacja w toku 50%" for 512 of 1024 bytes: rounded to the nearest, halves to even.
int UpdatePercent(int64_t readed, int64_t totalSize);

}  // namespace plotrak
