#!/usr/bin/env bash
# Feeds arbitrary bytes to the results-file loader and the record reader
# (libFuzzer, under AddressSanitizer and UndefinedBehaviorSanitizer).
#   tools/fuzz.sh --runs N       a bounded number of inputs (the test command)
#   tools/fuzz.sh --seconds S    run for S seconds (default 600)
# New interesting inputs go to build/fuzz-corpus; the committed seed corpus
# (tests/results/fuzz_corpus) is only read. Each run logs to its own file.
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-max_total_time=600)
wanted=0
case "${1:-}" in
  --runs) limit=(-runs="$2"); wanted=$2 ;;
  --seconds) limit=(-max_total_time="$2") ;;
  "") ;;
  *) echo "usage: $0 [--runs N | --seconds S]" >&2; exit 2 ;;
esac

bash tools/deps.sh
if [ ! -x build/sanitize/tests/results/results_fuzzer ]; then
  cmake --preset sanitize >/dev/null
  cmake --build --preset sanitize --target results_fuzzer
fi

work=build/fuzz-corpus
mkdir -p "$work"
log=build/fuzz-$$.log
set +e
build/sanitize/tests/results/results_fuzzer "${limit[@]}" -max_len=4096 -print_final_stats=1 -artifact_prefix=build/ \
  "$work" tests/results/fuzz_corpus >"$log" 2>&1
status=$?
set -e
runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo 0)
if [ "$status" -ne 0 ]; then
  tail -40 "$log"
  echo "fuzz: FAILED after $runs inputs (log: $log)"
  exit 1
fi
if [ "$runs" -lt "$wanted" ]; then
  echo "fuzz: FAILED: only $runs of $wanted inputs ran (log: $log)"
  exit 1
fi
echo "fuzz: $runs inputs, no finding (log: $log)"
