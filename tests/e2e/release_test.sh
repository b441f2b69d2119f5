#!/usr/bin/env bash
# Release checks of a built lumox.exe: a GUI executable of the right kind that imports nothing
# but Windows' own DLLs, whose bytes depend on the sources alone: no link time in its header and
# no path of the build machine inside; and the About box's icon at its place and size in dialog
# units.  Usage: release_test.sh EXE 4|8 (the build's pointer size: PE32 or PE32+)
set -u
exe=$1
case "$2" in
  4) objdump=i686-w64-mingw32-objdump; format='PE32 executable (GUI) Intel 80386' ;;
  8) objdump=x86_64-w64-mingw32-objdump; format='PE32+ executable (GUI) x86-64' ;;
esac
fail() { echo "FAIL $*"; exit 1; }
header=$("$objdump" -p "$exe")
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$header" | tr '[:lower:]\n' '[:upper:] ')
file -b "$exe" | grep -qF "$format" || fail "expected a $format, got: $(file -b "$exe")"
others=$(tr ' ' '\n' <<<"$imports" | grep -vxE '(KERNEL32|USER32|GDI32|MSVCRT)\.DLL|')
[ -z "$others" ] || fail "expected only Windows' own DLLs, got also $others"
time=$(grep '^Time/Date' <<<"$header")
[[ $time == *" 1970" ]] || fail "expected the time stamp 0, got $time"
top=$(cd "$(dirname "$0")/../.." && pwd -P)
! grep -qaF "$top" "$exe" || fail "expected no path of the build machine, found $top"
# (Read whole first: grep -q would stop at the match and leave windres to die of SIGPIPE.)
resources=$("${objdump%objdump}windres" -i "$exe" -O rc)
grep -q 'CONTROL 103, 65535, "STATIC", 0x50000003, 5, 0, 20, 20' <<<"$resources" ||
  fail "expected the About box's icon control at 5, 0 sized 20 x 20"
echo "PASS"
