#!/bin/sh
# The main window as a user works it: harvio.exe is copied into a fresh home
# folder (it keeps Task\ and Option.ini beside itself), tasks are made there
# with the native harvio-cli, wine_ui_test.exe drives the window through the
# scenarios tests/data/wine/ui-*.steps, and the task files are checked with
# harvio-cli afterwards. Pictures come from the
# fixture server through HARVIO_CONNECT_TO; every wait is bounded.
#
# Usage: ui_main_window_test.sh SCENARIO NATIVE-CLI FIXTURE-SERVER WIN-BUILD RUN-WINE
set -u
SCENARIO=$1
CLI=$2
SERVER=$3
WIN=$4
RUN_WINE=$5
. "$(dirname "$0")/../fixture.sh"
make_work ui
HOME_DIR=$WORK/home

cli() { "$CLI" --home "$HOME_DIR" "$@"; }
# The rows as harvio-cli lists them, cut to the window's nine columns.
cli_rows() { cli list | tail -n +2 | cut -f2-10; }
# drive SCENARIO [NAME=VALUE...]: runs the driver on the home's harvio.exe;
# its output (CR LF dropped) is in $WORK/drive.txt.
drive() {
  "$RUN_WINE" "$WIN/tests/wine/wine_ui_test.exe" "$(zpath "$HOME_DIR/harvio.exe")" "$@" \
    >"$WORK/drive.out" 2>/dev/null
  status=$?
  tr -d '\r' <"$WORK/drive.out" >"$WORK/drive.txt"
  grep -q '^ok$' "$WORK/drive.txt" && [ $status -eq 0 ] && return 0
  cat "$WORK/drive.txt"
  fail "$SCENARIO: the window steps failed"
}
window_rows() { grep '^[0-9]' "$WORK/drive.txt" | cut -f2-10; }
# The save folder of task N, in the program's form, as the window shows it.
save() { printf '%s\\\n' "$(zpath "$WORK/s$1")"; }
new_task() { # N URL [more harvio-cli new options]
  n=$1 url=$2; shift 2
  cli new --source 161 --url "$url" --save "$(zpath "$WORK/s$n")" "$@" >/dev/null ||
    fail "new task $n"
}

