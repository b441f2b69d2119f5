#!/usr/bin/env bash
# Starts the game under Wine in run/ (see the README):
#   bash tools/play.sh [--win32 | --win64 | --stop]
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tools/lib.sh
. tools/lib.sh

build=${LUMOX_PLAY_BUILD:-win64}
case "${1:-}" in
  "") ;;
  --win32 | --win64) build=${1#--} ;;
  --stop)
    lumox_own_wine play
    tools/wine-run --stop
    lumox_say "the game and its virtual display are ended"
    exit 0 ;;
  *) echo "usage: $0 [--win32 | --win64 | --stop]" >&2; exit 2 ;;
esac
case "$build" in
  win64) what="the x86_64 build under the machine's Wine" ;;
  win32) what="the i686 release under Wine 10 in wow64 mode" ;;
  *) echo "LUMOX_PLAY_BUILD must be win64 or win32" >&2; exit 2 ;;
esac

bash tools/deps.sh
if [ "$build" = win32 ] && ! lumox_kernel_runs_32bit; then
  echo "play.sh: this machine's kernel refuses 32-bit system calls (int 0x80), which Wine 10 needs" \
    "to run the i686 build; run the x86_64 build (bash tools/play.sh) or the i686 one on Windows" >&2
  exit 1
fi
lumox_build "$build" lumox
exe=$lumox_top/build/$build/lumox.exe
lumox_own_wine play
export LUMOX_WINE_MODE=desktop
mkdir -p run
cd run
if [ -n "${DISPLAY:-}" ]; then
  lumox_say "starting $what on your display $DISPLAY"
  exec "$lumox_top/tools/wine-run" --timeout 86400 "$exe"
fi

# Whatever fails from here on ends the display and the game started so far.
trap '"$lumox_top/tools/wine-run" --stop >/dev/null 2>&1' EXIT
lumox_virtual_desktop
lumox_say "there is no display here, so the game runs on a virtual one ($DISPLAY: Xvfb with openbox)"
lumox_say "starting $what"
"$lumox_top/tools/wine-run" --prepare "$exe"
lumox_start_daemon "$LUMOX_WINE_PREFIXES/game.pid" "$lumox_top/run/wine.log" \
  "$lumox_top/tools/wine-run" --timeout 86400 "$exe"
window=$(python3 "$lumox_top/tools/xwin.py" window Lumox 60)
sleep 1 # the first paint reaches the screen with the message loop
python3 "$lumox_top/tools/xwin.py" shoot "$window" "$lumox_top/run/screenshot.png"
trap - EXIT
lumox_say "screenshot of the running game: $lumox_top/run/screenshot.png"
lumox_say "the game keeps running on $DISPLAY; drive it with e.g. DISPLAY=$DISPLAY xdotool key alt+g n"
lumox_say "stop it with: bash $lumox_top/tools/play.sh --stop"
