# shellcheck shell=bash
# What the commands in tools/ share (sourced): the settings (see the README),
# building, the test command's steps, waiting, a prefixes folder's processes,
# unmounting, daemons and virtual displays.
lumox_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
: "${LUMOX_WINE_HOME:=${XDG_CACHE_HOME:-$HOME/.cache}/lumox-wine}"
: "${LUMOX_WINE_ROOT:=$LUMOX_WINE_HOME/debian13}"
export LUMOX_WINE_HOME LUMOX_WINE_ROOT

lumox_say() { printf '%s: %s\n' "$(basename "$0")" "$*"; }

# lumox_build PRESET [TARGET...]: configures the preset when its cache is older
# than the presets, then builds; quiet unless it fails, and then it shows all
# that CMake and the compiler said (Ninja prints errors on stdout).
lumox_build() {
  local preset=$1 log status=0
  shift
  log=$(mktemp)
  if [ ! "$lumox_top/build/$preset/CMakeCache.txt" -nt "$lumox_top/CMakePresets.json" ]; then
    (cd "$lumox_top" && cmake --preset "$preset") >"$log" 2>&1 || status=$?
  fi
  if [ "$status" -eq 0 ]; then
    (cd "$lumox_top" && cmake --build --preset "$preset" ${1:+--target "$@"}) >>"$log" 2>&1 ||
      status=$?
  fi
  [ "$status" -eq 0 ] || { cat "$log"; lumox_say "building $preset failed"; } >&2
  rm -f "$log"
  return "$status"
}

# lumox_kernel_runs_32bit: whether this kernel still takes 32-bit system calls
# (int 0x80) from a 64-bit process. Wine 10's wow64 mode needs them to give a
# 32-bit program its thread area; kernels built or booted without IA32
# emulation refuse them, and no i686 program can run under Wine there.
lumox_kernel_runs_32bit() {
  # A refused call kills the probe with SIGSEGV (in a subshell, so that the
  # shell's own report of it goes nowhere).
  (timeout 30 python3 -c '
import ctypes, mmap
code = mmap.mmap(-1, 4096, prot=mmap.PROT_READ | mmap.PROT_WRITE | mmap.PROT_EXEC)
code.write(bytes([0xB8, 20, 0, 0, 0, 0xCD, 0x80, 0xC3]))  # mov eax, getpid; int 0x80; ret
ctypes.CFUNCTYPE(ctypes.c_int)(ctypes.addressof(ctypes.c_char.from_buffer(code)))()
' >/dev/null; exit) 2>/dev/null
}

# lumox_step NAME NEEDS COMMAND...: a step of the test command, run unless
# the step NEEDS (or -) did not pass.
declare -gA lumox_outcome=()
lumox_summary=()
lumox_failed=0
lumox_step() {
  local name=$1 needs=$2 began=$SECONDS status=0
  shift 2
  printf '\n=== %s ===\n' "$name"
  if [ "$needs" != - ] && [ "${lumox_outcome[$needs]:-}" != passed ]; then
    echo "not run: \"$needs\" did not pass"
    lumox_outcome[$name]="not run"
    lumox_summary+=("NOT RUN  $name (needs: $needs)")
    lumox_failed=$((lumox_failed + 1))
    return 0
  fi
  # Not `if "$@"`: errexit is off in a condition, and so in all it runs.
  set +e
  (set -e; "$@")
  status=$?
  set -e
  if [ "$status" -eq 0 ]; then
    lumox_outcome[$name]=passed
    lumox_summary+=("passed   $name ($((SECONDS - began)) s)")
  else
    lumox_outcome[$name]=failed
    lumox_summary+=("FAILED   $name ($((SECONDS - began)) s)")
    lumox_failed=$((lumox_failed + 1))
  fi
}

# lumox_wait SECONDS COMMAND...: true once COMMAND is, false if not in time.
lumox_wait() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}

# lumox_pids_of_prefixes DIR: the processes whose WINEPREFIX is DIR or in it.
lumox_pids_of_prefixes() {
  # One grep reads every environment whole, and awk all it writes: no early
  # exit in this pipeline can turn into SIGPIPE.
  { grep -lsz -e "^WINEPREFIX=$1/" -e "^WINEPREFIX=$1\$" /proc/[0-9]*/environ || true; } |
    awk -F/ -v me=$$ '$3 != me { print $3 }'
}

# lumox_own_wine PURPOSE: this checkout's own prefixes for PURPOSE (tests,
# play, bench, screenshot), unless LUMOX_WINE_PREFIXES is set.
lumox_own_wine() {
  : "${LUMOX_WINE_PREFIXES:=$LUMOX_WINE_HOME/$1-$(basename "$lumox_top")-$(printf '%s' "$lumox_top" | md5sum | cut -c1-8)}"
  export LUMOX_WINE_PREFIXES
  mkdir -p "$LUMOX_WINE_PREFIXES"
  printf '%s\n' "$lumox_top" >"$LUMOX_WINE_PREFIXES/checkout"
}

