#!/bin/sh
# harvio-cli catalog/new/list/show/delete on a fresh home folder, as a new
# user would run them. Usage: cli_tasks_test.sh PATH/TO/harvio-cli
set -u
CLI=$1
HOME_DIR=$(mktemp -d /tmp/harvio-cli-XXXXXX)
trap 'rm -rf "$HOME_DIR"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
run() { "$CLI" --home "$HOME_DIR" "$@"; }

run catalog | grep -q '^      美眉集中营  \[45\]$' || fail "catalog line of 45"
[ "$(run catalog | grep -c '\[')" -eq 108 ] || fail "108 sources"

run new --source 1 --keyword 'red  sun' --option 1 >/dev/null || fail "new 1"
run new --source 1 --keyword 'red sun' 2>"$HOME_DIR/err" && fail "duplicate"
grep -q '相同的任务已经存在。' "$HOME_DIR/err" || fail "duplicate message"
run new --source 45 --classify --threads 20 >/dev/null || fail "new 45"
run new --source 161 2>"$HOME_DIR/err" && fail "empty list"
grep -q 'URL 队列为空，请添加 URL。' "$HOME_DIR/err" || fail "empty list message"
run new --source 162 --url 'http://a.com/p(*).jpg' --from 12 --to 8 --fixed \
  --formats jpg-small,gif --save "$HOME_DIR/pics" >/dev/null || fail "new 162"
run new --source 163 --url 'http://a.com/' --save 'Q:\x' 2>"$HOME_DIR/err" \
  && fail "drive Q"
grep -q '路径无效，请重新输入。' "$HOME_DIR/err" || fail "path message"

LIST=$(run list)
[ "$(echo "$LIST" | wc -l)" -eq 4 ] || fail "three tasks and a header"
# printf, not echo: dash's echo would read the path's "\r" as an escape.
printf '%s\n' "$LIST" | sed -n 2p | grep -q \
  '^1	新建	0	1	0	0	0/0/0/15	00:00:00	.*\\red sun\\	Harvio->搜索引擎->Google Image(中英文)	{' \
  || fail "row of task 1"
echo "$LIST" | sed -n 3p | grep -q '0/0/0/20' || fail "20 threads"

SHOW=$(run show 1)
echo "$SHOW" | grep -q '^keyword	red+sun$' || fail "keyword"
echo "$SHOW" | grep -q \
  '^WEB2	waiting	http://images.google.com/images?q=red+sun&ie=utf-8&imgsz=xxlarge	' \
  || fail "start URL"
SHOW=$(run show 3)
echo "$SHOW" | grep -q '^jpgSmall	1$' || fail "formats"
[ "$(echo "$SHOW" | grep -c '^WEB1	waiting	http://a.com/p[01][0-9].jpg')" -eq 5 ] \
  || fail "five numbered pages"
echo "$SHOW" | grep '^WEB1' | head -1 | grep -q 'p12.jpg' || fail "order"
run show 4 2>/dev/null && fail "no task 4"

run delete 2 || fail "delete"
[ "$(run list | wc -l)" -eq 3 ] || fail "two tasks left"
run show 2 | grep -q '^sourceId	162$' || fail "162 moved up"
[ "$(ls "$HOME_DIR/Task" | wc -l)" -eq 3 ] || fail "list and two task files"
echo "ok"
