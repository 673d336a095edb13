#!/usr/bin/env bash
# The release files of Harvio, made from a built i686 tree (build-win/):
#   tools/release/package.sh WIN-BUILD OUT-DIR
# OUT-DIR receives
#   harvio-VERSION-win32.zip   the program to unpack anywhere and run
#   harvio-VERSION-setup.exe   its installer (harvio.nsi, made by makensis)
#   SHA256SUMS                 for both
# This folder holds what goes into them besides the build: the installer's
# script, the text 说明.txt (readme.txt) and files.py, which writes that text
# and the zip. The programs ship without their debugging information; every
# file carries the time of the commit built (or SOURCE_DATE_EPOCH), so one
# commit always gives the same zip.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
if [[ $# -ne 2 ]]; then
  echo "usage: tools/release/package.sh WIN-BUILD OUT-DIR" >&2
  exit 2
fi
win=$1
out=$2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win/CMakeCache.txt" 2>/dev/null || true)
if [[ -z $version ]]; then
  echo "package: $win is no configured build" >&2
  exit 1
fi
# The commit time: the same commit gives the same files.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
# strip writes this time, not the current one, into the programs' headers.
export SOURCE_DATE_EPOCH=$epoch

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
files=$stage/files
mkdir -p "$files/ad" "$files/help" "$out"
i686-w64-mingw32-strip -o "$files/harvio.exe" "$win/ui/harvio.exe"
i686-w64-mingw32-strip -o "$files/harvio-cli.exe" "$win/cli/harvio-cli.exe"
cp "$win/ui/Introduction.chm" "$files/"
python3 "$here/files.py" chm "$files/Introduction.chm" "$epoch"
cp "$win/ui/ad/"*.html "$files/ad/"
cp "$win/ui/help/"* "$files/help/"
python3 "$here/files.py" readme "$here/readme.txt" "$files/说明.txt"
# The installer gives the installed files these times too.
find "$files" -type f -exec touch -d "@$epoch" {} +

zip_name=harvio-$version-win32.zip
setup_name=harvio-$version-setup.exe
rm -f "$out/$zip_name" "$out/$setup_name" "$out/SHA256SUMS"
python3 "$here/files.py" zip "$files" "$out/$zip_name" "$epoch"

size_kb=$(find "$files" -type f -printf '%s\n' | awk '{ s += $1 } END { print int((s + 1023) / 1024) }')
# makensis needs a UTF-8 locale for the Chinese file names; in the plain C
# locale (a clean environment, as CI's) it crashes.
LC_ALL=C.UTF-8 makensis -INPUTCHARSET UTF8 -V2 -DVERSION="$version" -DFILES="$files" \
  -DICON="$root/res/big.ico" -DSIZE_KB="$size_kb" -DOUTFILE="$(cd "$out" && pwd)/$setup_name" \
  "$here/harvio.nsi"

(cd "$out" && sha256sum "$zip_name" "$setup_name" > SHA256SUMS)
echo "package: $out/$zip_name, $out/$setup_name"
