#!/bin/sh
# End to end: a folder of JPEGs shared with python3 -m http.server, whose
# answers name their fields "Content-type:", given to a 162 task as its
# index page (the folder listing): every picture is saved, byte for byte.
#
# Usage: folder_server_test.sh HARVIO-CLI
set -u
CLI=$1
. "$(dirname "$0")/../fixture.sh"
make_work folder
trap 'kill "$HTTP_PID" 2>/dev/null; wait "$HTTP_PID" 2>/dev/null; remove_work' EXIT
HTTP_PID=

mkdir -p "$WORK/site" "$WORK/home"
# Enough names for a listing of more than 1 KiB, the shortest page taken.
head -c 480000 /dev/urandom | (cd "$WORK/site" && split -b 24000 -d --additional-suffix=.jpg - picture-)
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$WORK/site" \
  >"$WORK/http.log" 2>&1 &
HTTP_PID=$!
i=0
PORT=
while [ -z "$PORT" ] && [ $i -lt 50 ]; do
  sleep 0.1
  PORT=$(sed -n 's/^Serving HTTP on .* port \([0-9]*\).*/\1/p' "$WORK/http.log")
  i=$((i + 1))
done
[ -n "$PORT" ] || fail "http.server did not start"
export HARVIO_CONNECT_TO="files.test:80:127.0.0.1:$PORT"

cli() { "$CLI" --home "$WORK/home" "$@"; }
cli new --source 162 --url 'http://files.test/' --save "$WORK/saved" >/dev/null ||
  fail "new 162"
cli run >"$WORK/run.log" 2>&1 || fail "run: $(cat "$WORK/run.log")"
cli list | grep -q '	完成	' || fail "task not done: $(cli list)"

[ -z "$(find "$WORK/saved" -name '*.!')" ] || fail "partial file left"
[ "$(find "$WORK/saved" -name '*.jpg' | wc -l)" -eq 20 ] ||
  fail "20 pictures: $(ls "$WORK/saved" | wc -l)"
sums() { (cd "$1" && cksum -- *.jpg | awk '{print $1, $2}' | sort); }
[ "$(sums "$WORK/site")" = "$(sums "$WORK/saved")" ] || fail "a picture not saved whole"
grep -c '"GET /picture-' "$WORK/http.log" | grep -qx 20 || fail "each picture once"
echo "ok"
