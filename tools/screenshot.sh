#!/usr/bin/env bash
# Takes the README's picture of a game in progress on a virtual desktop (Xvfb
# with openbox), window frame included.  Usage: tools/screenshot.sh [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tools/lib.sh
. tools/lib.sh
out=$(realpath -m "${1:-docs/screenshot.png}")
bash tools/deps.sh
lumox_build win64 lumox
exe=$lumox_top/build/win64/lumox.exe

lumox_own_wine screenshot
export LUMOX_WINE_MODE=desktop
work=$(mktemp -d)
trap 'tools/wine-run --stop; rm -rf "$work"' EXIT
lumox_virtual_desktop
tools/wine-run --prepare "$exe"
(cd "$work" && lumox_start_daemon "$work/game.pid" "$work/wine.log" "$lumox_top/tools/wine-run" --timeout 120 "$exe")
window=$(python3 tools/xwin.py window Lumox 60)
sleep 1
xdotool key alt+g n
sleep 0.5
for keys in "Left Left Down" "Right Right Down" "Up Down" "Left Left Left Down" "Right Right Right Down" "Up Left"; do
  # shellcheck disable=SC2086 # the words are the keys
  xdotool key --delay 80 $keys
  sleep 0.3
done
sleep 0.6
python3 tools/xwin.py shoot "$window" "$out"
echo "screenshot: $out"
