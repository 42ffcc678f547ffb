// Reads arbitrary bytes as "setup.ini", writes the result back over the same bytes and reads
// that again: no crash, and the second reading gives the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/integer_text.h"
#include "shell/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  plotrak::SettingsValues values;
  try {
    plotrak::ReadSettingsFromBytes(input, values);
  } catch (const plotrak::ConversionError&) {
    // reading stops at a bad number; what was read so far is written back
  }
  const std::string written = plotrak::SettingsFileBytes(input, true, values, false);
  plotrak::SettingsValues again;
  plotrak::ReadSettingsFromBytes(written, again);  // our own output never fails to convert
  for (const plotrak::SettingDef& def : plotrak::SettingsTable())
    if (again.WrittenForm(def.id) != values.WrittenForm(def.id)) std::abort();
  return 0;
}
