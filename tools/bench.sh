#!/usr/bin/env bash
# Benchmarks (see tools/bench.py): the x86_64 build under the machine's Wine 8,
# the i686 release and the x86_64 build under Wine 10 in wow64 mode. Uses Wine
# prefixes of its own and a display without a window manager
# (LUMOX_XVFB_DISPLAY, or a free one), all ended when it finishes.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/lib.sh
bash tools/deps.sh
for preset in win64 win32; do
  lumox_build "$preset" lumox timer_only handling_bench >/dev/null
done
lumox_own_wine bench
lumox_xvfb LUMOX_XVFB_DISPLAY "$LUMOX_WINE_PREFIXES/xvfb.pid"
trap 'tools/wine-run --stop >/dev/null 2>&1 || true' EXIT
python3 tools/bench.py "$@"
