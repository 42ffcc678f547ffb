// The bot in a Polchat room: the client, private answers, room commands, greetings, the antiflood
// queue and the keep-alive.
#pragma once

#include <QTimer>
#include <functional>
#include <string>

#include "polchat/antiflood_queue.h"
#include "polchat/polchat_client.h"

namespace plotrak {

class Application;

// Owns the one Polchat client and the antiflood queue. Everything runs on the thread that
// owns the application; errors of the engine, the logs and non-numeric settings go to the
// application's general handler, never out of an event.
class ChatChannel {
 public:
  // Attaches to the application's hooks and model; does no I/O until the application starts.
  explicit ChatChannel(Application& app);
  ~ChatChannel();
  ChatChannel(const ChatChannel&) = delete;
  ChatChannel& operator=(const ChatChannel&) = delete;

  // "Połącz": reads the settings into the client and connects. Throws ConversionError for
  // a non-numeric letter time, antiflood value, thinking time, keep-alive value or port.
  void ChatConnect();
  // "Rozłącz": "/quit" to the server, which then closes the connection.
  void Disconnect();
  // Queues a text for a nickname or, with "*", for the room. Immediate texts skip the
  // thinking-and-typing delay.
  void ChatEnqueue(const std::string& text, const std::string& recipient, bool immediate);
  // One tick of the antiflood timer.
  void ChatTick();
  // "Pogrubiony nick".
  void SendBoldStatus();

  polchat::TPolchatClient& client() { return client_; }
  const polchat::AntifloodQueue& queue() const { return queue_; }
  // Texts refused because the queue was full.
  int refusedTexts() const { return refused_; }
  // When false the antiflood timer is not started and the owner calls ChatTick itself.
  bool timerTicks = true;

 private:
  void OnConnected();
  void OnDisconnected(const std::string& reason);
  void OnMsgMain(const std::string& message);
  void OnMsgPriv(const std::string& message);
  void ShowRoomLine(const std::string& nick, const std::string& text);
  void ShowPrivateLine(const std::string& nick, const std::string& text, bool outgoing);
  void ShowUnaddressedLine(const std::string& nick, const std::string& text);
  void ShowFailure(const std::string& text);
  void Log(const std::string& nick, const std::string& text, bool bot);
  int64_t TickMs() const;
  // Runs `work`, sending any error to the general handler.
  void Guarded(const std::function<void()>& work);

  Application& app_;
  polchat::TPolchatClient client_;
  polchat::AntifloodQueue queue_;
  QTimer antiflood_;
  int64_t tickMs_ = 0;  // the antiflood value of the last login
  int64_t keepAliveSeconds_ = 30;
  int keepAliveTicks_ = 0;
  int textsInBuffer_ = 0;
  int refused_ = 0;
  bool userDisconnect_ = false;
  std::string currentSender_;
  std::string currentText_;
};

}  // namespace plotrak
