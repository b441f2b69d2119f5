#!/usr/bin/env bash
# Builds everything and runs every test:
#   native    portable code and its tests (host GCC)
#   sanitize  the same under AddressSanitizer + UndefinedBehaviorSanitizer
#             (clang), plus a bounded fuzz run
#   win64     the x86_64 Windows build; its tests run under the machine's Wine 8
#   win32     the i686 Windows release build; the same tests run under Wine 10
#             in wow64 mode (tools/wine-run)
# Every step runs and is reported, a failed one included; a step that cannot
# run because the one it needs failed says so. The Wine prefixes and the
# virtual display are this checkout's own (see tools/lib.sh), and nothing of
# them is left running at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/lib.sh

bash tools/deps.sh

lumox_own_wine tests
lumox_forget_gone_checkouts
# The tests' display without a window manager: LUMOX_XVFB_DISPLAY, or a free one.
lumox_xvfb LUMOX_XVFB_DISPLAY "$LUMOX_WINE_PREFIXES/xvfb.pid"
lumox_say "Wine prefixes in $LUMOX_WINE_PREFIXES, display $LUMOX_XVFB_DISPLAY"

summary=()
failed=0
skipped=0
declare -A outcome

# step NAME NEEDS COMMAND...: runs COMMAND unless the step NEEDS (or "-") failed.
step() {
  local name=$1 needs=$2 began=$SECONDS
  shift 2
  printf '\n=== %s ===\n' "$name"
  if [ "$needs" != - ] && [ "${outcome[$needs]:-}" != passed ]; then
    outcome[$name]="not run"
    summary+=("NOT RUN  $name (needs: $needs)")
    echo "not run: \"$needs\" failed"
    failed=$((failed + 1))
    return 0
  fi
  if "$@"; then
    outcome[$name]=passed
    summary+=("passed   $name ($((SECONDS - began)) s)")
  else
    outcome[$name]=failed
    summary+=("FAILED   $name ($((SECONDS - began)) s)")
    failed=$((failed + 1))
  fi
}

finish() {
  local status=$? left daemons="" f pid
  trap - EXIT
  # The display, the root's mounts holder: recorded before --stop ends them.
  for f in "$LUMOX_WINE_PREFIXES"/*.pid; do
    [ -f "$f" ] || continue
    pid=$(cat "$f")
    daemons+=" $pid:$(cat "/proc/$pid/comm" 2>/dev/null || true)"
  done
  tools/wine-run --stop >/dev/null 2>&1 || true
  left=$(lumox_pids_of_prefixes "$LUMOX_WINE_PREFIXES")
  for f in $daemons; do
    pid=${f%%:*}
    if [ -n "${f#*:}" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null || true)" = "${f#*:}" ]; then
      left+=" $pid"
    fi
  done
  printf '\n=== summary ===\n'
  printf '%s\n' "${summary[@]}"
  if [ -n "$left" ]; then
    echo "FAILED: processes left running: $(echo $left)"
    kill -9 $left 2>/dev/null || true
    status=1
  fi
  echo "steps: $((${#summary[@]} - failed - skipped)) passed, $failed failed, $skipped skipped"
  [ "$failed" -eq 0 ] || status=1
  exit "$status"
}
trap finish EXIT

step "build native" - lumox_build native
step "build sanitize" - lumox_build sanitize
step "build win64" - lumox_build win64
step "build win32" - lumox_build win32

step "tests: native" "build native" ctest --preset native
step "tests: sanitize (ASan + UBSan)" "build sanitize" ctest --preset sanitize
step "fuzz (bounded)" - tools/fuzz.sh --runs "${LUMOX_FUZZ_RUNS:-200000}"

prepare() { # Wine prefixes of both modes for one Wine
  LUMOX_WINE=$1 LUMOX_WINE_MODE=null tools/wine-run --prepare &&
    LUMOX_WINE=$1 LUMOX_WINE_MODE=x11 tools/wine-run --prepare
}
step "Wine 8 prefixes" - prepare host
# The end-to-end tests read and write results files with the native
# results_file_tool, which "build native" made above.
step "tests: win64 under Wine 8 (unit, whole-program, end-to-end, release)" "build win64" ctest --preset win64
if lumox_kernel_runs_32bit; then
  step "Wine 10 prefixes" - prepare wow64
  step "tests: win32 under Wine 10 wow64 (unit, whole-program, end-to-end, release)" "build win32" ctest --preset win32
else
  # Nothing can run the i686 build on such a kernel; its release checks need no Wine.
  printf '\n=== tests: win32 under Wine 10 wow64 ===\n'
  echo "SKIPPED: this kernel refuses 32-bit system calls (int 0x80), which Wine 10's wow64 mode needs"
  summary+=("SKIPPED  tests: win32 under Wine 10 wow64 (this kernel refuses 32-bit system calls)")
  skipped=$((skipped + 1))
  step "release checks: win32" "build win32" ctest --preset win32 -R release_check
fi
