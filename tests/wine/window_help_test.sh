#!/bin/sh
# Help without an HTML engine (Wine has none offline): F1 and 帮助 >
# 软件简介 open the guide's pages, help\index.html beside harvio.exe, in the
# desktop's browser, which a stand-in xdg-open records here. A second start
# through tools/run-wine while the window is open hands over to it and
# returns at once. Drives harvio.exe with xdotool on run-wine's display;
# the window stands at its default place (no Option.ini), so its first row
# is at a known point.
#
# Usage: window_help_test.sh NATIVE-CLI WIN-BUILD RUN-WINE
set -u
CLI=$1
WIN=$2
RUN_WINE=$3
. "$(dirname "$0")/../fixture.sh"
make_work help
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

# Waits up to 30 s until the browser was asked $1 times for the guide.
opened() {
  i=0
  while [ $i -lt 60 ]; do
    [ "$(grep -cx "file://$HOME_DIR/help/index.html" "$WORK/opened" 2>/dev/null)" = "$1" ] &&
      return 0
    sleep 0.5
    i=$((i + 1))
  done
  return 1
}

mkdir -p "$HOME_DIR" "$WORK/bin"
cp -r "$WIN/ui/harvio.exe" "$WIN/ui/Introduction.chm" "$WIN/ui/help" "$HOME_DIR/" ||
  fail "no harvio.exe or help pages"
printf '#!/bin/sh\necho "$@" >>"%s"\n' "$WORK/opened" >"$WORK/bin/xdg-open"
chmod +x "$WORK/bin/xdg-open"
PATH=$WORK/bin:$PATH
export PATH
"$CLI" --home "$HOME_DIR" new --source 161 --url 'http://site.test/(*).jpg' --from 1 --to 2 \
  --save 'Z:\tmp\harvio-help\' >/dev/null || fail "new task"

"$RUN_WINE" "$HOME_DIR/harvio.exe" >/dev/null 2>&1 &
RUN_PID=$!
window Harvio >/dev/null || fail "no main window"
sleep 1
# The first row of a 665 by 425 window placed at 40% of a 1024 by 768 screen.
x mousemove 300 250 click 1
x key F1
opened 1 || fail "F1 did not open help\\index.html: $(cat "$WORK/opened" 2>/dev/null)"
x key alt+h h
opened 2 || fail "软件简介 did not open help\\index.html: $(cat "$WORK/opened" 2>/dev/null)"

start=$(date +%s)
timeout 60 "$RUN_WINE" "$HOME_DIR/harvio.exe" >/dev/null 2>&1 || fail "the second start failed"
[ $(($(date +%s) - start)) -lt 30 ] || fail "the second start waited for the first window"
kill -0 $RUN_PID 2>/dev/null || fail "the first harvio.exe ended"

# Closing asks every window of the program to close, the main one included.
"$RUN_WINE" --side-of "$HOME_DIR/harvio.exe" --env wine taskkill /im harvio.exe \
  >/dev/null 2>&1
i=0
while kill -0 $RUN_PID 2>/dev/null && [ $i -lt 120 ]; do sleep 0.5; i=$((i + 1)); done
kill -0 $RUN_PID 2>/dev/null && fail "harvio.exe did not end"
echo ok
