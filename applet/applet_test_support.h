// A started application on a scratch folder for the applet and update tests.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "engine/cp1250.h"
#include "engine/test_support.h"
#include "shell/application.h"

namespace plotrak::testing {

inline std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string TestBaseBytes(const std::string& version = "wersja testowa") {
  return MakeBaseBytes(version, {{{"$@CZESC@$", "Witaj"}, {"$@SLYCHAC@$", "Wszystko dobrze"}},
                                 {{"JAK MASZ NA IMIE", "Plotrak"}},
                                 {{"CO ROBISZ"}}});
}

// The application on a scratch folder with a small base and names list. `setupIni` (CR LF
// lines) becomes its "setup.ini"; with `start` false the caller attaches modules first and
// calls Start() itself.
struct StartedApp {
  explicit StartedApp(bool start = true, const std::string& setupIni = "") {
    std::ofstream(dir.path() / "baza.ptk", std::ios::binary) << TestBaseBytes();
    std::ofstream(dir.path() / "imiona.ptk", std::ios::binary) << "Ala\r\n";
    if (!setupIni.empty()) std::ofstream(dir.path() / "setup.ini", std::ios::binary) << setupIni;
    if (start) Start();
  }
  void Start() { started = !app.Start().has_value(); }
  std::string Line(const char* utf8Label) const {
    return ToUtf8(app.status.Get(FromUtf8(utf8Label)));
  }
  ScratchDir dir;
  FixedClock clock{LocalTime{2026, 12, 7, 12, 30, 5}};
  Random random{7};
  Application app{dir.path(), dir.path() / "plotrak", clock, random};
  bool started = false;
};

}  // namespace plotrak::testing
