#!/usr/bin/env bash
# Download benchmarks on loopback: Harvio against aria2c -j 25 and wget.
# Every program is timed to its exit, every file of every run is checked by
# its sha256 against the set, and every measurement is repeated --runs
# times (at least 5) with the programs interleaved (H A W H A W ...); the
# table gives medians with min-max and the ratios of each round's pair.
#
# Sets, served by nginx on a free loopback port (keep-alive for the peers;
# Harvio asks for "Connection: close" itself):
#   small  COUNT pictures of 20-200 KiB; also harvio-cli.exe under Wine
#          (to its exit) and harvio.exe under Wine (a task started from the
#          window, until its row reads 完成; then the time to close)
#   mid    the first MID_COUNT of them: short runs, where an exit tail shows
#   large  LARGE_COUNT pictures of 0.9-1 MiB, beside the line rate: curl
#          fetching them all over one kept-alive connection to /dev/null
#   three  the small set as three Harvio tasks of 25 workers at once, and
#          aria2c -j 75: peak memory under the heaviest load
#   https  the small set again, each program over http and over https in
#          the same rounds (rows PROGRAM and PROGRAM-tls): nginx with a
#          certificate of a CA made at run time (tools/test_certs.sh) that
#          every program is given (HARVIO_CA_FILE, --ca-certificate); the
#          cost of TLS as each round's CPU per picture over https / http
# latency: LATENCY_COUNT pictures of 2-8 KiB from the fixture server, which
#          holds every answer back 50 ms; 25 connections bound the rate at
#          500 pictures/s (wget, with one connection, is left out: 20/s).
#
# Harvio is the native harvio-cli of BUILD_DIR (default build/, built here
# if need be); the Wine rows use the Windows build that runs on this machine
# (build-win/, or build-win64/ where 32-bit programs cannot run; --win-build
# picks another). nginx-light, aria2, wget, curl and time are installed
# when missing.
#   tools/bench.sh [--runs N] [--count N] [--mid-count N] [--large-count N]
#                  [--latency-count N] [--only SET,SET...] [--no-wine]
#                  [--win-build DIR] [BUILD_DIR]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=5
count=2000
mid_count=500
large_count=200
latency_count=1000
latency_ms=50
workers=25
only=small,mid,large,three,https,latency
wine=1
win_build=
build="$root/build"
while [[ $# -gt 0 ]]; do
  case "$1" in
    --runs) runs=$2; shift ;;
    --count) count=$2; shift ;;
    --mid-count) mid_count=$2; shift ;;
    --large-count) large_count=$2; shift ;;
    --latency-count) latency_count=$2; shift ;;
    --only) only=$2; shift ;;
    --no-wine) wine=0 ;;
    --win-build) win_build=$2; shift ;;
    *) build=$1 ;;
  esac
  shift
done
[[ $runs -ge 5 ]] || echo "bench: fewer than 5 runs give no fair median" >&2
(( mid_count <= count )) || mid_count=$count

peers=(nginx-light aria2 wget curl time)
missing=()
for p in "${peers[@]}"; do
  [[ $(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null) == installed ]] || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "bench: installing ${missing[*]}" >&2
  as_root=()
  [[ $(id -u) -eq 0 ]] || as_root=(sudo)
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >/dev/null
fi

if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target harvio-cli fixture_server bench_task -j2 >/dev/null
cli="$build/cli/harvio-cli"

# shellcheck source=tools/bench_server.sh
. "$root/tools/bench_server.sh"
make_work bench
nginx_pid=
xvfb_pid=
trap 'stop_helpers; remove_work' EXIT

stop_helpers() {
  [[ -n $nginx_pid ]] && kill "$nginx_pid" 2>/dev/null || true
  [[ $wine == 1 && -n ${win:-} ]] && wine_env wineserver -k 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
}

