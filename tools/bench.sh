#!/usr/bin/env bash
# Download benchmarks on loopback, Harvio against aria2c -j 25 and wget
# (bench-only programs: --install fetches them with apt-get).
#
# Throughput: the fixture server serves COUNT pictures of 20-200 KiB; one
# custom task (161) with 25 workers fetches them all with harvio-cli, and
# the other programs the same URL list. For each: pictures/s, MB/s, CPU
# seconds per 100 MB and peak memory, from /usr/bin/time -v.
#
# https: the throughput run again over TLS, with a CA made for it
# (tools/test_certs.sh) that every program is told to trust.
#
# Latency: the server answers every request after 50 ms; the same three
# fetch LATENCY_COUNT small pictures. 25 connections at 50 ms each bound
# the rate at 25 / 0.05 s = 500 pictures/s; each program's rate is shown
# beside that bound, and Harvio is timed to its last picture and to its
# exit separately.
#
#   tools/bench.sh [--install] [--count N] [--latency-count N]
#                  [--only throughput|https|latency] [BUILD_DIR]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
count=2000
latency_count=1000
latency_ms=50
workers=25
only=
install=0
build="$root/build-bench"
while [[ $# -gt 0 ]]; do
  case "$1" in
    --install) install=1 ;;
    --count) count=$2; shift ;;
    --latency-count) latency_count=$2; shift ;;
    --only) only=$2; shift ;;
    *) build=$1 ;;
  esac
  shift
done

if [[ $install == 1 ]]; then
  apt-get install -y aria2 wget time >/dev/null
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  "${launcher[@]}" >/dev/null
cmake --build "$build" --target harvio-cli fixture_server bench_task -j2 >/dev/null
cli="$build/cli/harvio-cli"

# shellcheck source=tools/bench_server.sh
. "$root/tools/bench_server.sh"
make_work bench

# serve_pictures MIN MAX [SERVER OPTIONS...]: pictures of MIN..MAX bytes
# under /bench/ on a fresh server; sets $port.
serve_pictures() {
  local min=$1 max=$2
  shift 2
  printf 'route * /bench/*\nheader Content-Type: image/jpeg\ngenerated %s %s\n' \
    "$min" "$max" >"$work/script"
  start_server "$work/script" "$@"
}

# The scheme of the URLs, and the CA file the programs trust over https.
scheme=http
ca=

# write_urls N: the URL list for Harvio (by host) and for the others (by
# address).
write_urls() {
  for i in $(seq 1 "$1"); do echo "$scheme://bench.test/bench/$i.jpg"; done >"$work/urls"
  sed "s|$scheme://bench.test/|$scheme://127.0.0.1:$port/|" "$work/urls" >"$work/local-urls"
}

# Prints one result line from a /usr/bin/time -v log and a download folder.
report() {
  local name=$1 log=$2 dir=$3
  local files bytes wall cpu rss
  files=$(find "$dir" -type f ! -name '*.!' | wc -l)
  bytes=$(find "$dir" -type f ! -name '*.!' -printf '%s\n' | awk '{s+=$1} END {print s+0}')
  wall=$(wall_seconds "$log")
  cpu=$(awk -F': ' '/User time|System time/ {s+=$2} END {print s}' "$log")
  rss=$(awk -F': ' '/Maximum resident/ {print $2}' "$log")
  awk -v n="$name" -v f="$files" -v b="$bytes" -v w="$wall" -v c="$cpu" -v r="$rss" 'BEGIN {
    mb = b / 1048576
    printf "%-8s %5d pictures %8.1f MB %7.2f s  %8.1f pictures/s %7.2f MB/s %6.2f CPU s/100MB  peak %6.1f MB\n",
      n, f, mb, w, f / w, mb / w, (mb > 0 ? c * 100 / mb : 0), r / 1024 }'
}

wall_seconds() {
  awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,t,":"); s=0; for(i=1;i<=n;i++) s=s*60+t[i]; print s}' "$1"
}

