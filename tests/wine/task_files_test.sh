#!/bin/sh
# Task files are shared between the two programs: tasks made by the native
# harvio-cli read the same in harvio-cli.exe under Wine, and the other way
# round.
#
# Usage: task_files_test.sh NATIVE-CLI WINDOWS-CLI RUN-WINE
set -u
NATIVE=$1
WINDOWS=$2
RUN_WINE=$3
. "$(dirname "$0")/../fixture.sh"
make_work files

native() { home=$1; shift; "$NATIVE" --home "$home" "$@"; }
# The Windows console ends its lines with CR LF.
windows() {
  home=$1; shift
  "$RUN_WINE" "$WINDOWS" --home "$(zpath "$home")" "$@" >"$WORK/wine.out" 2>/dev/null
  status=$?
  tr -d '\r' <"$WORK/wine.out"
  return $status
}

# One task of each kind: a search engine with a Chinese keyword, a forum
# board, and a custom list.
make_tasks() {
  maker=$1 home=$2
  mkdir -p "$home"
  save=$(zpath "$WORK/save")
  $maker "$home" new --source 1 --keyword 风景 --option 1 --save "$save\\a" >/dev/null || fail "$maker new 1"
  $maker "$home" new --source 113 --classify --threads 7 --notes 备注 --save "$save\\b" >/dev/null || fail "$maker new 113"
  $maker "$home" new --source 162 --formats jpg-large,gif --url "http://example.com/(*).html" \
      --from 8 --to 12 --fixed --save "$save\\c" >/dev/null || fail "$maker new 162"
}

compare() {
  home=$1
  for args in "list" "show 1" "show 2" "show 3"; do
    native "$home" $args >"$WORK/native.out" || fail "native $args"
    windows "$home" $args >"$WORK/windows.out" || fail "windows $args"
    [ -s "$WORK/native.out" ] || fail "native $args printed nothing"
    cmp -s "$WORK/native.out" "$WORK/windows.out" || {
      diff "$WORK/native.out" "$WORK/windows.out"
      fail "$args differs for tasks in $home"
    }
  done
}

make_tasks native "$WORK/from-native"
compare "$WORK/from-native"
make_tasks windows "$WORK/from-windows"
compare "$WORK/from-windows"
# Both programs wrote the same records, but for the tasks' own names.
for n in 1 2 3; do
  [ "$(native "$WORK/from-native" show $n | grep -v '^taskName')" = \
    "$(native "$WORK/from-windows" show $n | grep -v '^taskName')" ] || fail "task $n differs"
done
echo ok
