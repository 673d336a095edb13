# shellcheck shell=bash disable=SC2154  # $build: set by the sourcing tool
# The fixture server of the loopback tools (bench.sh, crash.sh), sourced
# into bash after $build is set: a work folder removed on exit with the
# server, and a server started on a free port.

# make_work NAME: a fresh $work (/tmp/harvio-NAME-*), removed on exit with
# the server.
make_work() {
  work=$(mktemp -d "/tmp/harvio-$1-XXXXXX")
  server_pid=
  trap remove_work EXIT
}

remove_work() {
  stop_server
  rm -rf "$work"
}

stop_server() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null || true
  server_pid=
}

# start_server SCRIPT [SERVER OPTIONS...]: a fresh server of SCRIPT (the one
# before it stopped); sets $port.
start_server() {
  local script=$1
  shift
  stop_server
  rm -f "$work/port"
  "$build/tools/fixture_server" "$script" --max-seconds 1800 "$@" >"$work/port" &
  server_pid=$!
  for _ in $(seq 50); do [[ -s $work/port ]] && break; sleep 0.1; done
  port=$(awk '{print $2}' "$work/port")
  [[ -n $port ]] || { echo "the fixture server did not start" >&2; exit 1; }
}