# One result line of the latency run: pictures/s against the bound.
latency_report() {
  local name=$1 dir=$2 seconds=$3 extra=${4:-}
  local files
  files=$(find "$dir" -type f ! -name '*.!' | wc -l)
  awk -v n="$name" -v f="$files" -v s="$seconds" -v bound=$((workers * 1000 / latency_ms)) -v x="$extra" 'BEGIN {
    printf "%-8s %5d pictures %7.2f s  %7.1f pictures/s  bound %d/s: %5.1f%%%s\n",
      n, f, s, f / s, bound, 100 * f / s / bound, x }'
}

# run_harvio NAME: a 161 task of 25 workers over the URL list, timed; its
# pictures in $work/NAME.
run_harvio() {
  local name=$1 home="$work/$1-home"
  mkdir -p "$home" "$work/$name"
  "$build/tools/bench_task" "$home" "$work/$name" "$work/urls"
  date +%s.%N >"$work/$name.start"
  HARVIO_CONNECT_TO="bench.test:80:127.0.0.1:$port,bench.test:443:127.0.0.1:$port" \
    HARVIO_CA_FILE=$ca /usr/bin/time -v -o "$work/$name.time" "$cli" --home "$home" run >"$work/$name.log"
}

run_aria2c() {
  mkdir -p "$work/$1"
  /usr/bin/time -v -o "$work/$1.time" aria2c -q -j "$workers" -x 1 ${ca:+--ca-certificate="$ca"} \
    --auto-file-renaming=false --allow-overwrite=true \
    -d "$work/$1" -i "$work/local-urls" >/dev/null
}

run_wget() {
  mkdir -p "$work/$1"
  /usr/bin/time -v -o "$work/$1.time" wget -q ${ca:+--ca-certificate="$ca"} -P "$work/$1" \
    -i "$work/local-urls" || true
}

throughput() {
  echo "== throughput: $count pictures of 20-200 KiB"
  serve_pictures 20480 204800
  fetch_all ""
}

https() {
  echo "== https: $count pictures of 20-200 KiB over TLS"
  "$root/tools/test_certs.sh" "$work/certs" bench.test IP:127.0.0.1
  ca="$work/certs/ca.crt"
  scheme=https
  serve_pictures 20480 204800 --tls "$work/certs"
  fetch_all s
  scheme=http
  ca=
}

# fetch_all PREFIX: the three programs over the same pictures, one result
# line each; their files under $work/PREFIX<program>.
fetch_all() {
  local p=$1
  write_urls "$count"
  run_harvio "${p}harvio"
  report harvio "$work/${p}harvio.time" "$work/${p}harvio"
  if command -v aria2c >/dev/null; then
    run_aria2c "${p}aria2c"
    report aria2c "$work/${p}aria2c.time" "$work/${p}aria2c"
  else
    echo "aria2c   not installed (tools/bench.sh --install)"
  fi
  if command -v wget >/dev/null; then
    run_wget "${p}wget"
    report wget "$work/${p}wget.time" "$work/${p}wget"
  fi
}

latency() {
  echo "== latency: $latency_count pictures of 2-8 KiB, every answer after $latency_ms ms, $workers connections"
  serve_pictures 2048 8192 --delay "$latency_ms"
  write_urls "$latency_count"
  run_harvio lharvio
  # The last picture's time against the start; the exit comes after it.
  local start last exit
  start=$(cat "$work/lharvio.start")
  last=$(find "$work/lharvio" -type f ! -name '*.!' -printf '%T@\n' | sort -n | tail -1)
  exit=$(wall_seconds "$work/lharvio.time")
  latency_report harvio "$work/lharvio" "$(awk -v a="$start" -v b="$last" 'BEGIN {print b - a}')" \
    "  (to its exit: $exit s)"
  if command -v aria2c >/dev/null; then
    run_aria2c laria2c
    latency_report aria2c "$work/laria2c" "$(wall_seconds "$work/laria2c.time")"
  fi
  if command -v wget >/dev/null; then
    run_wget lwget
    latency_report wget "$work/lwget" "$(wall_seconds "$work/lwget.time")"
  fi
}

[[ -z $only || $only == throughput ]] && throughput
[[ -z $only || $only == https ]] && https
[[ -z $only || $only == latency ]] && latency
true
