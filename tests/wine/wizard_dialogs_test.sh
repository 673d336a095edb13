#!/bin/sh
# The wizard's dialogs of harvio.exe (copied into a fresh home) driven under
# Wine by the scenarios tests/data/wine/wizard.steps and demo.steps; the task
# files they leave are then read by the native harvio-cli.
#   harvio: one task of each kind made and edited in the properties sheet;
#           one of them runs against the fixture server
#   demo:   a task of every kind made in the wizard and run there against
#           the demo site (tools/demo.sh) to its end, the gallery (PNG and
#           WebP too) and thumbnail tasks over https (SChannel and the demo
#           CA)
#
# Usage: wizard_dialogs_test.sh harvio DRIVER-EXE NATIVE-CLI RUN-WINE HARVIO-EXE FIXTURE-SERVER
#        wizard_dialogs_test.sh demo DRIVER-EXE NATIVE-CLI RUN-WINE HARVIO-EXE NATIVE-BUILD
set -u
MODE=$1
EXE=$2
NATIVE=$3
RUN_WINE=$4
. "$(dirname "$0")/../fixture.sh"
make_work wizard

mkdir -p "$WORK/home" "$WORK/save"
cli() { "$NATIVE" --home "$WORK/home" "$@"; }
cp "$5" "$WORK/home/" || fail "no harvio.exe"
if [ "$MODE" = demo ]; then
  "$(dirname "$0")/../../tools/demo.sh" serve "$6" -- "$RUN_WINE" "$EXE" \
    "$(zpath "$WORK/home/harvio.exe")" demo "SAVE=$(zpath "$WORK/save")\\" >"$WORK/out" 2>/dev/null
  status=$?
  [ $status -eq 0 ] || { tr -d '\r' <"$WORK/out"; fail "the demo run ended with $status"; }
  # Every task Done with a file per picture; the demo's own three tasks
  # with the demo site's numbers of pictures.
  n=0
  for task in sogou:10 tianya:7 gallery:9 tieba:- direct:5 thumbs:-; do
    n=$((n + 1))
    row=$(cli list | sed -n "$((n + 1))p")
    state=$(echo "$row" | cut -f2)
    count=$(echo "$row" | cut -f3)
    files=$(find "$WORK/save/${task%:*}" -type f ! -name '*.!' | wc -l)
    [ "$state" = "完成" ] && [ "$count" -gt 0 ] && [ "$files" -eq "$count" ] ||
      fail "demo task $n (${task%:*}, $files files): $row"
    [ "${task#*:}" = - ] || [ "$count" = "${task#*:}" ] || fail "demo task $n: $row"
  done
  cli show 4 | grep -q "^keyword	demo$" || fail "tieba keyword: $(cli show 4 | grep keyword)"
  echo ok
  exit 0
fi
# Slow pictures (20 s each) keep the started task's workers busy while its
# thread count changes.
printf 'route * /slow/*\nheader Content-Type: image/jpeg\ngenerated 200000 200000\ndrip 1024 100\n' \
  >"$WORK/script"
start_server "$6" 280
# Every other host leads nowhere: the search task started when the running
# one ends is paused at once, and no test reaches beyond loopback.
HARVIO_CONNECT_TO="$HARVIO_CONNECT_TO,::nonexistent.invalid:80"
"$RUN_WINE" "$EXE" "$(zpath "$WORK/home/harvio.exe")" wizard "SAVE=$(zpath "$WORK/save")\\" \
  >"$WORK/out" 2>/dev/null
status=$?
[ $status -eq 0 ] || { tr -d '\r' <"$WORK/out"; fail "the dialogs test ended with $status"; }

field() { cli show "$1" | awk -F '\t' -v f="$2" '$1 == f { print $2 }'; }
[ "$(cli list | tail -n +2 | wc -l)" -eq 7 ] || fail "7 tasks expected: $(cli list)"
[ "$(field 1 keyword)" = "red+sun" ] || fail "keyword of task 1"
[ "$(field 1 sizeOption)" = "1" ] || fail "option of task 1"
[ "$(field 1 threadCount)" = "15" ] || fail "thread count of task 1"
[ "$(field 1 savePath)" = "$(zpath "$WORK/save")\\google red\\" ] || fail "save path of task 1"
[ "$(field 2 keyword)" = "green+tea" ] || fail "keyword of task 2"
cli show 2 | grep -q "^WEB2.*q=green+tea" || fail "start URL of task 2"
[ "$(field 3 keyword)" = "redsun" ] || fail "keyword of task 3"
[ "$(field 3 classifyByTitle)" = "1" ] || fail "classify of task 3"
[ "$(field 4 sourceId)" = "45" ] || fail "board task 4"
[ "$(cli show 5 | grep -c '^PIC')" -eq 5 ] || fail "PIC queue of task 5"
cli show 5 | grep -q "site.test/slow/p08.jpg" || fail "fixed width in task 5"
[ "$(field 6 gif)" = "1" ] && [ "$(field 6 webp)" = "1" ] && [ "$(field 6 png)" = "0" ] &&
  [ "$(field 6 jpgLarge)" = "0" ] || fail "formats of task 6"
[ "$(cli show 6 | grep -c '^WEB1')" -eq 1 ] || fail "WEB1 queue of task 6"
[ "$(cli show 7 | grep -c '^WEB2')" -eq 1 ] || fail "WEB2 queue of task 7"
[ "$(field 5 threadCount)" = "20" ] || fail "thread count of the running task 5"
[ "$(field 5 pictureCount)" = "5" ] || fail "pictures of task 5: $(field 5 pictureCount)"
[ "$(field 5 notes)" = "when done" ] || fail "notes of the done task 5: $(field 5 notes)"
[ "$(ls "$WORK/save/direct" | grep -c '\.jpg$')" -eq 5 ] || fail "picture files of task 5"
echo ok
