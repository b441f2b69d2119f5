#!/usr/bin/env bash
# Release checks of a built lumox.exe: the executable format, imports from
# Windows' own DLLs only, and the resources the program loads.
# Usage: release_test.sh EXE pe32|pe32+
set -uo pipefail
exe=$1
kind=$2
passed=0
failed=0
expect() {
  if eval "$2"; then echo "PASS $1"; passed=$((passed + 1)); else echo "FAIL $1"; failed=$((failed + 1)); fi
}

case "$kind" in
  pe32) objdump=i686-w64-mingw32-objdump; format='PE32 executable \(GUI\) Intel 80386' ;;
  pe32+) objdump=x86_64-w64-mingw32-objdump; format='PE32\+ executable \(GUI\) x86-64' ;;
  *) echo "unknown kind $kind"; exit 2 ;;
esac

expect "$exe is a $kind GUI executable" 'file "$exe" | grep -qE "$format"'

dump=$("$objdump" -p "$exe")
imports=$(echo "$dump" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort | tr '\n' ' ')
expect "imports only Windows system DLLs ($imports)" \
  '[ -n "$imports" ] && ! echo "$imports" | tr " " "\n" | grep -vqE "^(|KERNEL32\.DLL|USER32\.DLL|GDI32\.DLL|MSVCRT\.DLL)$"'

# The resource directory as objdump prints it: type entries, then their id
# entries, then the language entries, each level indented two more spaces.
resources=$(echo "$dump" | sed -n '/Resource Directory section/,$p')
has() { # type id: present in Czech (0x405)
  echo "$resources" | awk -v t="$1" -v i="$2" '
    match($0, /^[0-9a-f]+ +Entry: ID: /) {
      indent = RLENGTH; id = $4; sub(/,$/, "", id)
      if (level0 == 0 || indent <= level0) { level0 = indent; type = id; name = ""; next }
      if (name == "" || indent <= level1) { level1 = indent; name = id; next }
      if (type == t && name == i && id == "0x000405") found = 1
    }
    END { exit !found }'
}
expect "menu 101 in Czech" 'has 0x000004 0x000065'
expect "dialog 102 (About) in Czech" 'has 0x000005 0x000066'
expect "dialog 103 (name entry) in Czech" 'has 0x000005 0x000067'
expect "dialog 104 (Speed) in Czech" 'has 0x000005 0x000068'
expect "icon 103 in Czech" 'has 0x00000e 0x000067'
expect "version information" 'has 0x000010 0x000001'

echo "size: $(stat -c %s "$exe") bytes"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
