#!/usr/bin/env bash
# Installs, with apt-get, whatever the build, the game and the tests need and
# is not there yet, then makes the Debian 13 root with Wine 10 that runs the
# 32-bit build (tools/wow64-root.sh). Does nothing when everything is there.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ make googletest libgtest-dev clang libclang-rt-14-dev python3 file
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 wine fonts-wine xvfb xdotool x11-utils imagemagick openbox mmdebstrap debian-archive-keyring
  util-linux shellcheck
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done

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

bash tools/wow64-root.sh
