#include "window/window_frontend.h"

#include <cstdio>

namespace plotrak {

int RunWindow(const ConsoleOptions&) {
  std::fputs(
      "plotrak: the window is not built yet; run \"plotrak --console\" to talk in the "
      "terminal\n",
      stderr);
  return 2;
}

}  // namespace plotrak