# lumox_forget_gone_checkouts: deletes the prefixes folders of checkouts that
# no longer exist, unless something still runs in them.
lumox_forget_gone_checkouts() {
  local dir
  for dir in "$LUMOX_WINE_HOME"/*/; do
    [ -f "$dir/checkout" ] || continue
    [ ! -d "$(cat "$dir/checkout")" ] || continue
    [ -z "$(lumox_pids_of_prefixes "${dir%/}")" ] || continue
    rm -rf --one-file-system "$dir"
  done
}

# lumox_unmount_below DIR: unmounts all below DIR; false if something stays.
lumox_unmount_below() {
  local point
  while read -r point; do
    umount -R "$point" 2>/dev/null || true
  done < <(awk -v d="$1/" 'index($5, d) == 1 { print $5 }' /proc/self/mountinfo | sort -r)
  ! grep -qF " $1/" /proc/self/mountinfo
}

# lumox_start_daemon PIDFILE LOG COMMAND...: COMMAND in a session of its own,
# away from the caller's pipes, its pid in PIDFILE.
lumox_start_daemon() {
  local pidfile=$1 log=$2
  shift 2
  # shellcheck disable=SC2016 # $$ and $0 belong to the inner shell
  setsid -f sh -c 'echo $$ >"$0"; exec "$@"' "$pidfile" "$@" </dev/null >"$log" 2>&1
}

# lumox_is PIDFILE NAME: the process in PIDFILE runs and is a NAME (pids are reused).
lumox_is() {
  local pid
  pid=$(cat "$1" 2>/dev/null) && [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$2" ]
}

# lumox_kill_recorded PIDFILE NAME: ends that NAME and waits until it is gone.
lumox_kill_recorded() {
  local pid
  lumox_is "$1" "$2" && pid=$(cat "$1")
  rm -f "$1"
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || return 0
  lumox_wait 5 test ! -d "/proc/$pid" || kill -9 "$pid" 2>/dev/null || true
}

# lumox_xvfb VAR PIDFILE: an X server on the display $VAR (Xvfb if none
# answers); when VAR is empty, Xvfb on the first free display from :100.
lumox_xvfb() {
  local var=$1 pidfile=$2 want=${!1:-} n
  mkdir -p "$(dirname "$pidfile")"
  if [ -n "$want" ]; then
    DISPLAY=$want xdpyinfo >/dev/null 2>&1 || lumox_try_xvfb "${want#:}" "$pidfile" && return 0
    echo "cannot start Xvfb on $want" >&2
    return 1
  fi
  for n in $(seq 100 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || ! lumox_try_xvfb "$n" "$pidfile" || {
      printf -v "$var" ':%s' "$n"
      export "${var?}"
      return 0
    }
  done
  echo "no free display between :100 and :199" >&2
  return 1
}

# lumox_try_xvfb N PIDFILE: Xvfb on :N; true once it answers there as the
# owner of the display's lock (another server may hold :N already).
lumox_try_xvfb() {
  lumox_start_daemon "$2" "$(dirname "$2")/xvfb-$1.log" Xvfb ":$1" -screen 0 1280x1024x24 -nolisten tcp -noreset
  # shellcheck disable=SC2016 # expanded by the inner shell on each try
  lumox_wait 15 sh -c 'DISPLAY=:$0 xdpyinfo >/dev/null 2>&1 &&
    [ "$(tr -d " \n" <"/tmp/.X$0-lock")" = "$(cat "$1")" ]' "$1" "$2" 2>/dev/null ||
    { lumox_kill_recorded "$2" Xvfb; return 1; }
}

# lumox_virtual_desktop: Xvfb and openbox on LUMOX_PLAY_DISPLAY (a free
# display when unset), exported as DISPLAY; ended by `tools/wine-run --stop`.
lumox_virtual_desktop() {
  lumox_xvfb LUMOX_PLAY_DISPLAY "$LUMOX_WINE_PREFIXES/xvfb.pid" || return 1
  export DISPLAY=$LUMOX_PLAY_DISPLAY
  lumox_has_wm && return 0
  lumox_start_daemon "$LUMOX_WINE_PREFIXES/wm.pid" "$LUMOX_WINE_PREFIXES/wm.log" openbox
  lumox_wait 10 lumox_has_wm || { echo "openbox did not start on $DISPLAY" >&2; return 1; }
}
lumox_has_wm() { [[ $(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) == *"window id"* ]]; }
