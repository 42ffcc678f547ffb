// The knowledge-base update: download to tmp.ptk, checks, install and reload.
#pragma once

namespace plotrak {

class Application;

class BaseUpdate {
 public:
  // Attaches to the application's hooks and model; does no I/O until the application starts.
  explicit BaseUpdate(Application& app);
  ~BaseUpdate();
  BaseUpdate(const BaseUpdate&) = delete;
  BaseUpdate& operator=(const BaseUpdate&) = delete;

 private:
  Application& app_;
};

}  // namespace plotrak
