#!/usr/bin/env bash
# Release checks of a built lumox.exe: a GUI executable of the right kind that
# imports nothing but Windows' own DLLs. (Its resources are the ones the
# whole-program tests load.)  Usage: release_test.sh EXE pe32|pe32+
set -uo pipefail
exe=$1
case "$2" in
  pe32) objdump=i686-w64-mingw32-objdump; format='PE32 executable \(GUI\) Intel 80386' ;;
  pe32+) objdump=x86_64-w64-mingw32-objdump; format='PE32\+ executable \(GUI\) x86-64' ;;
  *) echo "unknown kind $2"; exit 2 ;;
esac
imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort | tr '\n' ' ')
echo "$(basename "$exe"): $(stat -c %s "$exe") bytes, imports $imports"
file "$exe" | grep -qE "$format" || { echo "FAIL not a $2 GUI executable: $(file -b "$exe")"; exit 1; }
[ -n "$imports" ] && ! echo "$imports" | tr ' ' '\n' | grep -vqE '^(|KERNEL32\.DLL|USER32\.DLL|GDI32\.DLL|MSVCRT\.DLL)$' ||
  { echo "FAIL imports other DLLs"; exit 1; }
echo "PASS"
