#!/usr/bin/env bash
# Makes the Debian 13 root with Wine 10 for the 32-bit build (see the README's
# notes), once; called by tools/deps.sh. It holds wine64, libwine, fonts-wine,
# locales with cs_CZ.UTF-8, and the files of the i386 libwine (its PE
# libraries are all wow64 mode needs; no 32-bit Unix library is ever loaded).
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

root=$LUMOX_WINE_ROOT
# Bumped whenever the recipe below changes, so that an old root is made anew.
recipe=1
ready() {
  [ "$(cat "$1/.lumox-root" 2>/dev/null)" = "$recipe" ]
}
ready "$root" && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "wow64-root: making $root needs root (mmdebstrap, chroot)" >&2
  exit 1
fi

# The URI of the Debian archive this machine's apt already uses for its release.
mirror() {
  # shellcheck disable=SC1091,SC2016 # the machine's own file; $(...) is apt's format
  apt-get indextargets --format '$(REPO_URI)' "Release: $(. /etc/os-release && echo "$VERSION_CODENAME")" \
    "Target-Of: deb" | awk "NR == 1"
}

# Deletes a root once nothing is mounted inside (a run cut short could leave
# mounts there), so that deleting cannot reach the machine's /dev or /tmp.
delete_root() {
  [ -e "$1" ] || return 0
  lumox_unmount_below "$1" || { echo "wow64-root: $1 still has mounts inside; not deleting it" >&2; return 1; }
  rm -rf --one-file-system "$1"
}

mkdir -p "$(dirname "$root")"
exec 9>"$root.lock"
flock 9
ready "$root" && exit 0

uri=$(mirror)
if [ -z "$uri" ]; then
  echo "wow64-root: found no Debian source in the machine's apt configuration" >&2
  exit 1
fi
echo "wow64-root: making the Debian 13 root with Wine 10 in $root (about a minute)"
delete_root "$root.new"
began=$SECONDS
# shellcheck disable=SC2016 # $1 in the hooks is mmdebstrap's
mmdebstrap --quiet --variant=apt --architectures=amd64,i386 \
  --include=wine64,libwine,fonts-wine,locales \
  --customize-hook='echo "cs_CZ.UTF-8 UTF-8" >"$1/etc/locale.gen" && chroot "$1" locale-gen >/dev/null' \
  --customize-hook='chroot "$1" sh -ec "
      cd /var/tmp
      apt-get download -qq libwine:i386
      dpkg -x libwine_*_i386.deb i386
      cp -a i386/usr/lib/i386-linux-gnu/wine/i386-windows/. /usr/lib/x86_64-linux-gnu/wine/i386-windows/
      rm -rf i386 libwine_*_i386.deb"' \
  trixie "$root.new" \
  "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri trixie main" 9>&-
count=$(find "$root.new/usr/lib/x86_64-linux-gnu/wine/i386-windows" -type f | wc -l)
if [ ! -x "$root.new/usr/lib/wine/wine64" ] || [ "$count" -lt 100 ]; then
  echo "wow64-root: the new root lacks Wine 10 or its i386 PE libraries ($count files)" >&2
  exit 1
fi
echo "$recipe" >"$root.new/.lumox-root"
delete_root "$root"
mv "$root.new" "$root"
echo "wow64-root: ready in $((SECONDS - began)) s ($(du -sh "$root" | cut -f1), $count i386 PE libraries)"
