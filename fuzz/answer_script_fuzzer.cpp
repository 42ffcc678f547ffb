// Random templates and keys against a scratch engine: no crash, no hang, and only the
// errors the evaluators are allowed to raise.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/clock.h"
#include "engine/engine.h"
#include "engine/normalize.h"
#include "engine/random.h"
#include "engine/status_lines.h"
#include "script/answer_script.h"
#include "script/conversion_error.h"

namespace {

struct Scratch {
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "plotrak-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    dir = pattern;
  }
  std::filesystem::path dir;
  plotrak::FixedClock clock{plotrak::LocalTime{2006, 5, 4, 12, 0, 0}};
  plotrak::Random random{1};
  plotrak::StatusLines status;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Scratch scratch;
  static plotrak::Engine engine(scratch.dir, scratch.clock, scratch.random, scratch.status);
  static int runs = 0;
  if (runs++ % 500 == 0) {
    std::filesystem::remove(scratch.dir / "emaile.txt");  // keep the file small
    engine.names = {"OLA", "ANNA", "", "JAN"};
  }
  if (size < 2) return 0;
  // Byte 0: switches; then the template, a NUL, and the input.
  const uint8_t switches = data[0];
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t split = rest.find('\0');
  const std::string templ = rest.substr(0, split);
  const std::string input = split == std::string::npos ? "" : rest.substr(split + 1);
  const std::string speaker = (switches & 1) ? "TY" : "gosc";
  engine.settings.saveEmails = (switches & 2) != 0;
  const int index = engine.people.FindOrAddInterlocutor(speaker);
  engine.people[index].moodChangedThisTurn = (switches & 4) ? 1 : 0;
  try {
    if (switches & 8) {
      plotrak::CheckKeyConditions(engine, plotrak::UpperAscii(templ), speaker,
                                  plotrak::NormalizeText(input, 0));
    } else {
      const std::string out = plotrak::ExpandAnswer(engine, templ, speaker, input);
      // Text outside calls is copied, so an answer never grows beyond its template and
      // what its calls insert; a template without bars comes back unchanged.
      if (templ.find('|') == std::string::npos && out != templ) std::abort();
    }
  } catch (const plotrak::ConversionError&) {
  }
  return 0;
}
