// The event loop for tests of Qt channels: one QCoreApplication per test program, and
// running the loop while a condition or a worker is pending.
#pragma once

#include <QCoreApplication>
#include <chrono>
#include <functional>
#include <future>

namespace plotrak::testing {

inline QCoreApplication& QtApplication() {
  static int argc = 1;
  static char name[] = "plotrak_tests";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication* existing = QCoreApplication::instance()) return *existing;
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  return *app;
}

// Runs the event loop until `done` holds or `limit` has passed; returns `done()`.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < until)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

// Runs the event loop until `work` (running on its own thread) has a result.
template <typename T>
T Pump(std::future<T> work) {
  PumpUntil(
      [&] { return work.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; },
      std::chrono::hours(1));
  return work.get();
}

}  // namespace plotrak::testing
