#!/bin/bash
# Pictures of the window: starts plotrak under Xvfb on a scratch data folder and saves a PNG
# of each of the seven tabs (and of the second settings page) at the default size and at
# 800x600.
#
#   bash scripts/screenshots.sh [BUILD_DIR] [OUT_DIR]
#
# BUILD_DIR defaults to build/ (it must hold plotrak, baza.ptk and imiona.ptk); the pictures
# go to OUT_DIR (default BUILD_DIR/screenshots) as tab<N>-<width>x<height>.png.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
out="${2:-$build/screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

for file in plotrak baza.ptk imiona.ptk; do
  if [ ! -e "$build/$file" ]; then
    echo "screenshots.sh: $build/$file is missing; build first" >&2
    exit 1
  fi
done

data="$(mktemp -d)"
home="$(mktemp -d)"
trap 'rm -rf "$data" "$home"' EXIT
cp "$build/baza.ptk" "$build/imiona.ptk" "$data/"

rm -f "$out"/tab*-*.png
# a home of its own: nothing of the user's settings or autostart is touched
HOME="$home" XDG_RUNTIME_DIR="$home" PLOTRAK_SCREENSHOT_DIR="$out" \
  timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" "$build/plotrak" --dir "$data" --seed 1

count=$(ls "$out"/tab*-*.png 2>/dev/null | wc -l)
if [ "$count" -ne 16 ]; then
  echo "screenshots.sh: expected 16 pictures in $out, found $count" >&2
  exit 1
fi
echo "16 pictures in $out"
