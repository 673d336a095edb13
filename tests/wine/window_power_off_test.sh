#!/bin/sh
# Power-off when every task is done: with "完成后关机" set, the last task's
# end opens the 30-second countdown, and when it runs out the program saves
# its tasks and Option.ini before it asks the system to power off (under
# Wine that ends every program of the prefix, the driver included). So
# afterwards harvio.exe has ended, its task is stored Done and Option.ini
# exists, though the home folder had none.
#   cancel: the countdown's Cancel keeps the system, and the program, running
#   run:    the countdown runs out
#
# Usage: window_power_off_test.sh cancel|run NATIVE-CLI FIXTURE-SERVER WIN-BUILD RUN-WINE
set -u
MODE=$1
CLI=$2
SERVER=$3
WIN=$4
RUN_WINE=$5
. "$(dirname "$0")/../fixture.sh"
make_work poweroff
HOME_DIR=$WORK/home

mkdir -p "$HOME_DIR"
cp "$WIN/ui/harvio.exe" "$HOME_DIR/" || fail "no harvio.exe"
cat >"$WORK/script" <<'EOS'
route * /quick/*
header Content-Type: image/jpeg
generated 17000 30000
EOS
start_server "$SERVER" 170

"$CLI" --home "$HOME_DIR" new --source 161 --url 'http://site.test/quick/(*).jpg' --from 1 \
  --to 3 --save "$(zpath "$WORK/pictures")" >/dev/null || fail "new task"

"$RUN_WINE" "$WIN/tests/wine/wine_ui_test.exe" "$(zpath "$HOME_DIR/harvio.exe")" "power-$MODE" \
  >"$WORK/drive.out" 2>&1
if [ "$MODE" = cancel ]; then
  grep -q '^ok' "$WORK/drive.out" || fail "$(cat "$WORK/drive.out")"
  echo ok
  exit 0
fi
# The power-off ended Wine's own services too: the next program gets a
# fresh Wine session.
"$RUN_WINE" --side-of "$WIN/ui/harvio.exe" --stop
[ -f "$HOME_DIR/Option.ini" ] || fail "Option.ini was not written before the power-off"
grep -q '^TLHeight=105' "$HOME_DIR/Option.ini" || fail "Option.ini: $(cat "$HOME_DIR/Option.ini")"
"$CLI" --home "$HOME_DIR" list | grep -q '	完成	3	' || fail "task not stored done: $("$CLI" --home "$HOME_DIR" list)"
[ "$(find "$WORK/pictures" -type f | wc -l)" -eq 3 ] || fail "three pictures"
echo ok
