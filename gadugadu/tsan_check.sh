#!/bin/bash
# Builds the messenger client's thread test with ThreadSanitizer in its own folder and runs
# it; any report fails the run. Usage: bash gadugadu/tsan_check.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-gg-tsan}"
mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLOTRAK_GG_TSAN=ON \
  > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" --target gg_tsan_tests -j 2
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/gadugadu/tsan.supp ${TSAN_OPTIONS:-}" \
  "$build/gg_tsan_tests"
