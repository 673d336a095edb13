#!/bin/sh
# Option.ini is the same file whichever build reads or writes it: the native
# options_check and the Windows one under Wine (the system's own profile
# functions) print the same settings and leave the same bytes.
#
# Usage: options_files_test.sh NATIVE-CHECK WINDOWS-CHECK RUN-WINE
set -u
NATIVE=$1
WINDOWS=$2
RUN_WINE=$3
. "$(dirname "$0")/../fixture.sh"
make_work options

# The start files, and first a case without one.
starts="$(dirname "$0")/../data/app/option_files"
names="0-none.ini $(cd "$starts" && echo *.ini)"
mkdir "$WORK/native" "$WORK/windows"
cp "$starts"/*.ini "$WORK/native/"
cp "$starts"/*.ini "$WORK/windows/"
# shellcheck disable=SC2086  # one argument a name
"$NATIVE" "$(zpath "$WORK/native/")" $names >"$WORK/native.out" || fail "native check"
# The Windows console ends its lines with CR LF.
# shellcheck disable=SC2086
"$RUN_WINE" "$WINDOWS" "$(zpath "$WORK/windows/")" $names 2>/dev/null | tr -d '\r' >"$WORK/windows.out" ||
  fail "windows check"
[ -s "$WORK/native.out" ] || fail "no output"
diff "$WORK/native.out" "$WORK/windows.out" || fail "the builds read differently"
count=0
for file in "$WORK"/native/*.ini; do
  name=$(basename "$file")
  cmp "$file" "$WORK/windows/$name" || fail "$name differs: $(od -c "$file" | head -5)"
  count=$((count + 1))
done
[ "$count" -ge 9 ] || fail "only $count files"
[ "$(ls "$WORK/windows" | wc -l)" -eq "$count" ] || fail "other files in the Windows folder"
echo "ok: $count files alike"
