// The bot on Gadu-Gadu: the client, answers paced by the antiflood buffer, the contacts and their file.
#pragma once

namespace plotrak {

class Application;

class GaduGaduChannel {
 public:
  // Attaches to the application's hooks and model; does no I/O until the application starts.
  explicit GaduGaduChannel(Application& app);
  ~GaduGaduChannel();
  GaduGaduChannel(const GaduGaduChannel&) = delete;
  GaduGaduChannel& operator=(const GaduGaduChannel&) = delete;

 private:
  Application& app_;
};

}  // namespace plotrak
