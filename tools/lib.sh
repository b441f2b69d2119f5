# shellcheck shell=bash
# What the commands in tools/ share (sourced): the settings (see the README), building, the
# kernel probe, the test command's steps, waiting, and ending processes by their environment.
lumox_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
: "${LUMOX_WINE_ROOT:=${XDG_CACHE_HOME:-$HOME/.cache}/lumox-wine/debian13}"
export LUMOX_WINE_ROOT

lumox_say() { printf '%s: %s\n' "$(basename "$0")" "$*"; }

# lumox_build PRESET [TARGET...]: configures (always: a failed configure leaves a cache behind)
# and builds; quiet unless it fails, and then it shows all that CMake and the compiler said.
lumox_build() {
  local preset=$1 said
  shift
  said=$(cd "$lumox_top" && cmake --preset "$preset" 2>&1 && cmake --build --preset "$preset" ${1:+--target "$@"} 2>&1) ||
    { printf '%s\n' "$said"; lumox_say "building $preset failed"; return 1; } >&2
}

# lumox_kernel_probe: whether this kernel takes 32-bit system calls (int 0x80) from a 64-bit
# process, as Wine 10's wow64 mode needs to give a 32-bit program its thread area. Status 0 if
# it does, 139 if it refuses (the probe dies of SIGSEGV, reported by a subshell to nowhere); any
# other status is a failed probe.
lumox_kernel_probe() {
  (timeout 30 python3 -c '
import ctypes, mmap
code = mmap.mmap(-1, 4096, prot=mmap.PROT_READ | mmap.PROT_WRITE | mmap.PROT_EXEC)
code.write(bytes([0xB8, 20, 0, 0, 0, 0xCD, 0x80, 0xC3]))  # mov eax, getpid; int 0x80; ret
ctypes.CFUNCTYPE(ctypes.c_int)(ctypes.addressof(ctypes.c_char.from_buffer(code)))()
' >/dev/null; exit) 2>/dev/null
}

# lumox_step NAME NEEDS COMMAND...: a step of the test command, run unless the step NEEDS (or -)
# did not pass. COMMAND runs in a shell of its own with errexit on, even where the caller's is
# off (inside if, || or &&), so that a step whose command fails half-way fails.
declare -gA lumox_outcome=()
lumox_summary=()
lumox_failed=0
lumox_step() {
  local name=$1 needs=$2 began=$SECONDS outcome=passed
  shift 2
  printf '\n=== %s ===\n' "$name"
  if [ "$needs" != - ] && [ "${lumox_outcome[$needs]:-}" != passed ]; then
    echo "not run: \"$needs\" did not pass"
    outcome="not run"
  else
    bash -c "set -euo pipefail; lumox_top=$(printf %q "$lumox_top"); $(declare -f); \"\$@\"" "$0" "$@" ||
      outcome=failed
  fi
  lumox_outcome[$name]=$outcome
  [ "$outcome" = passed ] || { outcome=${outcome^^}; lumox_failed=$((lumox_failed + 1)); }
  lumox_summary+=("$(printf '%-8s' "$outcome") $name ($((SECONDS - began)) s)")
}

# lumox_xvfb_run COMMAND...: COMMAND with LUMOX_XVFB_DISPLAY set to an Xvfb of its own, which
# xvfb-run starts on a free display (the next if another run took it) and ends with COMMAND.
lumox_xvfb_run() {
  # shellcheck disable=SC2016 # expanded by the inner shell
  xvfb-run -a sh -c 'LUMOX_XVFB_DISPLAY=$DISPLAY exec "$@"' sh "$@"
}

# lumox_wait SECONDS COMMAND...: true once COMMAND is (tried again every 0.1 s), false if not in time.
lumox_wait() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}

# lumox_pids SETTING...: the processes but this shell with one of these exact NAME=VALUE
# settings in their environment (compared as text: a path is no pattern).
lumox_pids() {
  local setting args=()
  for setting; do args+=(-e "$setting"); done
  # One grep reads every environment whole: no early exit can turn into SIGPIPE.
  { grep -lszxF "${args[@]}" /proc/[0-9]*/environ || true; } | awk -F/ -v me=$$ '$3 != me { print $3 }'
}
lumox_none() { [ -z "$(lumox_pids "$@")" ]; }

# lumox_end SETTING...: ends those processes (TERM, then KILL for any left after 5 s) and waits
# until they are gone; names those that stay and fails then.
lumox_end() {
  lumox_pids "$@" | xargs -r kill 2>/dev/null || true
  lumox_wait 5 lumox_none "$@" && return 0
  lumox_pids "$@" | xargs -r kill -9 2>/dev/null || true
  lumox_wait 5 lumox_none "$@" && return 0
  lumox_say "still running: $(lumox_pids "$@" | tr '\n' ' ')(${*})" >&2
  return 1
}
