#!/usr/bin/env bash
# Benchmarks (see tools/bench.py), with Wine prefixes of their own and a
# display without a window manager (LUMOX_XVFB_DISPLAY, or a free one), all
# ended when it finishes.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tools/lib.sh
. tools/lib.sh
bash tools/deps.sh
for preset in win64 win32; do
  lumox_build "$preset" lumox timer_only handling_bench
done
lumox_own_wine bench
trap 'tools/wine-run --stop >/dev/null 2>&1 || true' EXIT
lumox_xvfb LUMOX_XVFB_DISPLAY "$LUMOX_WINE_PREFIXES/xvfb.pid"
python3 tools/bench.py "$@"
