#!/usr/bin/env bash
# Builds everything and runs every test:
#   native    portable code and its tests (host GCC)
#   sanitize  the same under AddressSanitizer + UndefinedBehaviorSanitizer
#             (clang), plus a bounded fuzz run
#   win64     the x86_64 Windows build; its tests run under Wine
#   win32     the i686 Windows release build (built and checked, not run:
#             these machines cannot execute 32-bit code)
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh

# Wine servers and the private display end with this script.
trap 'tools/wine-run --stop >/dev/null 2>&1 || true' EXIT

step() { printf '\n=== %s ===\n' "$*"; }

for preset in native sanitize win64 win32; do
  step "build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

step "tests: native"
ctest --preset native

step "tests: sanitize (ASan + UBSan)"
ctest --preset sanitize

if [ -x tools/fuzz.sh ]; then
  step "fuzz (bounded)"
  tools/fuzz.sh --runs "${LUMOX_FUZZ_RUNS:-200000}"
fi

step "release checks: win32"
ctest --preset win32

step "tests: win64 under Wine (unit, whole-program and end-to-end)"
tools/wine-run --prepare
LUMOX_WINE_MODE=x11 tools/wine-run --prepare
ctest --preset win64
