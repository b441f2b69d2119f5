#!/usr/bin/env bash
# Fuzzes the results record (libFuzzer, ASan, UBSan) as a hostile file could hold it: built first,
# seeded with two records of the layout, in a scratch folder it removes. A finding stays in
# build/: the input (build/fuzz-crash-*) and the log (build/fuzz-PID.log).
#   tools/fuzz.sh --runs N | --seconds S     N inputs (the test command), or S seconds (600)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tools/lib.sh
. tools/lib.sh

limit=(-max_total_time=600)
wanted=0
case "${1:-}" in
  --runs) limit=(-runs="$2"); wanted=$2 ;;
  --seconds) limit=(-max_total_time="$2") ;;
  "") ;;
  *) echo "usage: $0 [--runs N | --seconds S]" >&2; exit 2 ;;
esac

bash tools/deps.sh
lumox_build sanitize results_fuzzer
bin=build/sanitize/tests

# In memory where possible: a saved payload is a file for every input, and each is synced.
top=${TMPDIR:-/tmp}
if [ -d /dev/shm ] && [ -w /dev/shm ]; then top=/dev/shm; fi
scratch=$(mktemp -d "$top/lumox-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/seeds" "$scratch/corpus" "$scratch/tmp"
# The records of an empty table of ten slots and of one holding abc with 12.5.
{ printf '\x34\0\0\0\x0a\0\0\0\0\0\0\0'; head -c 40 /dev/zero; } >"$scratch/seeds/empty"
{ printf '\x3f\0\0\0\x0a\0\0\0\x01\0\0\0\x03\0\0\0abc\0\0\0\0\0\0\x29\x40'
  head -c 36 /dev/zero; } >"$scratch/seeds/abc"

log=$scratch/fuzz.log
start=$SECONDS
status=0
TMPDIR=$scratch/tmp "$bin/results_fuzzer" "${limit[@]}" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="build/fuzz-" "$scratch/corpus" "$scratch/seeds" >"$log" 2>&1 || status=$?
runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo 0)
if [ "$status" -ne 0 ] || [ "$runs" -lt "$wanted" ]; then
  cp "$log" "build/fuzz-$$.log"
  tail -40 "$log"
  echo "fuzz: FAILED after $runs inputs (status $status; log: build/fuzz-$$.log)"
  exit 1
fi
# libFuzzer's last status line: "#N DONE cov: C ft: F corp: K/Bb ... exec/s: E ...".
echo "fuzz: $runs inputs in $((SECONDS - start)) s, no finding; $(grep -o 'DONE.*' "$log" | tail -1)"
