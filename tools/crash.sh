#!/usr/bin/env bash
# Crash test: one custom task (25 workers) of COUNT pictures of 20-200 KiB,
# served slowly enough (80 KB/s per connection) that the run lasts a while,
# is killed with SIGKILL at random moments KILLS times and then run to its
# end. The task fetches the pictures directly (161), or with --pages P
# finds them on P pages (162), so that pictures are queued after the task
# file was last written. Prints what the crashes cost:
#   pictures re-fetched  pictures saved twice (finished before a kill, but
#                        fetched again after it), also in seconds of progress
#   pictures counted     the task's count against the files on disk
#   partial files left   "*.!" files still on disk after the last run
#   pictures missing     pictures of the list not saved whole
#
#   tools/crash.sh [--count N] [--kills K] [--seed S] [--pages P] [BUILD_DIR]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
count=300
kills=5
seed=$$
pages=0
build="$root/build"
while [[ $# -gt 0 ]]; do
  case "$1" in
    --count) count=$2; shift ;;
    --kills) kills=$2; shift ;;
    --seed) seed=$2; shift ;;
    --pages) pages=$2; shift ;;
    *) build=$1 ;;
  esac
  shift
done
RANDOM=$seed

cmake --build "$build" --target harvio-cli fixture_server bench_task -j2 >/dev/null
cli="$build/cli/harvio-cli"

# shellcheck source=tools/bench_server.sh
. "$root/tools/bench_server.sh"
make_work crash

# The same bodies twice: slowly for the task, at once (Host fast.test) for
# the checksums of what every picture must be.
cat >"$work/script" <<'EOF'
route fast.test /crash/*
header Content-Type: image/jpeg
generated 20480 204800
route * /crash/*
header Content-Type: image/jpeg
generated 20480 204800
drip 4096 50
route * /pages/*
files pages
EOF
start_server "$work/script"

for i in $(seq 1 "$count"); do echo "http://crash.test/crash/$i.jpg"; done >"$work/urls"
for i in $(seq 1 "$count"); do
  curl -s -H 'Host: fast.test' "http://127.0.0.1:$port/crash/$i.jpg" | md5sum | cut -d' ' -f1
done | sort >"$work/expected"

home="$work/home"
save="$work/save"
mkdir -p "$home" "$save"
if (( pages > 0 )); then
  mkdir -p "$work/pages"
  for p in $(seq 1 "$pages"); do
    {
      printf '<!-- %1024s -->\n' ''  # a page is never shorter than 1024 bytes
      for i in $(seq "$p" "$pages" "$count"); do
        echo "<img src=\"http://crash.test/crash/$i.jpg\">"
      done
    } >"$work/pages/$p.html"
  done
  "$cli" --home "$home" new --source 162 --url "http://crash.test/pages/(*).html" \
    --from 1 --to "$pages" --formats jpg-large,jpg-small,gif --threads 25 --save "$save" >/dev/null
else
  "$build/tools/bench_task" "$home" "$save" "$work/urls"
fi
export HARVIO_CONNECT_TO="crash.test:80:127.0.0.1:$port"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
ran_ms=0
finished=0
killed=0
for k in $(seq 1 "$kills"); do
  start=$(now_ms)
  "$cli" --home "$home" run >"$work/run$k.log" 2>&1 &
  pid=$!
  delay_ms=$(( 1000 + RANDOM % 4000 ))
  sleep "$(awk -v ms="$delay_ms" 'BEGIN { printf "%.3f", ms / 1000 }')"
  if kill -9 "$pid" 2>/dev/null; then
    wait "$pid" 2>/dev/null || true
    killed=$k
    ran_ms=$(( ran_ms + $(now_ms) - start ))
    saved=$(find "$save" -type f ! -name '*.!' | wc -l)
    partial=$(find "$save" -name '*.!' | wc -l)
    echo "kill $k after ${delay_ms} ms: $saved files saved, $partial partial files on disk"
  else
    wait "$pid" || true
    finished=1
    break
  fi
done
if [[ $finished == 0 ]]; then
  start=$(now_ms)
  "$cli" --home "$home" run >"$work/final.log" 2>&1 || true
  ran_ms=$(( ran_ms + $(now_ms) - start ))
fi

files=$(find "$save" -type f ! -name '*.!' | wc -l)
partials=$(find "$save" -name '*.!' | wc -l)
find "$save" -type f ! -name '*.!' -exec md5sum {} + | cut -d' ' -f1 | sort >"$work/got"
distinct_good=$(sort -u "$work/got" | comm -12 - <(sort -u "$work/expected") | wc -l)
refetched=$(( files - $(sort -u "$work/got" | wc -l) ))
missing=$(( count - distinct_good ))
counted=$("$cli" --home "$home" list | tail -n +2 | cut -f3)
awk -v n="$count" -v f="$files" -v r="$refetched" -v p="$partials" -v m="$missing" \
    -v ms="$ran_ms" -v k="$killed" -v c="$counted" 'BEGIN {
  rate = n / (ms / 1000)
  printf "%d pictures, %d kills, %.1f s of running, %.1f pictures/s\n", n, k, ms / 1000, rate
  printf "pictures re-fetched: %d (%.2f s of progress in all, %.2f s per kill)\n", r, r / rate, r / rate / k
  printf "pictures counted:    %d for %d files\n", c, f
  printf "partial files left:  %d\n", p
  printf "pictures missing:    %d\n", m
}'
