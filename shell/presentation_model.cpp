#include "shell/presentation_model.h"

#include "engine/conversation_log.h"
#include "engine/cp1250.h"

namespace plotrak {
namespace {

std::string U(const char* utf8) {
  return FromUtf8(utf8);
}

// Statistics lines with their initial captions: (label, initial text).
struct Caption {
  std::string label;
  std::string initial;
};

const std::vector<Caption>& InitialCaptions() {
  static const std::vector<Caption> captions = [] {
    std::vector<Caption> list;
    auto zero = [&](const char* label) { list.push_back({U(label), U(label) + "0"}); };
    auto none = [&](const char* label) { list.push_back({U(label), U(label) + "brak"}); };
    zero("Powiedzianych tekstów(suma): ");
    zero("Powiedzianych tekstów(www): ");
    zero("Powiedzianych tekstów(gadu-gadu): ");
    zero("Powiedzianych tekstów (chat): ");
    zero("Powiedzianych tekstów(program): ");
    zero("Tekstów w buforze: ");
    zero("Bufor antyflood(chat): ");
    zero("Odrzuconych tekstów(chat): ");
    zero("Bufor antyflood(gadu-gadu): ");
    zero("Ilość kluczy w bazie matce: ");
    zero("ilość odpowiedzi w bazie matce: ");
    zero("ilość kluczy w bazie statycznej: ");
    zero("ilość odpowiedzi w bazie statycznej: ");
    zero("ilość pozycji w bazie dynamicznej: ");
    zero("rozmiar tablicy bierzącej: ");
    zero("Nauczonych zwrotów: ");
    zero("Zapisanych adresów e-mail: ");
    zero("otwartych zakładek (WWW): ");
    zero("otwartych zakładek (Gadu-gadu): ");
    zero("otwartych zakładek (chat): ");
    zero("Rozpoczętych rozmów - od uruchomienia: ");
    zero("Rozpoczętych rozmów - dziś: ");
    none("Najdłuższa rozmowa(WWW): ");
    none("Najdłuższa rozmowa(WWW)  - osoba: ");
    none("Ostatni tekst od: ");
    none("Najdłuższy tekst od: ");
    none("Najdłuższy tekst (znaków): ");
    return list;
  }();
  return captions;
}

// The line of each channel's counter is labelled by its initial caption; the channels
// rewrite it with their own spelling of the caption.
const std::string& SaidLabel(SaidChannel channel) {
  static const std::string labels[4] = {
      U("Powiedzianych tekstów(program): "), U("Powiedzianych tekstów (chat): "),
      U("Powiedzianych tekstów(gadu-gadu): "), U("Powiedzianych tekstów(www): ")};
  return labels[static_cast<int>(channel)];
}
const std::string& SaidCaption(SaidChannel channel) {
  static const std::string captions[4] = {
      U("Powiedzianych tekstów (program): "), U("Powiedzianych tekstów(chat): "),
      U("Powiedzianych tekstów(gadu-gadu): "), U("Powiedzianych tekstów(www): ")};
  return captions[static_cast<int>(channel)];
}

}  // namespace

const std::string& UptimeCaption() {
  static const std::string caption = U("Czas od włączenia programu: ");
  return caption;
}
const std::string& BaseVersionCaption() {
  static const std::string caption = "Wersja bazy ";
  return caption;
}
const std::string& StartedTodayCaption() {
  static const std::string caption = U("Rozpoczętych rozmów - dziś: ");
  return caption;
}
const std::string& NoErrorsText() {
  static const std::string text = U("nie wykryto błędów w działaniu");
  return text;
}

PresentationModel::PresentationModel(StatusLines& status)
    : status(status),
      chatPage("chat", {"Rozmowa "}, U("otwartych zakładek (chat): "), status),
      ggPage("gg", {"Kontakty", "Rozmowa "}, U("otwartych zakładek (Gadu-gadu): "), status),
      wwwPage("www", {"Rozmowa "}, U("otwartych zakładek (WWW): "), status),
      statusBar_(NoErrorsText()) {
  settings.onChange = [this](SettingId id) {
    SyncPageSwitches();
    if (onSetting) onSetting(id);
  };
  SyncPageSwitches();
}

void PresentationModel::SyncPageSwitches() {
  chatPage.openNewTabs = settings.Flag(SettingId::kChatOpenTabs);
  chatPage.goToNewTabs = settings.Flag(SettingId::kChatGoToNew);
  chatPage.goToTextTab = settings.Flag(SettingId::kChatGoToText);
  wwwPage.openNewTabs = settings.Flag(SettingId::kWwwOpenTabs);
  wwwPage.goToNewTabs = settings.Flag(SettingId::kWwwGoToNew);
  wwwPage.goToTextTab = settings.Flag(SettingId::kWwwGoToText);
  // the Gadu-Gadu page's switches are not stored: they keep their design values
}

void PresentationModel::ShowInitialCaptions() {
  for (const Caption& caption : InitialCaptions()) status.Set(caption.label, caption.initial);
  ShowUptime(0);
}

void PresentationModel::SetStatusBar(std::string text) {
  statusBar_ = std::move(text);
  if (onStatusBar) onStatusBar(statusBar_);
}

void PresentationModel::SetLamp(Lamp which, LampColour colour) {
  lamps_[static_cast<int>(which)] = colour;
  if (onLamp) onLamp(which, colour);
}

void PresentationModel::SetConnected(Connection which, bool on) {
  bool& state = connected_[static_cast<int>(which)];
  if (state == on) return;
  state = on;
  if (onConnected) onConnected(which, on);
}

void PresentationModel::AddLocalMemoLine(std::string line) {
  localMemo_.push_back(std::move(line));
  if (onLocalMemoLine) onLocalMemoLine(localMemo_.back());
}

void PresentationModel::ClearLocalMemo() {
  localMemo_.clear();
}

void PresentationModel::CountSaid(SaidChannel channel) {
  int& count = said_[static_cast<int>(channel)];
  ++count;
  status.Set(SaidLabel(channel), SaidCaption(channel) + std::to_string(count));
  status.Show(U("Powiedzianych tekstów(suma): "),
              std::to_string(said_[0] + said_[1] + said_[2] + said_[3]));
}

void PresentationModel::ShowUptime(int32_t seconds) {
  status.Show(UptimeCaption(), DurationText(seconds));
}

void PresentationModel::ShowBaseVersion(const std::string& version) {
  status.Show(BaseVersionCaption(), version);
}

}  // namespace plotrak
