#!/usr/bin/env bash
# Builds everything and runs every test: the tools' own checks, the four
# presets (native; sanitize with ASan + UBSan and a bounded fuzz run; win64
# under the machine's Wine 8; win32 under Wine 10 in wow64 mode) and the test
# size. Every step runs and is listed at the end; one that needs a failed step
# says so. The Wine prefixes and the display are this checkout's own, and
# nothing of them is left running at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tools/lib.sh
. tools/lib.sh

bash tools/deps.sh
lumox_own_wine tests
lumox_forget_gone_checkouts

finish() {
  local status=$? left
  trap - EXIT
  # The display and the root's mounts holder, recorded before --stop ends them.
  left=$(for f in "$LUMOX_WINE_PREFIXES"/*.pid; do
    lumox_is "$f" "$(basename "$f" .pid | sed 's/xvfb/Xvfb/; s/root/sleep/; s/wm/openbox/')" && cat "$f"
  done)
  tools/wine-run --stop >/dev/null 2>&1 || true
  left=$(for pid in $left $(lumox_pids_of_prefixes "$LUMOX_WINE_PREFIXES"); do
    [ ! -d "/proc/$pid" ] || echo "$pid"
  done)
  printf '\n=== summary ===\n'
  printf '%s\n' "${lumox_summary[@]}"
  if [ -n "$left" ]; then
    echo "FAILED: processes left running: $(echo "$left" | tr '\n' ' ')"
    echo "$left" | xargs -r kill -9 2>/dev/null || true
    status=1
  fi
  echo "steps: $((${#lumox_summary[@]} - lumox_failed - skipped)) passed, $lumox_failed failed, $skipped skipped"
  [ "$lumox_failed" -eq 0 ] || status=1
  exit "$status"
}
skipped=0
trap finish EXIT
# The tests' display without a window manager: LUMOX_XVFB_DISPLAY, or a free one.
lumox_xvfb LUMOX_XVFB_DISPLAY "$LUMOX_WINE_PREFIXES/xvfb.pid"
lumox_say "Wine prefixes in $LUMOX_WINE_PREFIXES, display $LUMOX_XVFB_DISPLAY"

mapfile -t scripts < <(git ls-files '*.sh' tools/wine-run .ci/run)
lumox_step "shellcheck" - shellcheck -x "${scripts[@]}"
lumox_step "checks of the tools" - bash tools/check-tools.sh
lumox_step "test size (at most 0.40 of the program)" - python3 tools/test-size.py .

for preset in native sanitize win64 win32; do
  lumox_step "build $preset" - lumox_build "$preset"
done
lumox_step "tests: native" "build native" ctest --preset native
lumox_step "tests: sanitize (ASan + UBSan)" "build sanitize" ctest --preset sanitize
lumox_step "fuzz (bounded)" - tools/fuzz.sh --runs "${LUMOX_FUZZ_RUNS:-200000}"

prepare() { # the Wine prefixes of both modes for one Wine
  LUMOX_WINE=$1 LUMOX_WINE_MODE=null tools/wine-run --prepare
  LUMOX_WINE=$1 LUMOX_WINE_MODE=x11 tools/wine-run --prepare
}
lumox_step "Wine 8 prefixes" - prepare host
lumox_step "tests: win64 under Wine 8 (unit, whole-program, end-to-end, release)" "build win64" \
  ctest --preset win64
if lumox_kernel_runs_32bit; then
  lumox_step "Wine 10 prefixes" - prepare wow64
  lumox_step "tests: win32 under Wine 10 wow64 (unit, whole-program, end-to-end, release)" \
    "build win32" ctest --preset win32
else
  # Nothing can run the i686 build on such a kernel; its release checks need no Wine.
  printf '\n=== tests: win32 under Wine 10 wow64 ===\n'
  echo "SKIPPED: this kernel refuses 32-bit system calls (int 0x80), which Wine 10's wow64 mode needs"
  lumox_summary+=("SKIPPED  tests: win32 under Wine 10 wow64 (this kernel refuses 32-bit system calls)")
  skipped=1
  lumox_step "release checks: win32 (no Wine needed)" "build win32" ctest --preset win32 -R release_check
fi
