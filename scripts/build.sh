#!/usr/bin/env bash
# Installs what the build needs on Debian 12 (when run as root and something is missing),
# then configures and builds into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ clang libclang-rt-14-dev pkg-config qt6-base-dev libssl-dev
          qt6-httpserver-dev qt6-websockets-dev libsimpleini-dev libicu-dev libgtest-dev
          libgmock-dev libbenchmark-dev locales
          # for the tests: a display server, speech, the browser test, the package checks
          xvfb xauth espeak-ng chromium chromium-driver python3-selenium lintian fakeroot
          dpkg-dev file)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run as root or install them)" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

# A locale with a decimal comma lets the tests show that number formatting ignores it.
if [ "$(id -u)" -eq 0 ] && ! locale -a 2>/dev/null | grep -qi '^pl_PL\.utf-\?8$'; then
  grep -q '^pl_PL.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'pl_PL.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null 2>&1 || echo "could not generate pl_PL.UTF-8; a locale test will be skipped" >&2
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build
