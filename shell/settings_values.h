// The live values of every setting: what the controls of the settings tab hold. Texts are
// Windows-1250; flags are checked or not; numbers are the status index and the slider
// positions; colours are 32-bit colour values. A view follows changes through onChange.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "shell/settings_table.h"

namespace plotrak {

class SettingsValues {
 public:
  SettingsValues() { ResetToDefaults(); }

  // Every setting at its default (the values of a missing file).
  void ResetToDefaults();
  // Every setting at the window's design value (DesignValue): the controls before the
  // settings file is read.
  void ResetToDesignValues();

  const std::string& Text(SettingId id) const { return values_[Index(id)].text; }
  bool Flag(SettingId id) const { return values_[Index(id)].number != 0; }
  int32_t Number(SettingId id) const { return values_[Index(id)].number; }  // also colours

  // Setters fire onChange only when the value really changes.
  void SetText(SettingId id, std::string text);
  void SetFlag(SettingId id, bool on) { SetNumber(id, on ? 1 : 0); }
  void SetNumber(SettingId id, int32_t value);

  // The value in its written form: texts as they stand, flags "1"/"0", numbers in decimal,
  // colours as ColourToText.
  std::string WrittenForm(SettingId id) const;

  std::function<void(SettingId)> onChange;

 private:
  struct Value {
    std::string text;    // text settings
    int32_t number = 0;  // flags, numbers, colours
  };
  void Reset(const char* (*valueOf)(SettingId));
  static int Index(SettingId id) { return static_cast<int>(id); }
  std::array<Value, kSettingCount> values_;
};

// The status-list index and the slider positions as the controls hold them.
int32_t ClampSlider(int32_t position);  // 0..1000
int32_t ClampStatus(int32_t index);     // 0..3, or -1 (nothing selected) when outside

}  // namespace plotrak