# make_set NAME COUNT MIN MAX SEED: pictures 1.jpg..COUNT.jpg of MIN..MAX
# random bytes under $work/sets/NAME, their sorted sha256 in NAME.sha.
make_set() {
  python3 - "$work/sets/$1" "$2" "$3" "$4" "$5" <<'EOF' | sort >"$work/sets/$1.sha"
import hashlib, os, random, sys
folder, count, low, high, seed = sys.argv[1], *map(int, sys.argv[2:])
os.makedirs(folder, exist_ok=True)
rng = random.Random(seed)
for i in range(1, count + 1):
    data = rng.randbytes(rng.randint(low, high))
    with open(os.path.join(folder, f"{i}.jpg"), "wb") as f:
        f.write(data)
    print(hashlib.sha256(data).hexdigest())
EOF
}

# sub_set NAME FROM N: the first N pictures of set FROM, as set NAME.
sub_set() {
  mkdir -p "$work/sets/$1"
  for i in $(seq 1 "$3"); do ln "$work/sets/$2/$i.jpg" "$work/sets/$1/$i.jpg"; done
  (cd "$work/sets/$1" && sha256sum -- *.jpg | awk '{print $1}' | sort) >"$work/sets/$1.sha"
}

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# The https side of nginx, on $tls_port when the https set is wanted: the
# certificate of the run's own CA, TLS 1.3 and resumed sessions, as sites
# of today offer (this nginx alone would stop at TLS 1.2).
tls_server() {
  [[ -n $tls_port ]] || return 0
  cat <<EOF
  server {
    listen 127.0.0.1:$tls_port ssl;
    ssl_certificate $work/certs/good.test.crt;
    ssl_certificate_key $work/certs/good.test.key;
    ssl_protocols TLSv1.2 TLSv1.3;
    ssl_session_cache shared:bench:10m;
    root $work/sets;
  }
EOF
}

start_nginx() {
  nginx_port=$(free_port)
  chmod 755 "$work"  # nginx's workers may run as another user
  mkdir -p "$work/nginx/logs" "$work/nginx/tmp"
  cat >"$work/nginx/nginx.conf" <<EOF
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/logs/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  sendfile on;
  tcp_nopush on;
  keepalive_timeout 60;
  keepalive_requests 100000;
  types { image/jpeg jpg; }
  client_body_temp_path $work/nginx/tmp/body;
  proxy_temp_path $work/nginx/tmp/proxy;
  fastcgi_temp_path $work/nginx/tmp/fastcgi;
  uwsgi_temp_path $work/nginx/tmp/uwsgi;
  scgi_temp_path $work/nginx/tmp/scgi;
  server {
    listen 127.0.0.1:$nginx_port;
    root $work/sets;
  }
$(tls_server)
}
EOF
  nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" -g 'daemon off;' &
  nginx_pid=$!
  for _ in $(seq 50); do
    curl -sf -o /dev/null "http://127.0.0.1:$nginx_port/small.sha" && return 0
    sleep 0.1
  done
  echo "bench: nginx did not start" >&2
  exit 1
}

# Harvio's HARVIO_CONNECT_TO: bench.test to the server of the set, and to
# nginx's https side.
connect_rules() {
  echo "bench.test:80:127.0.0.1:$port${tls_port:+,bench.test:443:127.0.0.1:$tls_port}"
}

# write_urls SET PORT [SCHEME SUFFIX]: URL lists of the set for Harvio (by
# host, SET[SUFFIX].urls) and for the others (by address, .local-urls).
write_urls() {
  local n scheme=${3:-http}
  n=$(wc -l <"$work/sets/$1.sha")
  for i in $(seq 1 "$n"); do echo "$scheme://bench.test/$1/$i.jpg"; done >"$work/$1${4:-}.urls"
  sed "s|$scheme://bench.test/|$scheme://127.0.0.1:$2/|" "$work/$1${4:-}.urls" \
    >"$work/$1${4:-}.local-urls"
}

