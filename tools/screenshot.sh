#!/usr/bin/env bash
# Takes a screenshot of a game in progress: starts lumox.exe on a virtual
# display, starts a game from the menu, plays a few moves and saves the main
# window and the results window beside it.
# Usage: tools/screenshot.sh [OUTPUT.png]   (default docs/screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
out=${1:-docs/screenshot.png}
bash tools/deps.sh
[ -f build/win64/CMakeCache.txt ] || cmake --preset win64 >/dev/null
cmake --build --preset win64 --target lumox >/dev/null

export LUMOX_WINE_MODE=x11 LUMOX_FORCE_XVFB=1
export DISPLAY=${LUMOX_XVFB_DISPLAY:-:97}
work=$(mktemp -d)
tools/wine-run --prepare
trap 'tools/wine-run --kill; rm -rf "$work"' EXIT
(cd "$work" && setsid "$top/tools/wine-run" --timeout 120 "$top/build/win64/lumox.exe" </dev/null >/dev/null 2>&1 &)
for _ in $(seq 150); do
  xdotool search --onlyvisible --name '^Lumox$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
xdotool key alt+g n
sleep 0.5
for keys in "Left Left Down" "Right Right Down" "Up Down" "Left Left Left Down" "Right Right Right Down" "Down"; do
  # shellcheck disable=SC2086
  xdotool key --delay 80 $keys
  sleep 0.3
done
sleep 0.6
mkdir -p "$(dirname "$out")"
# The main window stands at (300, 150) - its frame; take it with some margin.
import -window root -depth 8 -crop 200x420+290+95 +repage "$out"
echo "screenshot: $out"
