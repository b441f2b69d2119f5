#!/usr/bin/env bash
# Installs, with apt-get, whatever the build, the game and the tests need and is not there yet
# (this needs root; nothing is asked of an installed machine). With --root it also makes the
# Debian 13 root with Wine 10 that runs the 32-bit build (tools/wow64-root.sh, as root).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ make googletest clang libclang-rt-14-dev python3 file
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 wine fonts-wine xvfb xauth xdotool x11-utils imagemagick openbox mmdebstrap
  debian-archive-keyring util-linux shellcheck)

# dpkg-query names a package it does not know last in its complaint.
mapfile -t missing < <(dpkg-query -W -f='${db:Status-Status} ${Package}\n' "${packages[@]}" 2>&1 |
  awk '$1 != "installed" { print $NF }')

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "deps: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  echo "deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

[ "${1:-}" != --root ] || bash tools/wow64-root.sh
