#include "polchat/chat_channel.h"

#include "engine/bot_command.h"
#include "engine/cp1250.h"
#include "engine/incoming_text.h"
#include "engine/respond.h"
#include "polchat/chat_message.h"
#include "shell/application.h"
#include "shell/integer_text.h"

namespace plotrak {
namespace {

using polchat::PolchatProtocol;

constexpr size_t kSlotsAtLogin = 5;

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

// (seconds x 1000) / tick, rounded to the nearest whole number, halves to the even one.
int64_t KeepAliveTicks(int64_t seconds, int64_t tick) {
  const int64_t ms = seconds * 1000;
  int64_t q = ms / tick, r = ms % tick;
  if (r < 0) r += tick, --q;
  if (2 * r > tick || (2 * r == tick && (q % 2 != 0))) ++q;
  return q;
}

}  // namespace

ChatChannel::ChatChannel(Application& app) : app_(app) {
  client_.OnPolchatConnected = [this](PolchatProtocol&, uint16_t) {
    Guarded([this] { OnConnected(); });
  };
  client_.OnPolchatDisconnected = [this](PolchatProtocol&, const std::string& reason) {
    Guarded([this, &reason] { OnDisconnected(reason); });
  };
  client_.OnMsgMain = [this](PolchatProtocol&, const std::string& text, const std::string&) {
    Guarded([this, &text] { OnMsgMain(text); });
  };
  client_.OnMsgPriv = [this](PolchatProtocol&, const std::string& text, const std::string&,
                             const std::string&) { Guarded([this, &text] { OnMsgPriv(text); }); };
  QObject::connect(&antiflood_, &QTimer::timeout, &antiflood_, [this] { ChatTick(); });

  app.hooks.connect["chat"] = [this] { Guarded([this] { ChatConnect(); }); };
  app.hooks.disconnect["chat"] = [this] { Guarded([this] { Disconnect(); }); };
  app.hooks.sendLine["chat"] = [this](const std::string& text) {
    Guarded([this, &text] {
      const ConversationPage& page = app_.model.chatPage;
      const int active = page.activeTab();
      ChatEnqueue(text, active == 0 ? "*" : page.tabs()[active].caption, true);
    });
  };
  app.hooks.chatApplyBoldNick = [this] { Guarded([this] { SendBoldStatus(); }); };
  // silence prompts go as command answers do: without the typing delay
  app.delivery.chat = [this](const std::string& speaker, const std::string& prompt) {
    ChatEnqueue(prompt, speaker, true);
  };
}

ChatChannel::~ChatChannel() {
  client_.OnPolchatDisconnected = nullptr;
  client_.OnPolchatConnected = nullptr;
  client_.OnMsgMain = nullptr;
  client_.OnMsgPriv = nullptr;
}

void ChatChannel::Guarded(const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& error) {
    app_.ReportError(error);
  }
}

void ChatChannel::ChatConnect() {
  const SettingsValues& s = app_.model.settings;
  DecimalOrThrow(s.Text(SettingId::kLetterTime));
  const int32_t tick = DecimalOrThrow(s.Text(SettingId::kChatAntiflood));
  DecimalOrThrow(s.Text(SettingId::kThinkTime));
  const int32_t keepAlive = DecimalOrThrow(s.Text(SettingId::kChatKeepAlive));
  if (tick <= 0) {
    // the queue places texts in whole ticks; no tick, no queue
    ShowFailure(FromUtf8("Błąd: bufor antyflood musi być większy od zera"));
    return;
  }
  client_.SetRoom(s.Text(SettingId::kChatRoom));
  client_.SetPassword(s.Flag(SettingId::kChatTemporary) ? std::string()
                                                        : s.Text(SettingId::kChatPassword));
  client_.Nick = s.Text(SettingId::kChatNick);
  client_.Server = s.Text(SettingId::kChatServer);
  const int32_t port = DecimalOrThrow(s.Text(SettingId::kChatPort));
  if (port < 0 || port > 65535) throw ConversionError(s.Text(SettingId::kChatPort));
  client_.ServerPort = port;
  client_.Link = s.Text(SettingId::kChatLink);
  tickMs_ = tick;
  keepAliveSeconds_ = keepAlive;
  try {
    client_.Connect();
  } catch (const std::exception&) {
    ShowFailure(FromUtf8("Błąd: nie mogę się połączyć z chatem"));
  }
}

void ChatChannel::Disconnect() {
  if (!client_.GetConnected()) return;
  client_.WyslijMsg("/quit", 0);
  userDisconnect_ = true;
}

void ChatChannel::SendBoldStatus() {
  client_.ZmienStatus(app_.model.settings.Flag(SettingId::kChatBoldNick));
}

void ChatChannel::OnConnected() {
  app_.model.SetLamp(Lamp::kChat, LampColour::kGreen);
  if (app_.hooks.applyColours) app_.hooks.applyColours();
  queue_.Reset(kSlotsAtLogin);
  if (timerTicks) antiflood_.start(static_cast<int>(tickMs_));
  app_.model.SetConnected(Connection::kChat, true);
  SendBoldStatus();
}

