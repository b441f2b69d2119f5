#!/usr/bin/env bash
# Checks of the tools themselves, each for a fault they once had; run by the
# test command.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tools/lib.sh
. tools/lib.sh
work=$(mktemp -d)
sleepers=()
trap 'kill "${sleepers[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
failures=0
expect() { # EXPECTED ACTUAL WHAT
  [ "$1" = "$2" ] && return
  echo "FAIL $3: expected \"$1\", got \"$2\""
  failures=$((failures + 1))
}

# The prefixes folder of a deleted checkout is kept while programs run in it:
# with two of them, an early `grep -q` once made the scan die of SIGPIPE,
# which read as "nothing runs" under pipefail.
LUMOX_WINE_HOME=$work/home
mkdir -p "$LUMOX_WINE_HOME/gone/prefix-null"
echo "$work/deleted-checkout" >"$LUMOX_WINE_HOME/gone/checkout"
for _ in 1 2; do
  WINEPREFIX=$LUMOX_WINE_HOME/gone/prefix-null sleep 60 &
  sleepers+=($!)
done
lumox_forget_gone_checkouts
expect yes "$([ -d "$LUMOX_WINE_HOME/gone" ] && echo yes || echo no)" \
  "a gone checkout's prefixes kept while two programs run there"
kill "${sleepers[@]}"
wait "${sleepers[@]}" 2>/dev/null || true
lumox_forget_gone_checkouts
expect no "$([ -d "$LUMOX_WINE_HOME/gone" ] && echo yes || echo no)" \
  "a gone checkout's prefixes deleted once nothing runs there"

# A step whose command fails half-way fails: `if "$@"` once turned errexit
# off inside it, so a failed configure went on to build the old configuration.
configure_then_build() {
  false
  echo "built the old configuration"
}
lumox_step "configure fails" - configure_then_build >/dev/null
expect failed "${lumox_outcome[configure fails]}" "the outcome of a step that fails half-way"

# The commands that build show the compiler's errors (Ninja prints them on
# stdout, which the commands once sent to /dev/null).
mkdir "$work/bin"
printf '#!/bin/sh\necho "app/main.cpp:1:1: error: the compiler said so"\nexit 1\n' >"$work/bin/cmake"
chmod +x "$work/bin/cmake"
for tool in play.sh screenshot.sh bench.sh; do
  said=$(PATH=$work/bin:$PATH bash "tools/$tool" 2>&1 || true)
  expect yes "$([[ $said == *"error: the compiler said so"* ]] && echo yes || echo no)" \
    "the compiler's error in the output of $tool on a failed build"
done

[ "$failures" -eq 0 ] && echo "PASS" || exit 1