# The Windows side: the build that runs here, one display and one Wine
# server for every Wine run (a server started per run would add its own
# start and shutdown to each time).
set_up_wine() {
  if [[ -z $win_build ]]; then
    win_build="$root/build-win"
    /usr/lib/wine/wine --version >/dev/null 2>&1 || win_build="$root/build-win64"
  fi
  if [[ ! -f $win_build/CMakeCache.txt ]]; then
    echo "bench: no Windows build in $win_build (tools/harvio.sh test makes one); no Wine rows" >&2
    wine=0
    return
  fi
  cmake --build "$win_build" --target harvio harvio-cli bench_window -j2 >/dev/null
  win=$win_build
  wine_run=("$root/tools/run-wine" --side-of "$win/ui/harvio.exe" --env wine)
  mkdir -p "$work/wexe"
  cp "$win/ui/harvio.exe" "$work/wexe/"
  "$root/tools/run-wine" --side-of "$win/ui/harvio.exe" --prepare
  if [[ -z ${DISPLAY:-} ]]; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/display" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$work/display")"
  fi
  wine_env wineserver -p 2>/dev/null || true  # one may run already
  # The first start after a build updates the prefix; not a run to time.
  "${wine_run[@]}" "$win/cli/harvio-cli.exe" --help >/dev/null 2>&1 || true
}

wine_env() { "$root/tools/run-wine" --side-of "$win/ui/harvio.exe" --env "$@"; }

