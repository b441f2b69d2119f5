#!/usr/bin/env bash
# Starts Lumox under Wine with code page 1250. The game runs in the folder
# run/ of this checkout, where its results file tabulka.dat stays between runs.
# Without a display it runs on a virtual one (Xvfb), leaves a screenshot of
# the running game and keeps the game running there.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

bash tools/deps.sh

exe=build/win64/lumox.exe
[ -f build/win64/CMakeCache.txt ] || cmake --preset win64 >/dev/null
cmake --build --preset win64 --target lumox >/dev/null

mkdir -p run
cd run

if [ -n "${DISPLAY:-}" ]; then
  # The player's own display and window manager.
  export LUMOX_WINE_MODE=desktop
  exec "$top/tools/wine-run" --timeout 86400 "$top/$exe"
fi

export LUMOX_WINE_MODE=x11
export LUMOX_FORCE_XVFB=1
display=${LUMOX_XVFB_DISPLAY:-:97}
echo "play: there is no display here, so the game runs on a virtual display ($display, Xvfb)."
"$top/tools/wine-run" --prepare
setsid "$top/tools/wine-run" --timeout 86400 "$top/$exe" </dev/null >"$top/run/wine.log" 2>&1 &
game=$!

export DISPLAY=$display
for _ in $(seq 150); do
  xdotool search --onlyvisible --name '^Lumox$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1  # let the first paint reach the screen
shot=$top/run/screenshot.png
import -window root -depth 8 "$shot"
echo "play: screenshot of the running game: $shot"
echo "play: the game keeps running on $display; drive it with e.g. DISPLAY=$display xdotool key alt+g n"
echo "play: stop it with: LUMOX_WINE_MODE=x11 $top/tools/wine-run --kill"
