#!/usr/bin/env bash
# Makes the Debian 13 root with Wine 10 for the 32-bit build (see the README's notes) once, at
# LUMOX_WINE_ROOT (called by tools/deps.sh --root): wine64, libwine, fonts-wine, locales with
# cs_CZ.UTF-8, and the files of the i386 libwine (its PE libraries are all wow64 mode needs).
# It replaces only a folder with its stamp (.lumox-root): anything else there stays as it is.
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
root=$(realpath -m "$LUMOX_WINE_ROOT")
work=$root.new # the root being made, in work/root; work/.lumox-work says it is this tool's
# Bumped whenever the recipe below changes, so that an old root is made anew.
recipe=1
stamp() { cat "$1/.lumox-root" 2>/dev/null || true; }
die() { echo "wow64-root: $*" >&2; exit 1; }
[ "$(stamp "$root")" != "$recipe" ] || exit 0
[ "$(id -u)" -eq 0 ] || die "making $root needs root (mmdebstrap, chroot)"

# mounts_below DIR: the mount points below DIR, deepest first (findmnt escapes a space as \x20).
mounts_below() {
  local point
  findmnt -rno TARGET | while read -r point; do
    point=$(printf '%b' "$point")
    [[ $point != "$1"/* ]] || echo "$point"
  done | sort -r
}
# delete DIR: deletes DIR once nothing is mounted inside, so as not to reach the machine's /dev.
delete() {
  local point
  while read -r point; do umount -R "$point" 2>/dev/null || true; done < <(mounts_below "$1")
  [ -z "$(mounts_below "$1")" ] || die "$1 still has mounts inside; not deleting it"
  rm -rf --one-file-system "$1"
}

mkdir -p "$(dirname "$root")"
exec 9>"$root.lock"
flock 9
[ "$(stamp "$root")" != "$recipe" ] || exit 0
[ ! -e "$root" ] || [ -n "$(stamp "$root")" ] ||
  die "$root is not a root this tool made (it has no .lumox-root); not touching it"
[ ! -e "$work" ] || [ -f "$work/.lumox-work" ] || die "$work is not this tool's; not touching it"
[ ! -e "$work" ] || delete "$work"

# The URI of the Debian archive this machine's apt already uses for its release.
# shellcheck disable=SC1091,SC2016 # the machine's own file; $(...) is apt's format
uri=$(apt-get indextargets --format '$(REPO_URI)' "Release: $(. /etc/os-release && echo "$VERSION_CODENAME")" \
  "Target-Of: deb" | awk "NR == 1")
[ -n "$uri" ] || die "found no Debian source in the machine's apt configuration"
echo "wow64-root: making the Debian 13 root with Wine 10 in $root (about a minute)"
mkdir -p "$work" && touch "$work/.lumox-work"
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
  trixie "$work/root" \
  "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri trixie main" 9>&-
count=$(find "$work/root/usr/lib/x86_64-linux-gnu/wine/i386-windows" -type f 2>/dev/null | wc -l) || true
if [ ! -x "$work/root/usr/lib/wine/wine64" ] || [ "$count" -lt 100 ]; then
  die "the new root lacks Wine 10 or its i386 PE libraries ($count files)"
fi
echo "$recipe" >"$work/root/.lumox-root"
[ ! -e "$root" ] || delete "$root"
mv "$work/root" "$root"
delete "$work"
echo "wow64-root: ready in $((SECONDS - began)) s ($(du -sh "$root" | cut -f1), $count i386 PE libraries)"
