#include "shell/settings_file.h"

// The library ships its templates' bodies behind this switch; our own name comparison
// needs them instantiated here.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <array>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "engine/cp1250.h"
#include "shell/colour_text.h"
#include "shell/integer_text.h"

namespace plotrak {
namespace {

// Section and key names ignore letter case by the Windows-1250 rule, so "HASŁO" finds
// "hasło" as the profile functions do; plain ASCII folding would miss the Polish letters.
struct Cp1250NoCase {
  bool operator()(const char* left, const char* right) const {
    static const std::array<unsigned char, 256> upper = [] {
      std::array<unsigned char, 256> table{};
      for (int c = 0; c < 256; ++c)
        table[c] = static_cast<unsigned char>(UpperCp1250(std::string(1, static_cast<char>(c)))[0]);
      return table;
    }();
    for (;; ++left, ++right) {
      const unsigned char a = upper[static_cast<unsigned char>(*left)];
      const unsigned char b = upper[static_cast<unsigned char>(*right)];
      if (a != b) return a < b;
      if (a == 0) return false;
    }
  }
};
using ProfileIni = CSimpleIniTempl<char, Cp1250NoCase, SI_ConvertA<char>>;

// Windows profile behaviour: the first of duplicate keys is the one read, names ignore
// letter case, no quote or continuation-line processing, "key=value" without spaces.
void Configure(ProfileIni& ini) {
  ini.SetUnicode(false);
  ini.SetMultiKey(true);
  ini.SetMultiLine(false);
  ini.SetQuotes(false);
  ini.SetSpaces(false);
}

void Load(ProfileIni& ini, std::string_view bytes) {
  // The parser stops at a NUL byte; a blank keeps the rest of a damaged file readable.
  std::string data(bytes);
  for (char& c : data)
    if (c == '\0') c = ' ';
  if (ini.LoadData(data.data(), data.size()) < 0)
    throw std::runtime_error("Out of memory while reading setup.ini");
}

std::string ReadAll(const std::filesystem::path& file, bool* exists) {
  std::error_code ignored;
  if (std::filesystem::exists(file, ignored) && !std::filesystem::is_regular_file(file, ignored)) {
    *exists = true;  // something that is no file: nothing to read, and writing will fail
    return {};
  }
  std::ifstream in(file, std::ios::binary);
  *exists = static_cast<bool>(in);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A line break inside a value would start a new line of the file (and could forge a key).
std::string OneLine(std::string value) {
  for (char& c : value)
    if (c == '\r' || c == '\n') c = ' ';
  return value;
}

void Put(ProfileIni& ini, const SettingDef& def, const std::string& value) {
  if (ini.SetValue(def.section, def.key, OneLine(value).c_str(), nullptr, true) < 0)
    throw std::runtime_error("Out of memory while writing setup.ini");
}

int32_t ReadNumber(SettingId id, const char* text) {
  const int32_t value = DecimalOrThrow(text);
  return id == SettingId::kGgStatus ? ClampStatus(value) : ClampSlider(value);
}

}  // namespace

void ReadSettingsFromBytes(std::string_view bytes, SettingsValues& values) {
  ProfileIni ini;
  Configure(ini);
  Load(ini, bytes);
  std::optional<ConversionError> firstError;
  for (const SettingDef& def : SettingsTable()) {
    const char* text = ini.GetValue(def.section, def.key, nullptr);
    switch (def.form) {
      case SettingForm::kText:
        values.SetText(def.id, text ? text : def.defaultValue);
        break;
      case SettingForm::kFlag: {
        auto number = text ? ParseInteger(text) : std::nullopt;
        values.SetFlag(def.id, number ? *number != 0 : def.defaultValue[0] == '1');
        break;
      }
      case SettingForm::kNumber:
        try {
          values.SetNumber(def.id, ReadNumber(def.id, text ? text : def.defaultValue));
        } catch (const ConversionError& error) {
          values.SetNumber(def.id, ParseInteger(DesignValue(def.id)).value_or(0));
          if (!firstError) firstError = error;
        }
        break;
      case SettingForm::kColour: {
        auto colour = text ? ColourFromText(text) : std::nullopt;
        if (!colour) colour = ColourFromText(def.defaultValue);
        values.SetNumber(def.id, colour.value_or(0));
        break;
      }
    }
  }
  if (firstError) throw *firstError;
}

void ReadSettings(const std::filesystem::path& file, SettingsValues& values) {
  bool exists = false;
  ReadSettingsFromBytes(ReadAll(file, &exists), values);
}

std::string SettingsFileBytes(std::string_view existing, bool exists, const SettingsValues& values,
                              bool defaultsOnly) {
  ProfileIni ini;
  Configure(ini);
  Load(ini, existing);
  if (!exists || defaultsOnly)
    for (const SettingDef& def : SettingsTable()) Put(ini, def, def.defaultValue);
  if (!defaultsOnly)
    for (const SettingDef& def : SettingsTable()) Put(ini, def, values.WrittenForm(def.id));

  std::string text;
  if (ini.Save(text) < 0) throw std::runtime_error("Out of memory while writing setup.ini");
  // CR LF line ends, and one blank line between sections as the profile functions leave
  // them (the library writes two).
  std::string bytes;
  bytes.reserve(text.size() + text.size() / 16);
  int newlines = 0;
  for (char c : text) {
    if (c == '\n') {
      if (++newlines > 2) continue;
      bytes += '\r';
    } else {
      newlines = 0;
    }
    bytes += c;
  }
  return bytes;
}

void WriteSettings(const std::filesystem::path& file, const SettingsValues& values,
                   bool defaultsOnly) {
  bool exists = false;
  const std::string existing = ReadAll(file, &exists);
  try {
    ReplaceFileAtomically(file, SettingsFileBytes(existing, exists, values, defaultsOnly), 0600);
  } catch (const std::runtime_error&) {
    throw std::runtime_error("Unable to write to " + file.filename().string());
  }
}

void ResetSettings(const std::filesystem::path& file, SettingsValues& values) {
  WriteSettings(file, values, true);
  ReadSettings(file, values);
}

}  // namespace plotrak
