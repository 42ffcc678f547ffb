// Reads arbitrary bytes as "setup.ini", writes the result back over the same bytes and reads
// that again: no crash, and the second reading gives the same settings. A reset over the
// same bytes must read back as every default.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/integer_text.h"
#include "shell/settings_file.h"

namespace {

bool SameSettings(const plotrak::SettingsValues& a, const plotrak::SettingsValues& b) {
  for (const plotrak::SettingDef& def : plotrak::SettingsTable())
    if (a.WrittenForm(def.id) != b.WrittenForm(def.id)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  plotrak::SettingsValues values;
  try {
    plotrak::ReadSettingsFromBytes(input, values);
  } catch (const plotrak::ConversionError&) {
    // a bad number gets its design value and reading goes on; the first one is thrown at the end
  }
  const std::string written = plotrak::SettingsFileBytes(input, true, values, false);
  plotrak::SettingsValues again;
  plotrak::ReadSettingsFromBytes(written, again);  // our own output never fails to convert
  if (!SameSettings(again, values)) std::abort();

  const std::string reset = plotrak::SettingsFileBytes(input, true, values, true);
  plotrak::SettingsValues defaults, readBack;
  readBack.SetText(plotrak::SettingId::kChatNick, "not the default");
  plotrak::ReadSettingsFromBytes(reset, readBack);
  if (!SameSettings(readBack, defaults)) std::abort();
  return 0;
}
