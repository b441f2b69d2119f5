#!/usr/bin/env bash
# Builds everything and runs every test: the tools' own checks, the four presets (native;
# sanitize with ASan + UBSan and a bounded fuzz run; win64 under Wine 8; win32 under Wine 10 in
# wow64 mode) and the test size. Every step runs and is listed at the end; one that needs a
# failed step says so. The Wine prefixes (build/wine/tests) and the display are this checkout's.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tools/lib.sh
. tools/lib.sh

bash tools/deps.sh --root
# One display for the whole run: LUMOX_XVFB_DISPLAY, or one of its own.
[ -n "${LUMOX_XVFB_DISPLAY:-}" ] || { lumox_xvfb_run bash "$0"; exit; }
export LUMOX_WINE_PREFIXES=${LUMOX_WINE_PREFIXES:-$lumox_top/build/wine/tests}
lumox_say "Wine prefixes in $LUMOX_WINE_PREFIXES, display $LUMOX_XVFB_DISPLAY"

skipped=0
finish() {
  local status=$?
  trap - EXIT
  tools/wine-run --stop || lumox_step "nothing of the Wine prefixes left running" - false
  printf '\n=== summary ===\n'
  printf '%s\n' "${lumox_summary[@]}"
  echo "steps: $((${#lumox_summary[@]} - lumox_failed - skipped)) passed, $lumox_failed failed, $skipped skipped"
  [ "$lumox_failed" -eq 0 ] || status=1
  exit "$status"
}
trap finish EXIT

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

prepare() { for mode in null x11; do LUMOX_WINE=$1 LUMOX_WINE_MODE=$mode tools/wine-run --prepare; done; }
lumox_step "Wine 8 prefixes" - prepare host
lumox_step "tests: win64 under Wine 8 (unit, whole-program, end-to-end, release)" "build win64" \
  ctest --preset win64

probe=0
lumox_kernel_probe || probe=$?
if [ "$probe" -eq 139 ]; then
  # Nothing can run the i686 build on such a kernel; its release checks need no Wine.
  printf '\n=== tests: win32 under Wine 10 wow64: SKIPPED ===\n'
  echo "SKIPPED: this kernel refuses 32-bit system calls (int 0x80), which Wine 10's wow64 mode needs"
  lumox_summary+=("SKIPPED  tests: win32 under Wine 10 wow64 (this kernel refuses 32-bit system calls)")
  skipped=1
  lumox_step "release checks: win32 (no Wine needed)" "build win32" ctest --preset win32 -R release_check
else
  probed() { echo "the kernel probe ended with status $1: 0 is a kernel that takes them, 139 one that refuses"; [ "$1" -eq 0 ]; }
  lumox_step "kernel probe: 32-bit system calls taken" - probed "$probe"
  lumox_step "Wine 10 prefixes" "kernel probe: 32-bit system calls taken" prepare wow64
  lumox_step "tests: win32 under Wine 10 wow64 (unit, whole-program, end-to-end, release)" \
    "build win32" ctest --preset win32
fi
