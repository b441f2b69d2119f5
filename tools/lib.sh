# Shared by the commands in tools/ (sourced, never run on its own): where the
# project's Wine state lives, building a preset when needed, the virtual
# displays, and waiting for the game's window.
#
# Settings, from the environment (each has a default):
#   LUMOX_WINE_HOME      the project's cache folder (~/.cache/lumox-wine)
#   LUMOX_WINE_ROOT      the Debian 13 root with Wine 10 (LUMOX_WINE_HOME/debian13)
#   LUMOX_WINE_PREFIXES  the folder of the Wine prefixes and of the private
#                        display's state; tools/wine-run alone uses
#                        LUMOX_WINE_HOME itself, the commands a folder of their
#                        own per checkout and purpose (lumox_own_wine)
#   LUMOX_XVFB_DISPLAY   the display without a window manager (tests, benchmark)
#   LUMOX_PLAY_DISPLAY   the virtual desktop of play.sh and screenshot.sh

lumox_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
: "${LUMOX_WINE_HOME:=${XDG_CACHE_HOME:-$HOME/.cache}/lumox-wine}"
: "${LUMOX_WINE_ROOT:=$LUMOX_WINE_HOME/debian13}"
export LUMOX_WINE_HOME LUMOX_WINE_ROOT

lumox_say() { printf '%s: %s\n' "$(basename "$0")" "$*"; }

# lumox_build PRESET [TARGET...]: configures the preset when it has no build
# folder yet or the presets changed since, then builds (everything, or the
# targets named). Ninja skips what is up to date.
lumox_build() {
  local preset=$1 dir
  shift
  dir=$lumox_top/build/$preset
  if [ ! "$dir/CMakeCache.txt" -nt "$lumox_top/CMakePresets.json" ]; then
    (cd "$lumox_top" && cmake --preset "$preset" >/dev/null)
  fi
  (cd "$lumox_top" && cmake --build --preset "$preset" ${1:+--target "$@"})
}

# lumox_kernel_runs_32bit: whether this kernel still takes 32-bit system calls
# (int 0x80) from a 64-bit process. Wine 10's wow64 mode needs them to give a
# 32-bit program its thread area; kernels built or booted without IA32
# emulation refuse them, and no i686 program can run under Wine there.
lumox_kernel_runs_32bit() {
  python3 - <<'PY' 2>/dev/null
import subprocess, sys
child = """
import ctypes, mmap
code = mmap.mmap(-1, 4096, prot=mmap.PROT_READ | mmap.PROT_WRITE | mmap.PROT_EXEC)
code.write(bytes([0xB8, 20, 0, 0, 0, 0xCD, 0x80, 0xC3]))  # mov eax, getpid; int 0x80; ret
getpid = ctypes.CFUNCTYPE(ctypes.c_int)(ctypes.addressof(ctypes.c_char.from_buffer(code)))
print(getpid())
"""
run = subprocess.run([sys.executable, "-c", child], capture_output=True, text=True, timeout=30)
sys.exit(0 if run.returncode == 0 and run.stdout.strip().isdigit() else 1)
PY
}

# lumox_own_wine PURPOSE: gives this checkout's PURPOSE (tests, play, bench,
# screenshot) prefixes and a display state of its own, unless
# LUMOX_WINE_PREFIXES is set already. Two checkouts, or a test run and a
# player's game, then never end each other's programs.
lumox_own_wine() {
  if [ -z "${LUMOX_WINE_PREFIXES:-}" ]; then
    local key
    key=$(basename "$lumox_top")-$(printf '%s' "$lumox_top" | md5sum | cut -c1-8)
    LUMOX_WINE_PREFIXES=$LUMOX_WINE_HOME/$1-$key
  fi
  export LUMOX_WINE_PREFIXES
  mkdir -p "$LUMOX_WINE_PREFIXES"
  printf '%s\n' "$lumox_top" >"$LUMOX_WINE_PREFIXES/checkout"
}

