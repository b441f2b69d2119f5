#!/usr/bin/env bash
# Starts Lumox under Wine. The game runs in the folder run/ of this checkout,
# where its results file tabulka.dat stays between runs.
# Without a display it runs on a virtual one and leaves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

bash tools/deps.sh

exe=build/win64/lumox.exe
if [ ! -f "$exe" ]; then
  echo "play: building the game (first start only)..."
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target lumox 2>/dev/null || true
fi
if [ ! -f "$exe" ]; then
  echo "play: the program is not built yet: this checkout has no game to start." >&2
  exit 1
fi

mkdir -p run
cd run
export LUMOX_WINE_MODE=x11
if [ -z "${DISPLAY:-}" ]; then
  echo "play: no display here, so the game runs on a virtual display (Xvfb)."
  export LUMOX_FORCE_XVFB=1
  "$top/tools/wine-run" --prepare
  export DISPLAY=${LUMOX_XVFB_DISPLAY:-:97}
  "$top/tools/wine-run" "$top/$exe" &
  game=$!
  sleep "${LUMOX_SCREENSHOT_DELAY:-5}"
  import -window root -depth 8 "$top/run/screenshot.png"
  echo "play: screenshot of the running game: $top/run/screenshot.png"
  echo "play: the game keeps running on display $DISPLAY (process $game); stop it with: kill $game"
  wait "$game"
else
  exec "$top/tools/wine-run" "$top/$exe"
fi
