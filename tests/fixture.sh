# shellcheck shell=sh
# Set-up shared by the end-to-end test scripts (sourced, POSIX sh): a work
# folder removed on exit together with the fixture server, fail(), paths in
# the Windows programs' form, and the fixture server on a free loopback port.

fail() { echo "FAIL: $*"; exit 1; }

# A path as a Windows program under Wine takes it: drive Z: is the root.
zpath() { printf 'Z:%s\n' "$1" | tr / '\\'; }

# A path as the program under test takes it: the Z: form when the script
# runs it through $RUNNER (tools/run-wine).
prog_path() {
  if [ -n "${RUNNER:-}" ]; then zpath "$1"; else echo "$1"; fi
}

# make_work NAME: a fresh $WORK (/tmp/harvio-NAME-*), removed on exit with
# any server still running.
make_work() {
  WORK=$(mktemp -d "/tmp/harvio-$1-XXXXXX")
  SERVER_PID=
  trap remove_work EXIT
}

remove_work() {
  stop_server
  rm -rf "$WORK"
}

# start_server SERVER SECONDS [OPTIONS...]: SERVER serves $WORK/script for
# at most SECONDS; sets $PORT and points site.test at it.
start_server() {
  server=$1 seconds=$2
  shift 2
  rm -f "$WORK/port"
  "$server" "$WORK/script" --max-seconds "$seconds" "$@" >"$WORK/port" &
  SERVER_PID=$!
  i=0
  while [ ! -s "$WORK/port" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  PORT=$(awk '{print $2}' "$WORK/port")
  [ -n "$PORT" ] || fail "fixture server did not start"
  export HARVIO_CONNECT_TO="site.test:80:127.0.0.1:$PORT"
}

# Stops the server and waits, so that its request log is complete.
stop_server() {
  [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null && wait "$SERVER_PID" 2>/dev/null
  SERVER_PID=
}
