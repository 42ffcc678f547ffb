#include "shell/settings_values.h"

#include <algorithm>

#include "shell/colour_text.h"
#include "shell/integer_text.h"

namespace plotrak {

void SettingsValues::ResetToDefaults() {
  Reset([](SettingId id) { return Setting(id).defaultValue; });
}

void SettingsValues::ResetToDesignValues() {
  Reset(DesignValue);
}

void SettingsValues::Reset(const char* (*valueOf)(SettingId)) {
  for (const SettingDef& def : SettingsTable()) {
    const char* value = valueOf(def.id);
    switch (def.form) {
      case SettingForm::kText:
        SetText(def.id, value);
        break;
      case SettingForm::kFlag:
      case SettingForm::kNumber:
        SetNumber(def.id, ParseInteger(value).value_or(0));
        break;
      case SettingForm::kColour:
        SetNumber(def.id, ColourFromText(value).value_or(0));
        break;
    }
  }
}

void SettingsValues::SetText(SettingId id, std::string text) {
  Value& value = values_[Index(id)];
  if (value.text == text) return;
  value.text = std::move(text);
  if (onChange) onChange(id);
}

void SettingsValues::SetNumber(SettingId id, int32_t number) {
  Value& value = values_[Index(id)];
  if (value.number == number) return;
  value.number = number;
  if (onChange) onChange(id);
}

std::string SettingsValues::WrittenForm(SettingId id) const {
  switch (Setting(id).form) {
    case SettingForm::kText:
      return Text(id);
    case SettingForm::kFlag:
      return Flag(id) ? "1" : "0";
    case SettingForm::kNumber:
      return std::to_string(Number(id));
    case SettingForm::kColour:
      return ColourToText(Number(id));
  }
  return {};
}

int32_t ClampSlider(int32_t position) {
  return std::clamp(position, 0, 1000);
}

int32_t ClampStatus(int32_t index) {
  return index >= 0 && index <= 3 ? index : -1;
}

}  // namespace plotrak
