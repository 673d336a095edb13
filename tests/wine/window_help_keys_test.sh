#!/bin/sh
# Keys typed into the help viewer stay there: the viewer is a window of the
# program's own thread, and a Delete pressed in it must not reach the main
# window's accelerators and delete the selected tasks. Drives harvio.exe
# with xdotool on a display of its own; the window stands at its default
# place (no Option.ini), so its first row is at a known point.
#
# Usage: window_help_keys_test.sh NATIVE-CLI WIN-BUILD RUN-WINE
set -u
CLI=$1
WIN=$2
RUN_WINE=$3
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" "$@"
fi
. "$(dirname "$0")/../fixture.sh"
make_work helpkeys
HOME_DIR=$WORK/home
x() { "$RUN_WINE" --side-of "$WIN/ui/harvio.exe" --env xdotool "$@"; }

# Waits up to 30 s for a shown window titled exactly $1; prints its id.
window() {
  i=0
  while [ $i -lt 60 ]; do
    id=$(x search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && echo "$id" && return 0
    sleep 0.5
    i=$((i + 1))
  done
  return 1
}

mkdir -p "$HOME_DIR"
cp "$WIN/ui/harvio.exe" "$WIN/ui/Introduction.chm" "$HOME_DIR/" || fail "no harvio.exe"
"$CLI" --home "$HOME_DIR" new --source 161 --url 'http://site.test/(*).jpg' --from 1 --to 2 \
  --save 'Z:\tmp\harvio-helpkeys\' >/dev/null || fail "new task"

"$RUN_WINE" "$HOME_DIR/harvio.exe" >/dev/null 2>&1 &
RUN_PID=$!
window Harvio >/dev/null || fail "no main window"
sleep 1
# The first row of a 665 by 425 window placed at 40% of a 1024 by 768 screen.
x mousemove 300 250 click 1
x key ctrl+a
sleep 0.5
x key F1
help=$(window 'Harvio 软件简介') || fail "no help viewer"
sleep 2
x windowfocus "$help"
sleep 0.5
x mousemove 700 600 click 1
sleep 0.5
x key Delete
sleep 1.5
# Closing asks every window of the program to close, the main one included.
"$RUN_WINE" --side-of "$HOME_DIR/harvio.exe" --env wine taskkill /im harvio.exe \
  >/dev/null 2>&1
i=0
while kill -0 $RUN_PID 2>/dev/null && [ $i -lt 120 ]; do sleep 0.5; i=$((i + 1)); done
kill -0 $RUN_PID 2>/dev/null && fail "harvio.exe did not end"
[ "$("$CLI" --home "$HOME_DIR" list | tail -n +2 | wc -l)" -eq 1 ] ||
  fail "a Delete in the help viewer deleted the task"
echo ok
