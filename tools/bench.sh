#!/usr/bin/env bash
# Download benchmark: the fixture server serves COUNT pictures of 20-200 KiB
# on loopback; one custom task (161) with 25 workers fetches them all with
# harvio-cli, and, on the same URL list, aria2c -j 25 and wget (when
# installed; --install fetches them with apt-get). For each: pictures/s,
# MB/s, CPU seconds per 100 MB and peak memory, from /usr/bin/time -v.
#
#   tools/bench.sh [--install] [--count N] [BUILD_DIR]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
count=2000
install=0
build="$root/build-bench"
while [[ $# -gt 0 ]]; do
  case "$1" in
    --install) install=1 ;;
    --count) count=$2; shift ;;
    *) build=$1 ;;
  esac
  shift
done

if [[ $install == 1 ]]; then
  apt-get install -y aria2 wget time >/dev/null
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target harvio-cli fixture_server bench_task -j2 >/dev/null
cli="$build/cli/harvio-cli"

work=$(mktemp -d /tmp/harvio-bench-XXXXXX)
server_pid=
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/script" <<'EOF'
route * /bench/*
header Content-Type: image/jpeg
generated 20480 204800
EOF
"$build/tools/fixture_server" "$work/script" --max-seconds 1800 >"$work/port" &
server_pid=$!
for _ in $(seq 50); do [[ -s $work/port ]] && break; sleep 0.1; done
port=$(awk '{print $2}' "$work/port")

for i in $(seq 1 "$count"); do echo "http://bench.test/bench/$i.jpg"; done >"$work/urls"
# The same pictures for the other programs, by address.
sed "s|http://bench.test/|http://127.0.0.1:$port/|" "$work/urls" >"$work/local-urls"

# Prints one result line from a /usr/bin/time -v log and a download folder.
report() {
  local name=$1 log=$2 dir=$3
  local files bytes wall cpu rss
  files=$(find "$dir" -type f ! -name '*.!' | wc -l)
  bytes=$(find "$dir" -type f ! -name '*.!' -printf '%s\n' | awk '{s+=$1} END {print s+0}')
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,t,":"); s=0; for(i=1;i<=n;i++) s=s*60+t[i]; print s}' "$log")
  cpu=$(awk -F': ' '/User time|System time/ {s+=$2} END {print s}' "$log")
  rss=$(awk -F': ' '/Maximum resident/ {print $2}' "$log")
  awk -v n="$name" -v f="$files" -v b="$bytes" -v w="$wall" -v c="$cpu" -v r="$rss" 'BEGIN {
    mb = b / 1048576
    printf "%-8s %5d pictures %8.1f MB %7.2f s  %8.1f pictures/s %7.2f MB/s %6.2f CPU s/100MB  peak %6.1f MB\n",
      n, f, mb, w, f / w, mb / w, (mb > 0 ? c * 100 / mb : 0), r / 1024 }'
}

# Harvio: a 161 task of 25 workers over the URL list.
home="$work/home"
mkdir -p "$home" "$work/harvio"
"$build/tools/bench_task" "$home" "$work/harvio" "$work/urls"
HARVIO_CONNECT_TO="bench.test:80:127.0.0.1:$port" \
  /usr/bin/time -v -o "$work/harvio.time" "$cli" --home "$home" run >"$work/harvio.log"
report harvio "$work/harvio.time" "$work/harvio"

if command -v aria2c >/dev/null; then
  mkdir -p "$work/aria2c"
  /usr/bin/time -v -o "$work/aria2c.time" aria2c -q -j 25 -x 1 \
    --auto-file-renaming=false --allow-overwrite=true \
    -d "$work/aria2c" -i "$work/local-urls" >/dev/null
  report aria2c "$work/aria2c.time" "$work/aria2c"
else
  echo "aria2c   not installed (tools/bench.sh --install)"
fi

if command -v wget >/dev/null; then
  mkdir -p "$work/wget"
  /usr/bin/time -v -o "$work/wget.time" wget -q -P "$work/wget" \
    -i "$work/local-urls" || true
  report wget "$work/wget.time" "$work/wget"
fi