# lumox_forget_gone_checkouts: deletes the prefix folders of checkouts that no
# longer exist (a clone made for one check, say) once nothing runs in them.
lumox_forget_gone_checkouts() {
  local dir owner
  for dir in "$LUMOX_WINE_HOME"/*/; do
    dir=${dir%/}
    [ -f "$dir/checkout" ] || continue
    owner=$(cat "$dir/checkout")
    [ -d "$owner" ] && continue
    lumox_pids_of_prefixes "$dir" | grep -q . && continue
    rm -rf --one-file-system "$dir"
  done
}

# lumox_pids_of_prefixes FOLDER: the processes started with a WINEPREFIX inside
# FOLDER (Wine programs, their servers, and the wrappers around them).
lumox_pids_of_prefixes() {
  local pid
  for pid in /proc/[0-9]*; do
    pid=${pid#/proc/}
    [ "$pid" = "$$" ] && continue
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -q "^WINEPREFIX=$1/" && echo "$pid"
  done
  return 0
}

# lumox_start_daemon PIDFILE LOG COMMAND...: starts COMMAND in a session of its
# own, away from the caller's pipes, and writes its pid to PIDFILE.
lumox_start_daemon() {
  local pidfile=$1 log=$2
  shift 2
  setsid -f sh -c 'echo $$ >"$0"; exec "$@"' "$pidfile" "$@" </dev/null >"$log" 2>&1
}

# lumox_kill_recorded PIDFILE NAME: ends the process recorded in PIDFILE if it
# still is a NAME (a pid can be reused), and waits until it is gone.
lumox_kill_recorded() {
  local pid
  [ -f "$1" ] || return 0
  pid=$(cat "$1")
  rm -f "$1"
  [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$2" ] || return 0
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    [ -d "/proc/$pid" ] || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
}

# lumox_try_xvfb N PIDFILE: starts Xvfb on :N; true once it answers there as
# the owner of the display's lock (another server may hold :N already).
lumox_try_xvfb() {
  local n=$1 pidfile=$2 pid=""
  lumox_start_daemon "$pidfile" "$(dirname "$pidfile")/xvfb-$n.log" \
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset
  for _ in $(seq 150); do
    pid=$(cat "$pidfile" 2>/dev/null || true)
    if [ -n "$pid" ]; then
      [ -d "/proc/$pid" ] || break
      if DISPLAY=:$n xdpyinfo >/dev/null 2>&1 &&
        [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ]; then
        return 0
      fi
    fi
    sleep 0.1
  done
  lumox_kill_recorded "$pidfile" Xvfb
  return 1
}

# lumox_xvfb VAR PIDFILE: makes sure an X server answers on the display named
# by $VAR, starting Xvfb there if nothing does. When VAR is empty it takes the
# first free display from :100 on and exports VAR as ":N".
lumox_xvfb() {
  local var=$1 pidfile=$2 want=${!1:-} n
  mkdir -p "$(dirname "$pidfile")"
  if [ -n "$want" ]; then
    DISPLAY=$want xdpyinfo >/dev/null 2>&1 && return 0
    lumox_try_xvfb "${want#:}" "$pidfile" && return 0
    echo "cannot start Xvfb on $want" >&2
    return 1
  fi
  for n in $(seq 100 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    if lumox_try_xvfb "$n" "$pidfile"; then
      printf -v "$var" ':%s' "$n"
      export "${var?}"
      return 0
    fi
  done
  echo "no free display between :100 and :199" >&2
  return 1
}

# lumox_virtual_desktop: the display LUMOX_PLAY_DISPLAY (a free one when
# unset) with Xvfb and the openbox window manager, so that windows get the
# frames a player's desktop gives them. Both are recorded in
# LUMOX_WINE_PREFIXES and ended by `tools/wine-run --stop`.
lumox_virtual_desktop() {
  lumox_xvfb LUMOX_PLAY_DISPLAY "$LUMOX_WINE_PREFIXES/xvfb.pid" || return 1
  if ! DISPLAY=$LUMOX_PLAY_DISPLAY xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    DISPLAY=$LUMOX_PLAY_DISPLAY lumox_start_daemon "$LUMOX_WINE_PREFIXES/wm.pid" "$LUMOX_WINE_PREFIXES/wm.log" \
      openbox
    for _ in $(seq 100); do
      DISPLAY=$LUMOX_PLAY_DISPLAY xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
      sleep 0.1
    done
    echo "openbox did not start on $LUMOX_PLAY_DISPLAY" >&2
    return 1
  fi
}

# lumox_wait_window TITLE [SECONDS]: waits until a window titled exactly TITLE
# is visible on $DISPLAY and prints its id.
lumox_wait_window() {
  local ids
  for _ in $(seq $((${2:-15} * 10))); do
    ids=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true)
    if [ -n "$ids" ]; then
      echo "$ids" | head -1
      return 0
    fi
    sleep 0.1
  done
  echo "no window \"$1\" on $DISPLAY" >&2
  return 1
}

# lumox_shoot_window WINDOW OUT.png: a picture of the window on $DISPLAY as
# the screen shows it, with the frame its window manager drew.
lumox_shoot_window() {
  local info x y w h l=0 r=0 t=0 b=0 margin=0 left top
  info=$(xwininfo -id "$1")
  x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
  y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
  w=$(echo "$info" | sed -n 's/.*Width: *//p')
  h=$(echo "$info" | sed -n 's/.*Height: *//p')
  read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ',') || true
  left=$((x - ${l:-0} - margin))
  top=$((y - ${t:-0} - margin))
  [ "$left" -ge 0 ] || left=0
  [ "$top" -ge 0 ] || top=0
  mkdir -p "$(dirname "$2")"
  import -window root -depth 8 \
    -crop "$((w + ${l:-0} + ${r:-0} + 2 * margin))x$((h + ${t:-0} + ${b:-0} + 2 * margin))+$left+$top" \
    +repage "$2"
}