winpath() { local p=${1//\//\\}; echo "Z:$p"; }

# measure OUT COMMAND...: runs COMMAND, timed from start to exit by a clock
# read right around it (a date process of its own would add its start-up
# on a busy machine); OUT.wall gets the two readings, OUT.time peak KiB
# and CPU seconds from /usr/bin/time (its own fork is small, while one of
# Python would count Python's memory), OUT.log the output.
measure() {
  python3 -c '
import subprocess, sys, time
out = sys.argv[1]
with open(out + ".log", "wb") as log:
    start = time.time()
    subprocess.run(["/usr/bin/time", "-f", "%M %U %S", "-o", out + ".rusage", *sys.argv[2:]],
                   stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
    end = time.time()
open(out + ".wall", "w").write(f"{start:.6f} {end:.6f}\n")
peak, user, system = open(out + ".rusage").read().split("\n")[-2].split()
open(out + ".time", "w").write(f"{peak} {float(user) + float(system):.2f}\n")
' "$@"
}

# verify DIR SET: how many files of DIR match the set by sha256, and
# whether DIR holds exactly the set ("ok") or not ("BAD").
verify() {
  local got
  got=$(find "$1" -type f -print0 | xargs -0 -r sha256sum | awk '{print $1}' | sort)
  local matched
  matched=$(comm -12 <(echo "$got") "$work/sets/$2.sha" | grep -c . || true)
  if [[ $got == "$(cat "$work/sets/$2.sha")" ]]; then echo "$matched ok"; else echo "$matched BAD"; fi
}

# record SET PROGRAM OUT FILES STATUS [EXTRA]: one result line.
record() {
  local wall peak cpu
  wall=$(awk '{printf "%.4f", $2 - $1}' "$3.wall")
  read -r peak cpu <"$3.time"
  echo "$1 $2 $wall ${4:-0} ${5:-BAD} ${peak:-0} ${cpu:-0} ${6:-}" >>"$work/results"
}

# The newest modification time under DIR (files only), in seconds.
newest() { find "$1" -type f -printf '%T@\n' | sort -n | tail -1; }

# The URL files of Harvio's tasks: SET.urls.N when the set is split into
# several tasks, else SET.urls (SET-tls.urls over https).
harvio_urls() {
  if [[ -f $work/$1.urls.1 ]]; then echo "$work/$1".urls.[0-9]; else echo "$work/$1$tls.urls"; fi
}

# run_PROGRAM SET: one timed run of the set, checked and recorded; over
# https when $tls is "-tls", recorded as PROGRAM-tls.
run_harvio() {
  local out="$work/run" exit_at
  rm -rf "$out" && mkdir -p "$out/home" "$out/save"
  # shellcheck disable=SC2046  # the URL files of the set's tasks
  "$build/tools/bench_task" "$out/home" "$out/save" $(harvio_urls "$1")
  HARVIO_CONNECT_TO=$(connect_rules) HARVIO_CA_FILE=${tls:+$ca} \
    measure "$out/m" "$cli" --home "$out/home" run
  exit_at=$(awk '{print $2}' "$out/m.wall")
  # The exit tail: from the last picture and from the task file to the exit.
  record "$1" "harvio$tls" "$out/m" $(verify "$out/save" "$1") "$(awk -v e="$exit_at" \
    -v p="$(newest "$out/save")" -v t="$(newest "$out/home/Task")" \
    'BEGIN {printf "%.0f,%.0f", (e - p) * 1000, (e - t) * 1000}')"
}

run_aria2c() {
  local out="$work/run" jobs=$workers
  [[ $1 == three ]] && jobs=$((3 * workers))
  rm -rf "$out" && mkdir -p "$out/save"
  measure "$out/m" aria2c -q -j "$jobs" -x 1 --auto-file-renaming=false \
    --allow-overwrite=true ${tls:+--ca-certificate="$ca"} -d "$out/save" \
    -i "$work/$1$tls.local-urls"
  record "$1" "aria2c$tls" "$out/m" $(verify "$out/save" "$1")
}

run_wget() {
  local out="$work/run"
  rm -rf "$out" && mkdir -p "$out/save"
  measure "$out/m" wget -q ${tls:+--ca-certificate="$ca"} -P "$out/save" \
    -i "$work/$1$tls.local-urls"
  record "$1" "wget$tls" "$out/m" $(verify "$out/save" "$1")
}

# The line rate: every picture of the set over one kept-alive connection,
# into /dev/null; checked by the byte count.
run_curl() {
  local out="$work/run" got want status=BAD
  rm -rf "$out" && mkdir -p "$out"
  awk '{print "url = \"" $0 "\"\noutput = \"/dev/null\""}' "$work/$1.local-urls" >"$work/curl.config"
  measure "$out/m" curl -s -w '%{size_download}\n' -K "$work/curl.config"
  got=$(awk '{s += $1} END {print s + 0}' "$out/m.log")
  want=$(find "$work/sets/$1" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}')
  [[ $got == "$want" ]] && status=ok
  record "$1" curl "$out/m" "$(wc -l <"$work/sets/$1.sha")" "$status"
}

run_wine_cli() {
  local out="$work/run"
  rm -rf "$out" && mkdir -p "$out/home" "$out/save"
  "$build/tools/bench_task" "$out/home" "$out/save" "$work/$1.urls"
  HARVIO_CONNECT_TO=$(connect_rules) measure "$out/m" \
    "${wine_run[@]}" "$win/cli/harvio-cli.exe" --home "$(winpath "$out/home")" run
  record "$1" harvio-cli.exe "$out/m" $(verify "$out/save" "$1")
}

# Wine's own start and end, harvio-cli.exe --help: part of every
# harvio-cli.exe row.
run_wine_start() {
  local out="$work/run"
  rm -rf "$out" && mkdir -p "$out"
  measure "$out/m" "${wine_run[@]}" "$win/cli/harvio-cli.exe" --help
  record winestart harvio-cli.exe "$out/m" 0 ok
}

# harvio.exe: timed from the Start command until the row reads 完成 (the
# driver's clock); the time to close goes into the extra column.
run_wine_window() {
  local out="$work/run" done_s exit_s
  rm -rf "$out" "$work/wexe/Task" && mkdir -p "$out/save"
  "$build/tools/bench_task" "$work/wexe" "$out/save" "$work/$1.urls"
  HARVIO_CONNECT_TO=$(connect_rules) measure "$out/m" \
    "${wine_run[@]}" "$win/tools/bench_window.exe" "$(winpath "$work/wexe/harvio.exe")"
  read -r done_s exit_s < <(awk '/^done/ {print $2, $4}' "$out/m.log") || true
  if [[ -z ${done_s:-} ]]; then
    echo "bench: harvio.exe run failed: $(tr -d '\r' <"$out/m.log")" >&2
    done_s=0 exit_s=0
  fi
  echo "0 $done_s" >"$out/m.wall"
  echo "0 0" >"$out/m.time"  # the driver's figures are not harvio.exe's
  record "$1" harvio.exe "$out/m" $(verify "$out/save" "$1") "$(awk -v x="$exit_s" 'BEGIN {printf "%.0f", x * 1000}')"
}

# rounds SET PROGRAM...: --runs rounds, each running every program once;
# PROGRAM-tls is PROGRAM over https.
rounds() {
  local set=$1 round program
  shift
  for round in $(seq 1 "$runs"); do
    for program in "$@"; do
      tls=${program#"${program%-tls}"}
      "run_${program%-tls}" "$set"
    done
    tls=
    echo "  $set: round $round of $runs done" >&2
  done
}

wanted() { [[ ",$only," == *",$1,"* ]]; }

mkdir -p "$work/sets"
echo "bench: making the sets" >&2
make_set small "$count" 20480 204800 1
sub_set mid small "$mid_count"
make_set large "$large_count" 943718 1048576 2
make_set latency "$latency_count" 2048 8192 3
: >"$work/results"

tls= tls_port= ca=
if wanted https; then
  "$root/tools/test_certs.sh" "$work/certs" bench.test IP:127.0.0.1
  ca="$work/certs/ca.crt"
  tls_port=$(free_port)
fi
start_nginx
port=$nginx_port
if wanted small; then
  write_urls small "$port"
  small_programs=(harvio aria2c wget)
  if [[ $wine == 1 ]]; then set_up_wine; fi
  [[ $wine == 1 ]] && small_programs+=(wine_cli wine_window wine_start)
  rounds small "${small_programs[@]}"
fi
if wanted mid; then
  write_urls mid "$port"
  rounds mid harvio aria2c wget
fi
if wanted large; then
  write_urls large "$port"
  rounds large harvio aria2c wget curl
fi
if wanted three; then
  sub_set three small "$count"
  write_urls three "$port"
  split -n l/3 -d -a 1 "$work/three.urls" "$work/three.urls."
  for i in 2 1 0; do mv "$work/three.urls.$i" "$work/three.urls.$((i + 1))"; done
  rounds three harvio aria2c
fi
if wanted https; then
  sub_set https small "$count"
  write_urls https "$port"
  write_urls https "$tls_port" https -tls
  rounds https harvio harvio-tls aria2c aria2c-tls wget wget-tls
fi
if wanted latency; then
  printf 'route * /latency/*\nheader Content-Type: image/jpeg\nfiles %s\n' \
    "$work/sets/latency" >"$work/script"
  start_server "$work/script" --delay "$latency_ms"
  write_urls latency "$port"
  rounds latency harvio aria2c
fi

python3 - "$work/results" "$work/sets" "$workers" "$latency_ms" <<'EOF'
import os, statistics, sys
results, sets, workers, delay = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
rows = {}
for line in open(results):
    f = line.split()
    rows.setdefault(f[0], {}).setdefault(f[1], []).append(
        dict(s=float(f[2]), files=int(f[3]), ok=f[4] == "ok", peak=int(f[5]) / 1024,
             cpu=float(f[6]), extra=f[7] if len(f) > 7 else ""))

def spread(values, fmt):
    if not values:
        return "-"
    return (fmt % statistics.median(values)) + " (" + (fmt % min(values)) + "-" + (fmt % max(values)) + ")"

def rate_of(r):
    return r["files"] / r["s"] if r["s"] > 0 else 0

def cpu_per_1000(r):
    return r["cpu"] * 1000 / r["files"] if r["files"] > 0 else 0

def set_size(name):
    folder = os.path.join(sets, name)
    names = os.listdir(folder)
    return len(names), sum(os.path.getsize(os.path.join(folder, n)) for n in names) / 1048576

titles = {
    "small": "pictures of 20-200 KiB, nginx",
    "mid": "pictures of 20-200 KiB (the first of the small set), nginx",
    "large": "pictures of 0.9-1 MiB, nginx; curl = line rate",
    "three": "pictures of 20-200 KiB, nginx; harvio = 3 tasks x 25 workers, aria2c -j 75",
    "https": "pictures of 20-200 KiB, nginx; -tls = over https with the run's CA",
    "latency": f"pictures of 2-8 KiB, fixture server, every answer after {delay} ms",
}
bound = workers * 1000 / delay
for name in ("small", "mid", "large", "three", "https", "latency"):
    if name not in rows:
        continue
    count, mib = set_size(name)
    programs = rows[name]
    runs = max(len(v) for v in programs.values())
    print(f"== {name}: {count} {titles[name]} ({mib:.1f} MiB), {runs} rounds interleaved, medians (min-max)")
    print(f"{'program':<15}{'pictures/s':>26}{'MiB/s':>22}{'s to exit':>10}{'CPU s':>8}"
          f"{'CPU s/1000':>22}{'peak MiB':>10}  checked")
    for program, runs_of in programs.items():
        rate = [r["files"] / r["s"] for r in runs_of if r["s"] > 0]
        speed = [r["files"] / count * mib / r["s"] for r in runs_of if r["s"] > 0]
        checked = sum(r["ok"] for r in runs_of)
        peak = [r["peak"] for r in runs_of if r["peak"] > 0]
        cpu = [r["cpu"] for r in runs_of if r["cpu"] > 0]
        print(f"{program:<15}{spread(rate, '%.1f'):>26}{spread(speed, '%.1f'):>22}"
              f"{statistics.median(r['s'] for r in runs_of):>10.2f}"
              f"{(statistics.median(cpu) if cpu else 0):>8.2f}"
              f"{spread([cpu_per_1000(r) for r in runs_of if r['cpu'] > 0], '%.3f'):>22}"
              f"{(statistics.median(peak) if peak else 0):>10.1f}  {checked}/{len(runs_of)} sha256")
    def ratio(a, b, of):
        if a not in programs or b not in programs:
            return None
        pairs = [of(x) / of(y) for x, y in zip(programs[a], programs[b]) if of(x) and of(y)]
        return spread(pairs, "%.2f")
    for a, b in (("harvio", "aria2c"), ("harvio", "wget"), ("harvio", "curl"),
                 ("harvio-tls", "aria2c-tls"), ("harvio-tls", "wget-tls"),
                 ("harvio.exe", "harvio"), ("harvio-cli.exe", "harvio")):
        r = ratio(a, b, rate_of)
        if r:
            print(f"  {a}/{b} pictures/s, per round: {r}")
    for a in ("harvio", "aria2c", "wget"):
        r = ratio(a + "-tls", a, cpu_per_1000)
        if r:
            print(f"  {a}-tls/{a} CPU per picture (the cost of TLS), per round: {r}")
    if name == "latency":
        for program, runs_of in programs.items():
            share = [100 * r["files"] / r["s"] / bound for r in runs_of if r["s"] > 0]
            print(f"  {program}: {spread(share, '%.1f')} % of the bound {bound:.0f} pictures/s, to its exit")
    if "harvio" in programs:
        tails = [r["extra"].split(",") for r in programs["harvio"] if "," in r["extra"]]
        if tails:
            print("  harvio exit tail, ms after the last picture: "
                  + spread([float(t[0]) for t in tails], "%.0f")
                  + "; after the task file: " + spread([float(t[1]) for t in tails], "%.0f"))
    if "harvio.exe" in programs:
        closes = [float(r["extra"]) for r in programs["harvio.exe"] if r["extra"]]
        print("  harvio.exe: s = Start command until the row reads 完成 (the window's tick runs once a"
              " second); closing the window then took " + spread(closes, "%.0f") + " ms")
    if name == "small" and "winestart" in rows:
        starts = [r["s"] for r in rows["winestart"]["harvio-cli.exe"]]
        print("  Wine's start and end alone (harvio-cli.exe --help), part of every harvio-cli.exe run: "
              + spread(starts, "%.2f") + " s")
    print()
EOF
