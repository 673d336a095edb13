#!/bin/sh
# End to end: the three custom sources created with harvio-cli new and run
# with harvio-cli run against the fixture server, then a run interrupted in
# mid-picture that resumes with a Range after a restart.
#
# Usage: cli_run_test.sh HARVIO-CLI FIXTURE_SERVER [RUNNER]
# With RUNNER (tools/run-wine), HARVIO-CLI is the Windows program and every
# path handed to it is given in its Z: form.
set -u
CLI=$1
SERVER=$2
RUNNER=${3:-}
. "$(dirname "$0")/../fixture.sh"
make_work run

HOME_ARG=$(prog_path "$WORK/home")
cli() { $RUNNER "$CLI" --home "$HOME_ARG" "$@"; }

mkdir -p "$WORK/home"
cat >"$WORK/script" <<'EOF'
route * /pics/*
header Content-Type: image/jpeg
generated 3000 50000
route * /page162.html
header Content-Type: text/html
length none
body <html><img src="/img162/1.jpg">\r\n<img\r\n src='/img162/2.jpg'>\t<IMG SRC="img162/3.jpg"></html>
route * /img162/*
header Content-Type: image/jpeg
generated 20000 30000
route * /page163.html
header Content-Type: text/html
length none
body <a href="/big/1.jpg"><img src="/thumb/1.gif"></a><a href="/big/2.jpg"><img src="/thumb/2.gif"></a><a href="/big/3.jpg"><img src="/thumb/3.gif"></a><a href="/about.html">about</a>
route * /big/*
header Content-Type: image/jpeg
generated 17000 60000
route * /slow.jpg
header Content-Type: image/jpeg
body-file SLOW
drip 4096 100
times 1
route * /slow.jpg
header Content-Type: image/jpeg
body-file SLOW
range honour
EOF
head -c 300000 /dev/urandom >"$WORK/slow.jpg"
sed -i "s|SLOW|$WORK/slow.jpg|" "$WORK/script"

start_server "$SERVER" 300 --requests "$WORK/requests"

cli new --source 161 --url 'http://site.test/pics/p(*).jpg' --from 1 --to 30 \
  --save "$(prog_path "$WORK/s161")" >/dev/null || fail "new 161"
cli new --source 162 --url 'http://site.test/page162.html' \
  --save "$(prog_path "$WORK/s162")" >/dev/null || fail "new 162"
cli new --source 163 --url 'http://site.test/page163.html' \
  --save "$(prog_path "$WORK/s163")" >/dev/null || fail "new 163"

# Option.ini values are clamped into their ranges; --option overrides them.
printf '[General]\r\nRetryWait=7\r\n[Connect]\r\nconntimeout=5\r\nDataTimeout=500\r\nRetryWait=x\r\n' \
  >"$WORK/home/Option.ini"
cli run --option RetryWait=3 --option PICRetryTimes=0 >"$WORK/run1.log" 2>&1 ||
  fail "run"
grep -q '^options: ConnTimeout=10 DataTimeout=90 RetryWait=3 WEB2RetryTimes=10 WEB1RetryTimes=5 PICRetryTimes=1 MaxPictureKB=1024[^0-9]*$' \
  "$WORK/run1.log" || fail "options: $(head -1 "$WORK/run1.log")"
grep -q 'KB/s' "$WORK/run1.log" || fail "no progress line"

[ "$(cli list | grep -c '	完成	')" -eq 3 ] || fail "three tasks done: $(cli list)"

# count DIR MIN MAX: files of DIR, each MIN..MAX bytes, none partial.
count() {
  [ -z "$(find "$1" -name '*.!')" ] || fail "partial file left in $1"
  find "$1" -type f -size -"$2"c | grep -q . && fail "short file in $1"
  find "$1" -type f -size +"$3"c | grep -q . && fail "long file in $1"
  find "$1" -type f | wc -l
}
[ "$(count "$WORK/s161" 3000 50000)" -eq 30 ] || fail "30 pictures of 161"
[ "$(count "$WORK/s162" 20000 30000)" -eq 3 ] || fail "3 pictures of 162"
[ "$(count "$WORK/s163" 17000 60000)" -eq 3 ] || fail "3 pictures of 163"

if [ -n "$RUNNER" ]; then
  # Ctrl-C cannot be sent to a program under Wine from here.
  stop_server
  grep -q '^GET /thumb/' "$WORK/requests" && fail "thumbnail fetched"
  echo "ok"
  exit 0
fi

# Interrupted in mid-picture, the task is saved paused with its partial
# file, and the next run resumes it with a Range.
cli new --source 161 --url 'http://site.test/slow.jpg' \
  --save "$WORK/slow" >/dev/null || fail "new slow"
"$CLI" --home "$HOME_ARG" run 4 --threads-of 4 >"$WORK/run2.log" 2>&1 &
RUN_PID=$!
# The body drips for about 7 s; interrupt once a good part has arrived.
i=0
while [ -z "$(find "$WORK/slow" -name '*.!' 2>/dev/null)" ] && [ $i -lt 100 ]; do
  sleep 0.1
  i=$((i + 1))
done
sleep 1
kill -INT $RUN_PID
wait $RUN_PID || fail "interrupted run failed"
grep -q 'interrupted' "$WORK/run2.log" || fail "no interrupt note"
# The thread list: the receiving worker with its size, URL and file.
grep -q '^  接收数据	PIC	292.97KB	.*%	0	site.test/slow.jpg	{' "$WORK/run2.log" ||
  fail "no receiving thread row"
[ "$(grep -c '^  空闲	NULL	' "$WORK/run2.log")" -ge 14 ] || fail "idle thread rows"
cli list | sed -n 5p | grep -q '	暂停	' || fail "slow task paused: $(cli list)"
[ -n "$(find "$WORK/slow" -name '*.!')" ] || fail "partial file kept"
cli run 4 >"$WORK/run3.log" 2>&1 || fail "resumed run"
cli list | sed -n 5p | grep -q '	完成	' || fail "slow task done"
cmp -s "$WORK/slow.jpg" "$(find "$WORK/slow" -type f -name '*.jpg')" ||
  fail "resumed picture differs"
stop_server
grep -q '^GET /thumb/' "$WORK/requests" && fail "thumbnail fetched"
grep -q 'Range: bytes=[1-9][0-9]*-' "$WORK/requests" || fail "no Range request"

# A run ends right after its last task stops, not a tick or two later.
cli new --source 161 --url 'http://site.test/pics/q(*).jpg' --from 1 --to 3 \
  --save "$WORK/quick" >/dev/null || fail "new quick"
start_server "$SERVER" 60
start=$(date +%s%N)
cli run 5 >"$WORK/run4.log" 2>&1 || fail "quick run"
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$(find "$WORK/quick" -name "*.jpg" | wc -l)" -eq 3 ] || fail "3 quick pictures"
[ "$elapsed_ms" -lt 1800 ] || fail "quick run took $elapsed_ms ms"
stop_server

# A task paused by a failure: the message, then a non-zero exit.
cli new --source 162 --url 'http://nonexistent.invalid/p.html' \
  --save "$WORK/unreachable" >/dev/null || fail "new unreachable"
cli run 6 >"$WORK/run5.log" 2>&1
[ $? -eq 3 ] || fail "failed task gives exit 3"
grep -q '^task 6: 无法访问网络，任务自动暂停。' "$WORK/run5.log" || fail "no failure message"

# A task list that cannot be written: reported, exit 4, old list intact.
cp "$WORK/home/Task/List" "$WORK/List.before"
mkdir "$WORK/home/Task/List.tmp"
cli run 1 >"$WORK/run6.log" 2>&1
[ $? -eq 4 ] || fail "unsaved list gives exit 4"
grep -q '无法保存任务列表' "$WORK/run6.log" || fail "no save failure message"
cmp -s "$WORK/List.before" "$WORK/home/Task/List" || fail "list changed"
echo "ok"
