#!/usr/bin/env bash
# Benchmarks (see tools/bench.py), with Wine prefixes of their own (build/wine/bench) and a
# display without a window manager (LUMOX_XVFB_DISPLAY, or a free one), all ended when it
# finishes. On a kernel that refuses 32-bit system calls the i686 setup is left out.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tools/lib.sh
. tools/lib.sh
bash tools/deps.sh --root
for preset in win64 win32; do lumox_build "$preset" lumox timer_only handling_bench; done
export LUMOX_WINE_PREFIXES=$lumox_top/build/wine/bench
probe=0
lumox_kernel_probe || probe=$?
case "$probe" in
  0) ;;
  139) lumox_say "this kernel refuses 32-bit system calls: the i686 setup is left out"; export LUMOX_BENCH_PE32=no ;;
  *) lumox_say "the probe of the kernel for 32-bit system calls failed (status $probe)" >&2; exit 1 ;;
esac
trap 'tools/wine-run --stop >/dev/null 2>&1 || true' EXIT
python3 tools/bench.py "$@"
