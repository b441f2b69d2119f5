#!/usr/bin/env bash
# Starts the game under Wine, or takes the README's picture (see the README):
#   bash tools/play.sh [--win32 | --win64]     the game in run/, on your display or a virtual one
#   bash tools/play.sh --stop                  ends the game and its virtual display
#   bash tools/play.sh --screenshot [OUT.png]  a game in progress (default docs/screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tools/lib.sh
. tools/lib.sh
export LUMOX_WINE_PREFIXES=$lumox_top/build/wine/play LUMOX_WINE_MODE=desktop
session=LUMOX_PLAY=$lumox_top # carried by every process of a game on a virtual display
die() { echo "play.sh: $*" >&2; exit 1; }

stop() {
  local status=0
  tools/wine-run --stop || status=$?
  # Once the game is gone, its display goes by itself; what stays of it is ended here.
  lumox_wait 3 lumox_none "$session" || lumox_end "$session" || status=$?
  return "$status"
}

# virtual_game EXE FOLDER: the game in FOLDER on a virtual display of its own (Xvfb with openbox)
# in the background, instead of any started before; sets DISPLAY and window.
virtual_game() {
  stop || true
  mkdir -p "$2" "$LUMOX_WINE_PREFIXES"
  rm -f "$LUMOX_WINE_PREFIXES/display"
  # shellcheck disable=SC2016 # expanded by the session's shell
  (cd "$2" && exec env "$session" setsid xvfb-run -a -f "$LUMOX_WINE_PREFIXES/Xauthority" \
    -s "-screen 0 1280x1024x24 -ac" sh -c 'echo "$DISPLAY" >"$0/display"
      openbox &
      "$1" --prepare "$2" && "$1" --timeout 86400 "$2"
      kill $!' "$LUMOX_WINE_PREFIXES" "$lumox_top/tools/wine-run" "$1") </dev/null >"$2/wine.log" 2>&1 &
  lumox_wait 20 test -s "$LUMOX_WINE_PREFIXES/display" || die "no virtual display (see $2/wine.log)"
  DISPLAY=$(cat "$LUMOX_WINE_PREFIXES/display")
  export DISPLAY
  window=$(timeout 120 xdotool search --sync --limit 1 --onlyvisible --name '^Lumox$' || true)
  [ -n "$window" ] || die "the game's window did not show (see $2/wine.log)"
  sleep 1 # the first paint reaches the screen with the message loop
}

case "${1:-}" in
  "" | --win64 | --win32) build=${1:-${LUMOX_PLAY_BUILD:-win64}} ;;
  --stop) stop; lumox_say "the game and its virtual display are ended"; exit 0 ;;
  --screenshot) build=win64 out=$(realpath -m "${2:-docs/screenshot.png}") ;;
  *) die "usage: $0 [--win32 | --win64 | --stop | --screenshot [OUT.png]]" ;;
esac
case "${build#--}" in
  win64) build=win64 what="the x86_64 build under the machine's Wine" ;;
  win32) build=win32 what="the i686 release under Wine 10 in wow64 mode" ;;
  *) die "LUMOX_PLAY_BUILD must be win64 or win32" ;;
esac

if [ "$build" = win32 ]; then
  bash tools/deps.sh --root
  probe=0
  lumox_kernel_probe || probe=$?
  [ "$probe" -ne 139 ] || die "this machine's kernel refuses 32-bit system calls (int 0x80), which" \
    "Wine 10 needs to run the i686 build; run the x86_64 build (bash tools/play.sh) or the i686 one on Windows"
  [ "$probe" -eq 0 ] || die "the probe of the kernel for 32-bit system calls failed (status $probe)"
else
  bash tools/deps.sh
fi
lumox_build "$build" lumox
exe=$lumox_top/build/$build/lumox.exe
if [ -z "${out:-}" ] && [ -n "${DISPLAY:-}" ]; then
  lumox_say "starting $what on your display $DISPLAY"
  mkdir -p run && cd run
  exec "$lumox_top/tools/wine-run" --timeout 86400 "$exe"
fi

# Whatever fails from here on ends the display and the game started so far.
trap 'stop >/dev/null 2>&1 || true' EXIT
if [ -n "${out:-}" ]; then
  rm -rf build/screenshot
  virtual_game "$exe" "$lumox_top/build/screenshot"
  for keys in "alt+g n" "Left Left Down" "Right Right Down" "Up Down" "Left Left Left Down" \
    "Right Right Right Down" "Up Left"; do
    # shellcheck disable=SC2086 # the words are the keys
    xdotool key --delay 80 $keys
    sleep 0.4
  done
  sleep 0.6
  mkdir -p "$(dirname "$out")"
  import -window "$window" -frame -depth 8 "$out"
  echo "screenshot: $out"
  exit
fi
lumox_say "there is no display here, so $what runs on a virtual one (Xvfb with openbox)"
virtual_game "$exe" "$lumox_top/run"
import -window "$window" -frame -depth 8 run/screenshot.png
trap - EXIT
lumox_say "screenshot of the running game: $lumox_top/run/screenshot.png"
lumox_say "the game keeps running on $DISPLAY; drive it with e.g. DISPLAY=$DISPLAY xdotool key alt+g n"
lumox_say "stop it with: bash $lumox_top/tools/play.sh --stop"
