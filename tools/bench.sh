#!/usr/bin/env bash
# Benchmarks (see tools/bench.py); run after the test command.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
for preset in win64 win32; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
exec python3 tools/bench.py "$@"
