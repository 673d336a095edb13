#!/bin/sh
# The wizard's dialogs driven under Wine make one task of each kind; the
# task files they leave are then read by the native harvio-cli.
#
# Usage: wizard_dialogs_test.sh DIALOGS-EXE NATIVE-CLI RUN-WINE [SHOTS-DIR]
set -u
EXE=$1
NATIVE=$2
RUN_WINE=$3
SHOTS=${4:-}
WORK=$(mktemp -d /tmp/harvio-wizard-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
zpath() { echo "Z:$1" | tr / '\\'; }

mkdir -p "$WORK/home" "$WORK/save"
shots=
[ -n "$SHOTS" ] && mkdir -p "$SHOTS" && shots="$(zpath "$SHOTS")\\"
"$RUN_WINE" "$EXE" "$(zpath "$WORK/home")\\" "$(zpath "$WORK/save")\\" $shots \
    >"$WORK/out" 2>/dev/null
status=$?
tr -d '\r' <"$WORK/out"
[ $status -eq 0 ] || fail "the dialogs test ended with $status"

cli() { "$NATIVE" --home "$WORK/home" "$@"; }
[ "$(cli list | wc -l)" -eq 7 ] || fail "7 tasks expected in the list"
field() { cli show "$1" | awk -F '\t' -v f="$2" '$1 == f { print $2 }'; }
[ "$(field 1 keyword)" = "red+sun" ] || fail "keyword of task 1"
[ "$(field 1 savePath)" = "$(zpath "$WORK/save")\\google red\\" ] || fail "save path of task 1"
[ "$(field 2 keyword)" = "green+tea" ] || fail "keyword of task 2"
cli show 2 | grep -q "green+tea" || fail "start URL of task 2"
[ "$(field 3 classifyByTitle)" = "1" ] || fail "classify of task 3"
[ "$(field 4 threadCount)" = "22" ] || fail "thread count of task 4"
[ "$(cli show 5 | grep -c '^PIC')" -eq 5 ] || fail "PIC queue of task 5"
cli show 5 | grep -q "p08.jpg" || fail "fixed width in task 5"
[ "$(field 6 gif)" = "1" ] && [ "$(field 6 jpgLarge)" = "0" ] || fail "formats of task 6"
[ "$(cli show 7 | grep -c '^WEB2')" -eq 1 ] || fail "WEB2 queue of task 7"
echo ok
