// Settings controls bound to the live settings values: an edit changes the value at once,
// and Refresh puts the value back into its control (after reading "setup.ini", a reset or
// a change made elsewhere). Every control is named "setting_<id>" so tests can find it.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <functional>
#include <map>

#include "shell/settings_values.h"

namespace plotrak {

class SettingsBinder {
 public:
  explicit SettingsBinder(SettingsValues& values) : values_(values) {}

  // A text field; `hint` is its tool tip (UTF-8), `masked` hides what is typed.
  QLineEdit* Text(SettingId id, const char* hint = nullptr, bool masked = false);
  // A check box captioned `caption` (UTF-8). With `onClick`, a click by the user calls it
  // with the new state instead of setting the value (the autostart box).
  QCheckBox* Flag(SettingId id, const char* caption, const char* hint = nullptr,
                  std::function<void(bool)> onClick = {});
  // A 0..1000 slider.
  QSlider* Slider(SettingId id);
  // A list whose selected index is the value.
  QComboBox* List(SettingId id, const QStringList& items);

  // Called after the value of `id` changed through its control.
  std::function<void(SettingId)> onEdited;

  void Refresh(SettingId id);
  void RefreshAll();

 private:
  void Edited(SettingId id) {
    if (onEdited) onEdited(id);
  }
  SettingsValues& values_;
  std::map<SettingId, std::function<void()>> refresh_;
};

}  // namespace plotrak
