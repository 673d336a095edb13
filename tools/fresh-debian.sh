#!/usr/bin/env bash
# Runs a command in a clean clone of this checkout inside a fresh Debian 12
# root, as on a machine where nothing of Harvio was ever installed: a package
# once installed by hand on this machine cannot hide a missing install step.
#
#   tools/fresh-debian.sh COMMAND [ARGS...]
#
# The clone holds the committed state (HEAD): commit before proving a change.
# The minimal bookworm root is made once with debootstrap and kept as a
# tarball under /var/cache/harvio-fresh-debian, so later runs unpack it in
# seconds; the packages the command downloads are kept there too (they are
# still installed by the command every time). The command runs as root with a
# clean environment (PATH, HOME, TERM, CI=true) in /work/harvio; the root and
# its mounts are removed afterwards, whatever happens. Needs root.
set -euo pipefail

[[ $# -gt 0 ]] || { echo "usage: tools/fresh-debian.sh COMMAND [ARGS...]" >&2; exit 2; }
[[ $(id -u) -eq 0 ]] || { echo "fresh-debian: must run as root" >&2; exit 2; }

checkout=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=/var/cache/harvio-fresh-debian
base="$cache/bookworm-minbase.tar"
mirror=http://deb.debian.org/debian

if ! command -v debootstrap >/dev/null; then
  echo "fresh-debian: installing debootstrap" >&2
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q debootstrap
fi

make_base() {
  local tmp
  tmp=$(mktemp -d /var/tmp/harvio-base.XXXXXX)
  echo "fresh-debian: making the bookworm base in $base" >&2
  if debootstrap --variant=minbase bookworm "$tmp" "$mirror" >"$tmp.log" 2>&1; then
    tar -C "$tmp" -cf "$base.part" .
    mv "$base.part" "$base"
  else
    tail -20 "$tmp.log" >&2
  fi
  rm -rf --one-file-system "$tmp" "$tmp.log"
  [[ -f $base ]]
}

mkdir -p "$cache/archives/partial"
[[ -f $base ]] || make_base

scratch=$(mktemp -d /var/tmp/harvio-fresh.XXXXXX)
top="$scratch/root"
mounts=()

# mount_in OPTIONS... WHERE: WHERE inside the root.
mount_in() {
  local where="$top${*: -1}"
  mount "${@:1:$#-1}" "$where"
  mounts+=("$where")
}

# Processes left behind (a Wine server, Xvfb) would hold the mounts.
end_processes_inside() {
  local p
  for p in /proc/[0-9]*; do
    [[ $(readlink "$p/root" 2>/dev/null) == "$top" ]] && kill -9 "${p#/proc/}" 2>/dev/null
  done
  return 0
}

clean_up() {
  local i
  end_processes_inside
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" || true
  done
  # Never delete through a mount that is still there.
  if grep -q " $scratch" /proc/self/mounts; then
    echo "fresh-debian: $scratch still has mounts; left in place" >&2
  else
    rm -rf --one-file-system "$scratch"
  fi
}
trap clean_up EXIT

mkdir -p "$top"
tar -C "$top" -xf "$base"
cp /etc/resolv.conf "$top/etc/resolv.conf"
git clone --quiet --no-hardlinks "$checkout" "$top/work/harvio"

mount_in -t proc proc /proc
mount_in -t sysfs sysfs /sys
mount_in --bind /dev /dev
mount_in --bind /dev/pts /dev/pts
mount_in -t tmpfs -o mode=1777 tmpfs /dev/shm
mount_in --bind "$cache/archives" /var/cache/apt/archives

echo "fresh-debian: running '$*' in a fresh Debian 12 root" >&2
status=0
chroot "$top" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  HOME=/root TERM="${TERM:-dumb}" CI=true \
  /bin/bash -c 'cd /work/harvio && exec "$@"' fresh-debian "$@" || status=$?
echo "fresh-debian: '$*' exited with $status" >&2
exit "$status"