mkdir -p "$HOME_DIR"
cp -r "$WIN/ui/harvio.exe" "$WIN/ui/ad" "$HOME_DIR/" || fail "no harvio.exe"
# Quick pictures and slow ones: a slow one keeps its worker receiving for
# about 20 seconds.
cat >"$WORK/script" <<'EOF'
route * /quick/*
header Content-Type: image/jpeg
generated 17000 30000
route * /slow/*
header Content-Type: image/jpeg
generated 200000 200000
drip 1024 100
EOF
start_server "$SERVER" 280

case "$SCENARIO" in
rows)
  # Tasks of three sources; one of them run to its end by harvio-cli.
  new_task 0 'http://site.test/quick/(*).jpg' --from 1 --to 4
  cli new --source 45 --classify --threads 20 --save "$(zpath "$WORK/s1")" >/dev/null ||
    fail "new 45"
  cli new --source 1 --keyword 风景 --option 1 --save "$(zpath "$WORK/s2")" >/dev/null ||
    fail "new 1"
  cli run 1 >/dev/null 2>&1 || fail "run task 1"
  cli_rows >"$WORK/cli.txt"
  grep -q '^完成	4	' "$WORK/cli.txt" || fail "task 1 did not finish: $(cat "$WORK/cli.txt")"
  drive ui-rows
  window_rows >"$WORK/window.txt"
  cmp -s "$WORK/cli.txt" "$WORK/window.txt" || {
    diff "$WORK/cli.txt" "$WORK/window.txt"
    fail "the window's rows differ from harvio-cli list"
  }
  grep 'column	' "$WORK/drive.txt" >"$WORK/columns.txt"
  cmp -s "$WORK/columns.txt" - <<'EOF' || fail "columns differ: $(cat "$WORK/columns.txt")"
task-column	0	任务状态	80	left
task-column	1	已下载	60	right
task-column	2	WEB2	60	right
task-column	3	WEB1	60	right
task-column	4	PIC	60	right
task-column	5	线程	60	right
task-column	6	用时	80	left
task-column	7	保存目录	280	left
task-column	8	类型信息	280	left
thread-column	0	线程状态	80	left
thread-column	1	类型	60	left
thread-column	2	大小	60	right
thread-column	3	完成数	60	right
thread-column	4	百分比	60	right
thread-column	5	重试	60	right
thread-column	6	URL	360	left
thread-column	7	文件名	280	left
EOF
  ;;
commands)
  for n in 0 1 2 3 4; do new_task $n "http://site.test/slow/$n-(*).jpg" --from 1 --to 30; done
  drive ui-commands "S1=$(save 1)" "S2=$(save 2)" "S3=$(save 3)"
  # Stored in the window's order, the deleted tasks' files gone.
  cli_rows >"$WORK/cli.txt"
  [ "$(cut -f8 "$WORK/cli.txt" | tr '\n' ' ')" = "$(save 2) $(save 3) $(save 1) " ] ||
    fail "task order after the moves: $(cat "$WORK/cli.txt")"
  [ "$(cut -f1 "$WORK/cli.txt" | tr '\n' ' ')" = "暂停 暂停 暂停 " ] ||
    fail "task states after the moves: $(cat "$WORK/cli.txt")"
  [ "$(ls "$HOME_DIR/Task" | grep -vc '^List$')" -eq 3 ] || fail "deleted task files left"
  # The task deleted while it ran leaves no partial picture behind.
  [ -z "$(find "$WORK/s0" -name '*.!' 2>/dev/null)" ] || fail "partial files of a deleted task left"
  [ -f "$HOME_DIR/Option.ini" ] || fail "no Option.ini after exit"
  ;;
threads)
  new_task 0 'http://site.test/slow/(*).jpg' --from 1 --to 40 --threads 6
  new_task 1 'http://site.test/quick/(*).jpg' --from 1 --to 2
  drive ui-threads
  grep -q '^[0-9]	接收数据	PIC	195.31KB	[0-9.]*KB	[0-9]*%	0	site.test/slow/[0-9]*.jpg	{' \
    "$WORK/drive.txt" || fail "no receiving thread row: $(cat "$WORK/drive.txt")"
  cli_rows | head -n 1 | grep -q '^暂停	' || fail "running task not stored paused: $(cli_rows)"
  [ -f "$HOME_DIR/Option.ini" ] || fail "no Option.ini after exit"
  ;;
options)
  # The options sheet's values and the grid lines reach Option.ini at exit
  # and come back at the next start; then its defaults.
  new_task 0 'http://site.test/quick/(*).jpg' --from 1 --to 2
  printf '[General]\r\nKeepWnd=1\r\nWorkPath=C:\\old\\\r\n[Connect]\r\nDataTimeout=50\r\nPICRetryTimes=9\r\nMaxPictureKB=2048\r\n' \
    >"$HOME_DIR/Option.ini"
  ini_has() { # KEY=VALUE...: each line in Option.ini
    for line in "$@"; do
      tr -d '\r' <"$HOME_DIR/Option.ini" | grep -qxF "$line" ||
        fail "no $line in Option.ini: $(cat "$HOME_DIR/Option.ini")"
    done
  }
  drive ui-options-typed
  ini_has 'WorkPath=C:\my pics\' KeepWnd=0 HideOnMin=1 ConnTimeout=45 DataTimeout=30 \
    RetryWait=7 PICRetryTimes=9 MaxPictureKB=4096 ShowGridLine=1
  drive ui-options-defaults
  ini_has 'WorkPath=C:\Download\' KeepWnd=1 HideOnMin=1 ConnTimeout=30 DataTimeout=30 \
    RetryWait=3 WEB2RetryTimes=10 WEB1RetryTimes=5 PICRetryTimes=3 MaxPictureKB=1024
  # A place off every monitor starts at the default place again; a broken
  # task list is rebuilt from the task files.
  placed=$(tr -d '\r' <"$HOME_DIR/Option.ini" | grep -E '^(XPos|YPos|Width|Height)=')
  sed -i 's/^XPos=[0-9-]*/XPos=3000/; s/^YPos=[0-9-]*/YPos=2000/' "$HOME_DIR/Option.ini"
  printf '\027\311' >"$HOME_DIR/Task/List"
  drive ui-options-rebuilt
  [ "$(tr -d '\r' <"$HOME_DIR/Option.ini" | grep -E '^(XPos|YPos|Width|Height)=')" = "$placed" ] ||
    fail "the window did not come back to its place: $(cat "$HOME_DIR/Option.ini")"
  ;;
tray)
  cli new --source 162 --url 'http://nonexistent.invalid/p.html' --save "$(zpath "$WORK/s0")" \
    >/dev/null || fail "new 162"
  drive ui-tray
  cli_rows | grep -q '^暂停	' || fail "task not stored paused: $(cli_rows)"
  ;;
*)
  fail "unknown scenario $SCENARIO"
  ;;
esac
echo ok
