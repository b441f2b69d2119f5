#!/usr/bin/env bash
# Checks of the tools (run by the test command): each case a fault they once had, put back with
# stand-ins for builders, Wine, X and mmdebstrap. All they start carries LUMOX_CHECK, and ends.
# shellcheck disable=SC2016 # the code in single quotes runs in stand-ins and eval
set -uo pipefail
cd "$(dirname "$0")/.." || exit
# shellcheck source=tools/lib.sh
. tools/lib.sh
work=$(mktemp -d)
export LUMOX_CHECK=$work LUMOX_WINE_HOME=$work/home LUMOX_WINE_ROOT=$work/no-root
export PATH=$work/bin:$PATH
unset LUMOX_WINE_PREFIXES LUMOX_XVFB_DISPLAY # the test run's own
out=$work/out
failures=0
ours() { # the processes the checks started
  grep -lszxF "LUMOX_CHECK=$work" /proc/[0-9]*/environ | awk -F/ -v me=$$ '$3 != me {print $3}'
}
trap 'export -n LUMOX_CHECK; ours | xargs -r kill -9 2>&-; rm -rf --one-file-system "$work"' EXIT
check() { # WHAT COMMAND...: a row, failed unless COMMAND is true
  "${@:2}" || { echo "FAIL $1"; failures=$((failures + 1)); }
}
stand_ins() { # NAME BODY...: commands that the tools find on PATH in place of the real ones
  rm -rf "${work:?}/bin"
  mkdir "$work/bin"
  while [ $# -gt 0 ]; do
    printf '#!/bin/bash\n%s\n' "$2" >"$work/bin/$1"
    chmod +x "$work/bin/$1"
    shift 2
  done
}
checkout() { # DIR TOOL...: a checkout with lib.sh and these tools; the others do nothing
  mkdir -p "$1/tools"
  for tool in tools/*; do [ ! -f "$tool" ] || printf '#!/bin/sh\n' >"$1/$tool"; done
  chmod +x "$1/tools/"*
  for tool in lib.sh "${@:2}"; do cp -p "tools/$tool" "$1/tools/"; done
}
# A python3 whose kernel probe (python3 -c) answers PROBE.
probe="[ \"\$1\" != -c ] || exit \${PROBE:-0}
  exec $(python3 -c 'import sys; print(sys.executable)') \"\$@\""
x_up() { [ "$(ours | xargs -r -I{} cat /proc/{}/comm 2>&- | grep -cx 'Xvfb\|openbox')" != 0 ]; }

# The test command: a passing run ends with its summary and exit 0 (with a display it did not
# start, one that answers, it once ended at its cleanup); only a kernel probe killed by SIGSEGV
# (139) skips the win32 tests, and any other failure of the probe fails the run.
checkout "$work/t" test.sh
stand_ins cmake 'exit 0' ctest 'exit 0' shellcheck 'exit 0' xdpyinfo 'exit 0' python3 "$probe"
tests() { LUMOX_XVFB_DISPLAY=:42 PROBE=$1 timeout 60 bash "$work/t/tools/test.sh" >"$out" 2>&1; }
check "a passing run exits 0 with its summary" eval 'tests 0 && grep -q "^=== summary" "$out"'
check "a refusing kernel skips the win32 tests" eval 'tests 139 && grep -q SKIPPED "$out"'
check "a failed probe fails the run, skipping nothing" eval '! tests 1 && ! grep -q SKIPPED "$out"'
# A step whose command fails half-way fails, even where errexit is off (inside if, || or &&).
half_way() { false; echo "went on"; }
check "a step that fails half-way, run inside an if" eval \
  '(if lumox_step h - half_way >/dev/null; then :; fi; [ "${lumox_outcome[h]}" = failed ])'

# Building: once a failed configure is mended, the next build works (it once kept the broken
# cache); a failed build shows the compiler's error.
checkout "$work/b" play.sh
stand_ins
echo '{"version": 6, "buildPresets": [{"name": "win64", "configurePreset": "win64"}],
  "configurePresets": [{"name": "win64", "generator": "Ninja", "binaryDir": "build/win64"}]}' \
  >"$work/b/CMakePresets.json"
echo 'project(broken NONE' >"$work/b/CMakeLists.txt"
DISPLAY=:4 bash "$work/b/tools/play.sh" >/dev/null 2>&1
printf 'cmake_minimum_required(VERSION 3.25)\nproject(m NONE)\nadd_custom_target(lumox)\n' \
  >"$work/b/CMakeLists.txt"
check "a mended configure builds" eval 'DISPLAY=:4 bash $work/b/tools/play.sh >"$out"'
stand_ins cmake 'echo "app/main.cpp:1:1: error: the compiler said so"; exit 1'
check "the compiler's error in the output of a failed build" eval \
  '[[ $(bash $work/b/tools/play.sh 2>&1) == *"error: the compiler said so"* ]]'

# The benchmark ends when a program dies at every start (its time limit once began anew with
# each start), and leaves out the i686 setup where the kernel refuses 32-bit system calls.
checkout "$work/n" bench.sh bench.py xwin.py
stand_ins cmake 'exit 0' xdotool 'exit 1' python3 "$probe"
LUMOX_XVFB_DISPLAY=:42 PROBE=139 timeout 30 bash "$work/n/tools/bench.sh" >"$out" 2>&1
check "the benchmark ends though the program dies at every start" [ $? -ne 124 ]
check "the benchmark says it leaves out the i686 setup" grep -q "refuses 32-bit" "$out"

# wine-run with a stand-in Debian 13 root: bash and env, and a Wine that says what it sees.
standin_root() {
  mkdir -p "$work/root/"{proc,dev,sys,tmp,usr/lib/wine}
  # shellcheck disable=SC2046 # the libraries' paths
  cp -L --parents $(ldd /bin/bash /usr/bin/env | grep -o '/[^ :]*' | sort -u) "$work/root"
  printf '#!/bin/bash\ncase $WINEPREFIX$1 in /*--version) echo wine-10.0 ;; /*x.exe) %s ;; esac' \
    '[ -c /dev/null ] && [ -e /proc/self/status ] && echo mounted' >"$work/root/usr/lib/wine/wine64"
  chmod +x "$work/root/usr/lib/wine/wine64" && cp -p "$work/root/usr/lib/wine/"{wine64,wineserver}
  echo 1 >"$work/root/.lumox-root"
}
standin_root
wine10() { (cd "$work" && LUMOX_WINE_ROOT=$work/root LUMOX_WINE_PREFIXES=$work/prefixes \
  LUMOX_WINE=${WINE:-wow64} timeout 30 "$lumox_top/tools/wine-run" "$@" 2>/dev/null); }
check "wine-run --version names Wine 10" [ "$(wine10 --version)" = wine-10.0 ]
check "a program in the root sees /dev and /proc" [ "$(wine10 x.exe)" = mounted ]
rm -rf --one-file-system "$work/root"
standin_root
check "a program in a root made anew sees /dev and /proc" [ "$(wine10 x.exe)" = mounted ]
check "an unknown LUMOX_WINE fails" eval '! WINE=bogus wine10 --prepare'
wine10 --stop

# wine-run --stop ends every program of the prefixes, its folder's path no pattern (with [1]
# in it, a live prefix once read as empty), and sees at once when they have ended.
mkdir -p "$work/a[1]/prefix-null" "$work/b1/prefix-null"
WINEPREFIX="$work/a[1]/prefix-null" sleep 60 &
LUMOX_WINE_PREFIXES="$work/a[1]" tools/wine-run --stop
check "a program of prefixes under a[1] ended by --stop" lumox_wait 2 eval \
  '[ -z "$(grep -lszxF "WINEPREFIX=$work/a[1]/prefix-null" /proc/[0-9]*/environ)" ]'
WINEPREFIX="$work/b1/prefix-null" bash -c 'trap "" TERM; sleep 2' &
began=$SECONDS
said=$(LUMOX_WINE_PREFIXES="$work/b1" tools/wine-run --stop 2>&1)
check "--stop ends when the program does" [ $((SECONDS - began)) -lt 4 ]
check "--stop names no survivor" [ -z "$said" ]

# The root is replaced or deleted only where it carries the stamp, and not before every mount
# inside is undone, a mount point with a space in its name too.
stand_ins apt-get 'echo file:///nowhere' mmdebstrap 'lib=${*: -2:1}/usr/lib
  mkdir -p "$lib/x86_64-linux-gnu/wine/i386-windows" && install -D /dev/null "$lib/wine/wine64"
  touch "$lib/x86_64-linux-gnu/wine/i386-windows/"{1..100}.dll'
mkdir -p "$work/folder" "$work/old/a b" "$work/bound"
touch "$work/folder/kept" "$work/bound/kept"
echo 0 >"$work/old/.lumox-root"
LUMOX_WINE_ROOT=$work/folder bash tools/wow64-root.sh >/dev/null 2>&1
check "a folder without the stamp kept" [ -f "$work/folder/kept" ]
check "an old root replaced once its mounts are undone" unshare --mount bash -c \
  'mount --bind $0/bound "$0/old/a b" && LUMOX_WINE_ROOT=$0/old bash tools/wow64-root.sh >$0/out' \
  "$work"
check "what was mounted in it kept" [ -f "$work/bound/kept" ]

# The x86_64 game and fuzzing neither make the Debian 13 root nor need root.
checkout "$work/r" play.sh deps.sh wow64-root.sh fuzz.sh
stand_ins cmake 'exit 0' id '[ "$1" = -u ] && echo 1000 || exec /usr/bin/id "$@"'
check "play.sh for x86_64 as a user" eval 'DISPLAY=:42 bash $work/r/tools/play.sh >/dev/null'
bash "$work/r/tools/fuzz.sh" --runs 1 >"$out" 2>&1
check "fuzz.sh does not ask for root" eval '! grep -q "needs root" "$out"'

# The game on a virtual display: a display lost to another run is given up at once (the wait
# once lasted 15 s); two games, then --stop, leave no Xvfb or openbox; the README's picture is
# taken, and no temporary folder stays, though ending Wine failed.
checkout "$work/p" play.sh
cp -p tools/wine-run "$work/p/tools/wine-run.real"
printf '#!/bin/bash\ncase $1 in --stop) %s ;; --prepare) ;; *) exec sleep 30 ;; esac\n' \
  '[ -z "${FAIL_STOP:-}" ] && exec "$0.real" --stop' >"$work/p/tools/wine-run"
stand_ins cmake 'exit 0' import 'touch "${!#}"' \
  xdotool "xwininfo -root | awk '/Window id:/ {print \$4}'" \
  Xvfb "[ -e $work/lost ] || { touch $work/lost; exit 1; }; exec /usr/bin/Xvfb \"\$@\""
began=$SECONDS
env -u DISPLAY timeout 60 bash "$work/p/tools/play.sh" >"$out" 2>&1
check "a headless game started at once after losing a display" [ $((SECONDS - began)) -lt 12 ]
env -u DISPLAY timeout 60 bash "$work/p/tools/play.sh" >>"$out" 2>&1
bash "$work/p/tools/play.sh" --stop >>"$out" 2>&1
check "two headless games, then --stop, leave no Xvfb or openbox" lumox_wait 5 eval '! x_up'
mkdir "$work/tmp"
env -u DISPLAY TMPDIR="$work/tmp" FAIL_STOP=1 timeout 60 bash "$work/p/tools/play.sh" \
  --screenshot "$work/shot.png" >>"$out" 2>&1
check "the picture taken" [ -f "$work/shot.png" ]
check "no temporary folder left by the picture" [ -z "$(ls -A "$work/tmp")" ]
check "no Xvfb or openbox left by the picture" lumox_wait 5 eval '! x_up'

[ "$failures" -eq 0 ] && echo "PASS" || exit 1
