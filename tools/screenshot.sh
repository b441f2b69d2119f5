#!/usr/bin/env bash
# Takes the README's picture of a game in progress: starts lumox.exe (x86_64,
# the machine's Wine) on a virtual desktop (Xvfb with the openbox window
# manager, so the window has the frame a player's desktop gives it), starts a
# game from the menu, plays a few moves and saves the window with its frame.
# Usage: tools/screenshot.sh [OUTPUT.png]   (default docs/screenshot.png)
# The display is LUMOX_PLAY_DISPLAY when set, a free one otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/lib.sh
out=$(realpath -m "${1:-docs/screenshot.png}")
bash tools/deps.sh
lumox_build win64 lumox >/dev/null
exe=$lumox_top/build/win64/lumox.exe

lumox_own_wine screenshot
export LUMOX_WINE_MODE=desktop
work=$(mktemp -d)
trap 'tools/wine-run --stop; rm -rf "$work"' EXIT
lumox_virtual_desktop
export DISPLAY=$LUMOX_PLAY_DISPLAY
tools/wine-run --prepare "$exe"
(cd "$work" && lumox_start_daemon "$work/game.pid" "$work/wine.log" "$lumox_top/tools/wine-run" --timeout 120 "$exe")
window=$(lumox_wait_window Lumox 60)
sleep 1
xdotool key alt+g n
sleep 0.5
for keys in "Left Left Down" "Right Right Down" "Up Down" "Left Left Left Down" "Right Right Right Down" "Up Left"; do
  # shellcheck disable=SC2086
  xdotool key --delay 80 $keys
  sleep 0.3
done
sleep 0.6
lumox_shoot_window "$window" "$out"
echo "screenshot: $out"
