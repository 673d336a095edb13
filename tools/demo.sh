#!/usr/bin/env bash
# The offline demo: the site of demo/ served on a free loopback port under
# the catalog's hosts (sources/hosts.h) and the demo host demo.harvio.test,
# and the demo tasks of demo/tasks.txt. Every other host goes to the network
# as usual.
#
#   tools/demo.sh serve BUILD [--delay MS] [--rate BYTES] -- COMMAND [ARGS...]
#       runs COMMAND with HARVIO_CONNECT_TO pointing those hosts at the demo
#       server (BUILD/tools/fixture_server), which stops when COMMAND ends;
#       the demo host also answers over https, with a CA made on first use
#       (BUILD/demo-certs) and named by HARVIO_CA_FILE; --delay and --rate
#       slow every answer down
#   tools/demo.sh tasks CLI HOME
#       makes the demo tasks with harvio-cli CLI in HOME (the folder that
#       holds Task\) unless HOME has tasks already
#   tools/demo.sh headless BUILD HOME
#       runs the demo tasks with BUILD/cli/harvio-cli in a fresh HOME to the
#       end and tells where the pictures went; fails unless every task is
#       Done with its number of pictures
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
demo_host=demo.harvio.test

# host:80:127.0.0.1:PORT for the demo host and every host of the catalog,
# and the demo host's https port.
connect_rules() {
  local port=$1 tls_port=$2 host rules="$demo_host:443:127.0.0.1:$tls_port"
  for host in $demo_host $(grep -o '"[a-z0-9.-]*\.[a-z]*"' "$root/sources/hosts.h" | tr -d '"'); do
    rules+=",$host:80:127.0.0.1:$port"
  done
  echo "$rules"
}

# start_site STATE NAME [OPTIONS...]: the demo site in the background; its
# port in STATE/NAME, its process id in STATE/NAME.pid.
start_site() {
  local state=$1 name=$2
  shift 2
  "$build/tools/fixture_server" "$root/demo/site.txt" --max-seconds 86400 \
    "$@" >"$state/$name" &
  echo $! >"$state/$name.pid"
  for _ in $(seq 50); do
    [[ -s $state/$name ]] && break
    sleep 0.1
  done
  awk '{print $2}' "$state/$name"
}

stop_sites() {
  local pid
  for pid in $(cat "$1"/*.pid 2>/dev/null); do kill "$pid" 2>/dev/null || true; done
  for pid in $(cat "$1"/*.pid 2>/dev/null); do wait "$pid" 2>/dev/null || true; done
  rm -rf "$1"
}

# The CA of the demo's https side is made on first use and kept with the
# build; a Windows program takes its path in the Z: form.
ca_file_for() {
  local certs=$build/demo-certs
  "$root/tools/test_certs.sh" "$certs" "$demo_host" >&2
  if [[ $1 == *.exe || ${2:-} == *.exe ]]; then
    printf 'Z:%s\n' "$certs/ca.crt" | tr / '\\'
  else
    echo "$certs/ca.crt"
  fi
}

serve() {
  build=$1
  local pace=()
  shift
  while [[ $# -gt 0 && $1 != -- ]]; do
    pace+=("$1" "$2")
    shift 2
  done
  shift
  local state ca port tls_port
  ca=$(ca_file_for "$@")
  state=$(mktemp -d /tmp/harvio-demo-XXXXXX)
  # shellcheck disable=SC2064
  trap "stop_sites '$state'" EXIT
  port=$(start_site "$state" http "${pace[@]}")
  tls_port=$(start_site "$state" https "${pace[@]}" --tls "$build/demo-certs")
  [[ -n $port && -n $tls_port ]] || { echo "demo: the demo server did not start" >&2; return 1; }
  echo "demo: the demo site answers on 127.0.0.1:$port, https on 127.0.0.1:$tls_port" >&2
  local status=0
  HARVIO_CONNECT_TO=$(connect_rules "$port" "$tls_port") HARVIO_CA_FILE=$ca "$@" || status=$?
  stop_sites "$state"
  trap - EXIT
  return $status
}

# The demo task lines: the number of pictures, then the arguments.
task_lines() {
  grep -v '^#' "$root/demo/tasks.txt"
}

tasks() {
  local cli=$1 home=$2 expected args
  mkdir -p "$home"
  # The list prints a header line and one line per task.
  [[ $("$cli" --home "$home" list | wc -l) -gt 1 ]] && return 0
  while read -r expected args; do
    # shellcheck disable=SC2086
    "$cli" --home "$home" new $args >/dev/null
  done < <(task_lines)
  echo "demo: made $(task_lines | wc -l) demo tasks in $home" >&2
}

# One line per task: its state and pictures, where they went and how many
# files are there; false unless every task is Done with its pictures.
report() {
  local cli=$1 home=$2 ok=0 n=0 expected args state count path files
  while read -r expected args; do
    n=$((n + 1))
    IFS=$'\t' read -r _ state count _ _ _ _ _ path _ < <("$cli" --home "$home" list | sed -n "$((n + 1))p")
    path=$(echo "$path" | sed 's|^Z:||; s|\\|/|g')
    files=$(find "$path" -type f ! -name '*.!' 2>/dev/null | wc -l)
    echo "task $n: $state, $count pictures (demo: $expected), $files files in $path"
    [[ $state == 完成 && $count == "$expected" && $files == "$expected" ]] || ok=1
  done < <(task_lines)
  return $ok
}

headless() {
  local build=$1 home=$2 cli="$1/cli/harvio-cli"
  rm -rf "$home"
  tasks "$cli" "$home"
  # A run that ends in a failure says so; the report still tells the rest.
  serve "$build" -- "$cli" --home "$home" run >"$home/run.log" ||
    echo "demo: harvio-cli run ended with status $? (see $home/run.log)" >&2
  report "$cli" "$home"
}

case "${1:-}" in
  serve) shift; serve "$@" ;;
  tasks) shift; tasks "$@" ;;
  headless) shift; headless "$@" ;;
  *)
    echo "usage: tools/demo.sh serve BUILD [--delay MS] [--rate BYTES] -- COMMAND... | tasks CLI HOME | headless BUILD HOME" >&2
    exit 2
    ;;
esac
