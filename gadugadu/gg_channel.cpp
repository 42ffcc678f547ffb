#include "gadugadu/gg_channel.h"

#include <map>

#include "engine/bot_command.h"
#include "engine/conversation_log.h"
#include "engine/cp1250.h"
#include "engine/incoming_text.h"
#include "engine/respond.h"
#include "gadugadu/gg_server_address.h"
#include "shell/application.h"
#include "shell/integer_text.h"

namespace plotrak {
namespace {

constexpr int kLogPane = 1;  // "Rozmowa " on the page; tab 0 is "Kontakty"

const std::string& Text(const char* utf8) {
  // the page's fixed texts, converted once
  static std::map<const char*, std::string> cache;
  auto [it, added] = cache.try_emplace(utf8);
  if (added) it->second = FromUtf8(utf8);
  return it->second;
}

int32_t IntegerOrThrow(const std::string& text) {
  if (auto value = ParseInteger(text)) return *value;
  throw ConversionError(text);
}

gg::UserStatus StatusFor(int index, bool withDescription, gg::UserStatus current) {
  using S = gg::UserStatus;
  switch (index) {
    case 0:
      return withDescription ? S::kAvailableDesc : S::kAvailable;
    case 1:
      return withDescription ? S::kBusyDesc : S::kBusy;
    case 2:
      return withDescription ? S::kInvisibleDesc : S::kInvisible;
    case 3:
      return withDescription ? S::kNotAvailableDesc : S::kNotAvailable;
    default:
      return current;  // nothing selected in the list
  }
}

}  // namespace

GaduGaduChannel::GaduGaduChannel(Application& app)
    : app_(app), client_(std::make_unique<TGGLite>()) {
  client_->OnRecvMsg = [this](TGGLite&, const std::string& body, const std::vector<gg::FormatPair>&,
                              int32_t from) { OnRecvMsg(body, from); };
  client_->OnDisconnecting = [this](TGGLite&) { OnDisconnecting(); };
  client_->OnRecvContactsReply = [this](TGGLite&, const std::string& piece) {
    app_.model.contacts.ImportPiece(piece);
  };
  timer_.setInterval(100);
  QObject::connect(&timer_, &QTimer::timeout, [this] { AntifloodTick(); });

  app.hooks.connect["gg"] = [this] { Connect(); };
  app.hooks.disconnect["gg"] = [this] { Disconnect(); };
  app.hooks.sendLine["gg"] = [this](const std::string& text) { SendLine(text); };
  app.hooks.ggImportContacts = [this] { ImportContacts(); };
  app.hooks.ggExportContacts = [this] { ExportContacts(); };
  app.hooks.ggApplyStatus = [this] { ApplyStatus(); };
  app.delivery.gg = [this](const std::string& speaker, const std::string& prompt) {
    Say(speaker, prompt, true);
  };
}

GaduGaduChannel::~GaduGaduChannel() {
  timer_.stop();
  client_->OnDisconnecting = nullptr;
  client_->Disconnect();
}

void GaduGaduChannel::LogPaneLine(const std::string& text) {
  app_.model.ggPage.AddLine(kLogPane, text);
  app_.model.ggPage.ShowTab(kLogPane);
}

void GaduGaduChannel::ShowBufferSize() {
  app_.status.Show(GgBufferSizeLabel(), std::to_string(antiflood_.size()));
}

void GaduGaduChannel::Connect() {
  if (app_.model.connected(Connection::kGaduGadu)) return;
  const SettingsValues& settings = app_.model.settings;
  try {
    client_->SetLogin(IntegerOrThrow(settings.Text(SettingId::kGgNumber)));
  } catch (const std::exception& error) {
    app_.ReportError(error);
    return;
  }
  client_->SetPassword(settings.Text(SettingId::kGgPassword));
  const auto server = gg::ParseServerAddress(settings.Text(SettingId::kGgServer));
  if (!server || client_->SetServer(server->host, server->port) != 0)
    LogPaneLine(Text("[*** Błąd: Nie mogę znaleść Hosta ***]"));
  if (client_->Connect() != 0) {
    if (server && client_->LastHostNotFound())
      LogPaneLine(Text("[*** Błąd: Nie mogę znaleść Hosta ***]"));
    LogPaneLine(Text("[*** Błąd: Nie mogę się zalogować ***]"));
    return;
  }
  app_.model.SetLamp(Lamp::kGaduGadu, LampColour::kGreen);
  if (app_.hooks.applyColours) app_.hooks.applyColours();
  app_.model.SetConnected(Connection::kGaduGadu, true);
  ApplyStatus();
  antiflood_.Reset();
  ShowBufferSize();
  timer_.start();
}

void GaduGaduChannel::ApplyStatus() {
  if (!app_.model.connected(Connection::kGaduGadu)) {
    LogPaneLine(Text("[*** Musisz być połączony aby zmienić status ***]"));
    return;
  }
  const SettingsValues& settings = app_.model.settings;
  client_->SetUserDesc(settings.Text(SettingId::kGgDescription));
  client_->SetUserStatus(StatusFor(settings.Number(SettingId::kGgStatus),
                                   settings.Flag(SettingId::kGgWithDescription),
                                   client_->GetUserStatus()));
  if (client_->SendStatus() != 0) LogPaneLine(Text("[*** Błąd: Nie mogę zmienić statusu ***]"));
}

void GaduGaduChannel::Disconnect() {
  if (client_->Disconnect() != 0) {
    LogPaneLine(Text("[*** Nie mogę rozłączyć ***]"));
    return;
  }
  userDisconnect_ = true;
}

void GaduGaduChannel::OnDisconnecting() {
  app_.model.SetLamp(Lamp::kGaduGadu, userDisconnect_ ? LampColour::kGrey : LampColour::kRed);
  if (app_.hooks.applyColours) app_.hooks.applyColours();
  timer_.stop();
  userDisconnect_ = false;
  app_.model.SetConnected(Connection::kGaduGadu, false);
}

void GaduGaduChannel::ImportContacts() {
  app_.model.contacts.BeginImport();
  LogPaneLine(client_->ImportContacts() == 0
                  ? Text("[*** Zaimportowałem kontakty ***]")
                  : Text("[*** Błąd: Nie mogę zaimportować listy kontaktów ***]"));
}

void GaduGaduChannel::ExportContacts() {
  LogPaneLine(client_->ExportContacts(app_.model.contacts.ExportText()) == 0
                  ? Text("[*** Wykonałem eksport kontaktów ***]")
                  : Text("[*** Błąd: Nie mogę wyeksportować kontaktów ***]"));
}

void GaduGaduChannel::SendLine(const std::string& text) {
  ConversationPage& page = app_.model.ggPage;
  const int active = page.activeTab();
  if (active == kLogPane) return;  // the send line is hidden there
  const ContactsTable& contacts = app_.model.contacts;
  std::string target;
  if (active == 0) {
    const int row = contacts.selectedRow;
    if (row < 1 || row >= static_cast<int>(contacts.rows.size())) return;
    target = contacts.rows[row][1];
  } else {
    target = page.tabs()[active].caption;
  }
  try {
    Say(target, text, true);
  } catch (const std::exception& error) {
    app_.ReportError(error);
  }
}

void GaduGaduChannel::Say(const std::string& who, const std::string& text, bool outgoing) {
  if (text.empty()) return;
  const ContactsTable& contacts = app_.model.contacts;
  const std::string name = contacts.DisplayName(who);
  const bool log = app_.model.settings.Flag(SettingId::kGgLog);
  const LocalTime now = app_.engine.clock.Now();
  const std::string head = TimeStamp(now) + (outgoing ? "[PRIV " : "[OD ") + name + "] ";
  if (!outgoing) {
    app_.model.ggPage.AddLine(kLogPane, head + text);
    if (log) WriteLogLine(app_.engine.dataDir, name, text, LogWho::kPerson, "gadugadu", now);
  } else {
    if (log) WriteLogLine(app_.engine.dataDir, name, text, LogWho::kBot, "gadugadu", now);
    app_.model.ggPage.AddLine(kLogPane, head + text);
    const int32_t number = IntegerOrThrow(contacts.NumberOf(name));
    if (client_->SendMsg(true, number, {{0, "<n>"}}, text) != 0) {
      LogPaneLine(Text("[*** Błąd: Nie mogę wysłać wiadomości ***]"));
      return;
    }
    app_.model.CountSaid(SaidChannel::kGaduGadu);
  }
  app_.model.ggPage.AddPersonLine(contacts.DisplayName(name), head + text);
}

void GaduGaduChannel::OnRecvMsg(const std::string& body, int32_t from) {
  const std::string text = CleanIncomingText(body);
  const std::string speaker = std::to_string(static_cast<uint32_t>(from));
  try {
    Say(speaker, text, false);
    const SettingsValues& settings = app_.model.settings;
    bool byCommand = false;
    const std::string answer =
        RespondOrCommand(app_.engine, app_.CommandState(), speaker, text,
                         settings.Flag(SettingId::kGgLearn), kChannelGaduGadu, false, &byCommand);
    if (byCommand) {
      Say(speaker, answer, true);
      return;
    }
    if (app_.model.contacts.IsSilent(speaker)) return;
    const int record = app_.engine.people.FindOrAddInterlocutor(speaker);
    const bool zeroDelay = app_.engine.people[record].zeroDelay != 0;
    antiflood_.Queue(speaker, answer, zeroDelay,
                     IntegerOrThrow(settings.Text(SettingId::kThinkTime)),
                     IntegerOrThrow(settings.Text(SettingId::kLetterTime)));
    ShowBufferSize();
  } catch (const std::exception& error) {
    app_.ReportError(error);
  }
}

void GaduGaduChannel::AntifloodTick() {
  for (const GgAntiflood::Slot& slot : antiflood_.Tick()) {
    try {
      Say(slot.speaker, slot.text, true);
    } catch (const std::exception& error) {
      app_.ReportError(error);
    }
    ShowBufferSize();
  }
}

}  // namespace plotrak
