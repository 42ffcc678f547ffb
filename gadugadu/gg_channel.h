// The bot on Gadu-Gadu: owns the one TGGLite client, logs in with the number and password of
// the settings, sets the chosen status, answers every incoming message through Respond (or
// a bot command, answered at once) and sends answers paced by the antiflood buffer; shows
// and logs every line in the Gadu-Gadu page of the model, keeps its lamp, connection state
// and statistics lines, and moves the contacts table to and from the server. Everything
// runs on the main thread, which must run a Qt event loop.
#pragma once

#include <QTimer>
#include <memory>
#include <string>

#include "gadugadu/gg_antiflood.h"
#include "gadugadu/gg_lite.h"

namespace plotrak {

class Application;

class GaduGaduChannel {
 public:
  // Attaches to the application's hooks and model; does no I/O until the application starts.
  explicit GaduGaduChannel(Application& app);
  // Sends the not-available status when connected.
  ~GaduGaduChannel();
  GaduGaduChannel(const GaduGaduChannel&) = delete;
  GaduGaduChannel& operator=(const GaduGaduChannel&) = delete;

  // The buttons ("Połącz", "Rozłącz", import, export), the status controls and Edit1, as the
  // hooks call them.
  void Connect();
  void Disconnect();
  void ApplyStatus();
  void ImportContacts();
  void ExportContacts();
  void SendLine(const std::string& text);

  // Shows a line for a person (number or display name) and, for `outgoing`, sends it at
  // once. Throws a conversion error when the person's number is not a number.
  void Say(const std::string& who, const std::string& text, bool outgoing);

  // One 100 ms tick of the antiflood timer: due answers are said.
  void AntifloodTick();

  TGGLite& client() { return *client_; }
  GgAntiflood& antiflood() { return antiflood_; }
  // Tests drive the ticks themselves when this is stopped after connecting.
  QTimer& antifloodTimer() { return timer_; }

 private:
  void OnRecvMsg(const std::string& body, int32_t from);
  void OnDisconnecting();
  void LogPaneLine(const std::string& text);
  void ShowBufferSize();

  Application& app_;
  std::unique_ptr<TGGLite> client_;
  GgAntiflood antiflood_;
  QTimer timer_;
  bool userDisconnect_ = false;
};

}  // namespace plotrak
