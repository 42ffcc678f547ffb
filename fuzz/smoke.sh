#!/usr/bin/env bash
# Builds the fuzz targets with clang (sanitizers on) and runs each one briefly on a copy of
# its committed corpus, with a fixed seed so that a run can be repeated.
# Usage: fuzz/smoke.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
build="${PLOTRAK_FUZZ_BUILD:-build-fuzz}"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DPLOTRAK_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for source in fuzz/*_fuzzer.cpp; do
  targets+=("$(basename "$source" .cpp)")
done
cmake --build "$build" --target "${targets[@]}" -j2

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
  seeds=()
  [[ -d "fuzz/corpus/$target" ]] && seeds+=("fuzz/corpus/$target")
  echo "== $target (${seconds}s)"
  "$build/$target" -seed=1 -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=0 "$work/$target" "${seeds[@]}" 2>&1 | tail -n 2
  [[ "${PIPESTATUS[0]}" -eq 0 ]] || { echo "$target failed" >&2; exit 1; }
done
echo "fuzz smoke run passed"
