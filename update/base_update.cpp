#include "update/base_update.h"

#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "engine/atomic_file.h"
#include "engine/cp1250.h"
#include "engine/knowledge_base.h"
#include "shell/application.h"
#include "update/base_file_check.h"
#include "update/http_get.h"

namespace plotrak {
namespace {

const std::string& NotStartedText() {
  static const std::string text = FromUtf8("aktualizacja nie rozpoczęła się");
  return text;
}
const std::string& ErrorText() {
  static const std::string text = FromUtf8("Wystąpił błąd");
  return text;
}
const std::string& DoneText() {
  static const std::string text = FromUtf8("Aktualizacja zakończona");
  return text;
}
const std::string& NoAddressText() {
  static const std::string text =
      FromUtf8("Nie ustawiono adresu aktualizacji bazy (\"adres aktualizacji\" w [inne])");
  return text;
}
const std::string& BusyText() {
  static const std::string text =
      FromUtf8("Aktualizacja bazy już trwa: następna dopiero po jej zakończeniu");
  return text;
}

std::string ReadWhole(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("cannot read " + file.string());
  return bytes;
}

}  // namespace

const std::string& UpdateStatusLabel() {
  static const std::string label = "aktualizacja bazy danych";
  return label;
}

const std::string& UpdateProgressLabel() {
  static const std::string label = FromUtf8("postęp w pobieraniu bazy danych");
  return label;
}

int UpdatePercent(int64_t readed, int64_t totalSize) {
  if (totalSize <= 0) return 0;
  // nearbyint rounds halves to even in the default rounding mode
  return static_cast<int>(
      std::nearbyint(static_cast<double>(readed) * 100.0 / static_cast<double>(totalSize)));
}

BaseUpdate::BaseUpdate(Application& app) : app_(app), statusText_(NotStartedText()) {
  app_.hooks.startBaseUpdate = [this] {
    // no address, no contact with anybody at start-up
    if (!app_.model.settings.Text(SettingId::kUpdateUrl).empty())
      Update(app_.engine.DataFile("baza.ptk"));
  };
  app_.hooks.downloadBase = [this](const std::filesystem::path& target) { Update(target); };
}

BaseUpdate::~BaseUpdate() {
  app_.hooks.startBaseUpdate = nullptr;
  app_.hooks.downloadBase = nullptr;
}

void BaseUpdate::SetStatus(std::string text, UpdateColour colour, bool toStatusBar) {
  statusText_ = std::move(text);
  statusColour_ = colour;
  app_.status.Set(UpdateStatusLabel(), statusText_);
  if (toStatusBar) app_.model.SetStatusBar(statusText_);
  if (onChange) onChange();
}

void BaseUpdate::Update(const std::filesystem::path& target) {
  if (running()) {
    // never two writers on tmp.ptk; the running update keeps its label
    app_.model.SetStatusBar(BusyText());
    return;
  }
  const std::string& address = app_.model.settings.Text(SettingId::kUpdateUrl);
  if (address.empty()) {
    SetStatus(NoAddressText(), UpdateColour::kRed, true);
    return;
  }
  target_ = target;
  totalSize_ = 0;
  download_ = std::make_unique<THTTPGet>();
  download_->URL = ToUtf8(address);
  download_->FileName = app_.engine.DataFile("tmp.ptk").string();
  download_->TransferTimeoutMs = transferTimeoutMs;
  download_->MaxSize = maxSize;
  download_->OnProgress = [this](THTTPGet*, int64_t total, int64_t readed) {
    OnProgress(total, readed);
  };
  download_->OnDoneFile = [this](THTTPGet*, const std::string&, int64_t size) { OnDone(size); };
  download_->OnError = [this](THTTPGet*) { OnFailed(); };
  download_->GetFile();
}

void BaseUpdate::OnProgress(int64_t totalSize, int64_t readed) {
  totalSize_ = totalSize;
  if (totalSize == 0) return;
  progress_ = UpdatePercent(readed, totalSize);
  app_.status.Set(UpdateProgressLabel(), std::to_string(progress_));
  SetStatus(FromUtf8("Aktualizacja w toku ") + std::to_string(progress_) + "%",
            UpdateColour::kBlack, false);
}

void BaseUpdate::OnDone(int64_t fileSize) {
  const std::filesystem::path tmp = app_.engine.DataFile("tmp.ptk");
  if (fileSize != totalSize_ || totalSize_ == 0) {
    std::error_code ignored;
    std::filesystem::remove(tmp, ignored);
    SetStatus(ErrorText(), UpdateColour::kRed, true);
  } else {
    Install();
  }
  Finished();
}

void BaseUpdate::Install() {
  const std::filesystem::path tmp = app_.engine.DataFile("tmp.ptk");
  try {
    const std::string bytes = ReadWhole(tmp);
    std::error_code ignored;
    if (!LooksLikeBaseFile(bytes)) {
      std::filesystem::remove(tmp, ignored);
      SetStatus(ErrorText(), UpdateColour::kRed, true);
      return;
    }
    // The old base (learned entries too) stays one generation back; the new one replaces
    // the target in one rename, so a crash leaves one whole base or the other.
    struct stat old {};
    if (stat(target_.c_str(), &old) == 0) {
      MakeWritable(target_);
      ReplaceFileAtomically(target_.string() + ".bak", ReadWhole(target_), old.st_mode & 07777);
    }
    ReplaceFileAtomically(target_, bytes);
    std::filesystem::remove(tmp, ignored);
    if (!app_.engine.LoadBaseFile(target_))
      throw std::runtime_error("cannot read " + target_.string());
    app_.engine.ShowBaseStatistics();
    app_.model.ShowBaseVersion(app_.engine.base.baseVersion);
    SetStatus(DoneText(), UpdateColour::kGreen, true);
  } catch (const std::exception& error) {
    app_.ReportError(error);
    SetStatus(ErrorText(), UpdateColour::kRed, false);
  }
}

void BaseUpdate::OnFailed() {
  SetStatus(ErrorText(), UpdateColour::kRed, true);
  Finished();
}

void BaseUpdate::Finished() {
  // called from the download's own event: it is deleted once that has returned
  download_.release()->deleteLater();
}

}  // namespace plotrak
