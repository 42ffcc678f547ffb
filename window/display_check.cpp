#include "window/display_check.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

namespace plotrak {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Connects to the X server the way Qt's xcb plugin would, through the same library, and
// tells whether that worked. Without the library the plugin could not load either.
bool XServerReachable() {
  void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
  if (!xcb) return false;
  using Connect = void* (*)(const char*, int*);
  using HasError = int (*)(void*);
  using Disconnect = void (*)(void*);
  auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
  auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
  auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
  bool ok = false;
  if (connect && hasError && disconnect) {
    void* connection = connect(nullptr, nullptr);
    ok = connection && hasError(connection) == 0;
    if (connection) disconnect(connection);
  }
  dlclose(xcb);
  return ok;
}

bool WaylandSocketExists(const std::string& display) {
  if (display.empty()) return false;
  if (display.front() == '/') return std::filesystem::exists(display);
  const std::string runtime = Env("XDG_RUNTIME_DIR");
  return !runtime.empty() && std::filesystem::exists(std::filesystem::path(runtime) / display);
}

}  // namespace

std::string MissingDisplayReason() {
  const std::string platform = Env("QT_QPA_PLATFORM");
  if (!platform.empty() && platform.rfind("xcb", 0) != 0 && platform.rfind("wayland", 0) != 0)
    return "";  // offscreen, vnc and the like need no session
  const std::string x = Env("DISPLAY");
  const std::string wayland = Env("WAYLAND_DISPLAY");
  if (x.empty() && wayland.empty())
    return "no graphical display (DISPLAY and WAYLAND_DISPLAY are not set)";
  if (!x.empty() && XServerReachable()) return "";
  if (WaylandSocketExists(wayland)) return "";
  if (!x.empty()) return "cannot connect to the display \"" + x + "\"";
  return "cannot connect to the Wayland display \"" + wayland + "\"";
}

std::string NoDisplayLine(const std::string& reason) {
  return "plotrak: " + reason + "; run \"plotrak --console\" to talk in the terminal";
}

}  // namespace plotrak