void ChatChannel::OnDisconnected(const std::string& reason) {
  app_.model.SetLamp(Lamp::kChat, userDisconnect_ ? LampColour::kGrey : LampColour::kRed);
  if (app_.hooks.applyColours) app_.hooks.applyColours();
  textsInBuffer_ = 0;
  app_.status.Show(InChatBufferLabel(), "0");
  app_.status.Set(ChatBufferSizeLabel(), "Bufor antyflood: 0");
  userDisconnect_ = false;
  antiflood_.stop();
  app_.model.SetConnected(Connection::kChat, false);
  ShowFailure(FromUtf8(reason));
}

void ChatChannel::OnMsgMain(const std::string& message) {
  polchat::ChatMessage parsed = polchat::ParseChatMessage(message);
  currentSender_ = CleanIncomingText(parsed.sender);
  currentText_ = CleanIncomingText(parsed.text);
  ShowRoomLine(currentSender_, currentText_);
  if (currentSender_ == "*" && app_.model.settings.Flag(SettingId::kChatStartOnEntry)) {
    if (const auto nick = polchat::NewcomerNick(currentText_))
      ChatEnqueue(app_.model.settings.Text(SettingId::kChatEntryText), *nick, true);
  }
  const std::string reply = BotCommand(app_.engine, app_.CommandState(), currentText_, true);
  if (!reply.empty()) ChatEnqueue(reply, "*", true);
}

void ChatChannel::OnMsgPriv(const std::string& message) {
  polchat::ChatMessage parsed = polchat::ParseChatMessage(message);
  currentSender_ = CleanIncomingText(parsed.sender);
  currentText_ = CleanIncomingText(parsed.text);
  if (currentSender_ == client_.Nick || currentSender_ == "~" + client_.Nick) return;
  if (currentSender_.empty() || currentSender_ == "*") {
    // a message that names nobody has nobody to answer to, and no tab of its own
    ShowUnaddressedLine(currentSender_, currentText_);
    return;
  }
  ShowPrivateLine(currentSender_, currentText_, false);
  if (app_.model.settings.Flag(SettingId::kChatLog)) Log(currentSender_, currentText_, false);
  bool byCommand = false;
  const std::string answer = RespondOrCommand(
      app_.engine, app_.CommandState(), currentSender_, currentText_,
      app_.model.settings.Flag(SettingId::kChatLearn), kChannelChat, true, &byCommand);
  ChatEnqueue(answer, currentSender_, byCommand);
}

int64_t ChatChannel::TickMs() const {
  const int32_t tick = DecimalOrThrow(app_.model.settings.Text(SettingId::kChatAntiflood));
  if (tick > 0) return tick;
  if (tickMs_ > 0) return tickMs_;  // the value the running session logged in with
  throw std::runtime_error(FromUtf8("bufor antyflood musi być większy od zera"));
}

void ChatChannel::ChatEnqueue(const std::string& text, const std::string& recipient,
                              bool immediate) {
  const SettingsValues& s = app_.model.settings;
  const int64_t tick = TickMs();
  const int64_t letter = DecimalOrThrow(s.Text(SettingId::kLetterTime));
  const int64_t thinking = DecimalOrThrow(s.Text(SettingId::kThinkTime));
  InterlocutorTable& people = app_.engine.people;
  if (people[people.FindOrAddInterlocutor(currentSender_)].zeroDelay) immediate = true;
  const bool quits = UpperAscii(text).find("/QUIT") != std::string::npos;
  const int64_t ticks = polchat::AntifloodQueue::DelayTicks(
      tick, letter, static_cast<int64_t>(text.size()), thinking);
  if (!queue_.Place(text, recipient, immediate, ticks)) {
    ++refused_;
    app_.status.Show(FromUtf8("Odrzuconych tekstów(chat): "), std::to_string(refused_));
    return;
  }
  if (quits) userDisconnect_ = true;
  ++textsInBuffer_;
  app_.status.Show(InChatBufferLabel(), std::to_string(textsInBuffer_));
}

void ChatChannel::ChatTick() {
  Guarded([this] {
    ++keepAliveTicks_;
    bool shrunk = false;
    const polchat::AntifloodSlot slot = queue_.Advance(shrunk);
    if (!slot.text.empty()) {
      --textsInBuffer_;
      app_.model.CountSaid(SaidChannel::kChat);
      app_.status.Show(InChatBufferLabel(), std::to_string(textsInBuffer_));
      if (slot.recipient != "*") {
        ShowPrivateLine(slot.recipient, slot.text, true);
        client_.WyslijMsg("/msg " + ToUtf8(slot.recipient) + " " + ToUtf8(slot.text), 0);
        if (app_.model.settings.Flag(SettingId::kChatLog)) Log(slot.recipient, slot.text, true);
      } else {
        client_.WyslijMsg(ToUtf8(slot.text), 0);
      }
    } else {
      int64_t seconds = keepAliveSeconds_;
      try {
        seconds = DecimalOrThrow(app_.model.settings.Text(SettingId::kChatKeepAlive));
      } catch (const ConversionError&) {
        // the value of the login stands until the field holds a number again
      }
      const int64_t tick = tickMs_ > 0 ? tickMs_ : 1;
      if (keepAliveTicks_ >= KeepAliveTicks(seconds, tick)) {
        client_.WyslijMsg("/unbuddy Zefir", 0);
        keepAliveTicks_ = 0;
      }
    }
    if (shrunk) {
      app_.status.Set(ChatBufferSizeLabel(), "Bufor antyflood: " + std::to_string(queue_.size()));
    }
  });
}

}  // namespace plotrak
