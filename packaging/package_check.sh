#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree, checks it with lintian,
# installs it, runs the installed program as a new user with an empty home, and removes the
# package again. Needs root. Usage: packaging/package_check.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build}")"

fail() { echo "package check: $*" >&2; exit 1; }

rm -f "$build"/plotrak_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/plotrak_*.deb)"
lintian --fail-on error --allow-root "$deb"

dpkg-query -W plotrak >/dev/null 2>&1 && fail "plotrak is installed already; remove it first"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
user="plotrakci$$"
cleanup() {
  userdel -r "$user" >/dev/null 2>&1 || true
  dpkg-query -W plotrak >/dev/null 2>&1 && apt-get remove -y -qq plotrak >/dev/null 2>&1 || true
}
trap cleanup EXIT
useradd -m "$user"
home="$(getent passwd "$user" | cut -d: -f6)"
shipped="$(sha256sum /usr/share/plotrak/baza.ptk)"

out="$(printf 'cześć\nile to dwa plus dwa\n' |
       su -s /bin/bash "$user" -c 'cd ~ && plotrak --console --seed 1' 2>&1)"
echo "$out"
[ "$(grep -c '^PLOTRAK: .' <<<"$out")" -eq 2 ] || fail "the installed program did not answer twice"
data="$home/.local/share/plotrak"
for f in baza.ptk imiona.ptk setup.ini; do
  [ -f "$data/$f" ] || fail "no $f in the user's data folder $data"
done
[ "$(stat -c %U "$data/setup.ini")" = "$user" ] || fail "setup.ini does not belong to the user"
[ "$(sha256sum /usr/share/plotrak/baza.ptk)" = "$shipped" ] || fail "the shipped base changed"
su -s /bin/bash "$user" -c 'plotrak --version' | grep -q '4\.0' || fail "no version"
man -w plotrak >/dev/null || fail "no man page"

apt-get remove -y -qq plotrak >/dev/null
for path in /usr/bin/plotrak /usr/bin/ptk /usr/share/plotrak /usr/share/doc/plotrak \
            /usr/lib/systemd/user/plotrak.service /usr/share/man/man1/plotrak.1.gz; do
  [ -e "$path" ] && fail "$path left behind after removal"
done
[ -f "$data/baza.ptk" ] || fail "removing the package took the user's own data"
echo "package check passed"
