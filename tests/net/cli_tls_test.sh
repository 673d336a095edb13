#!/bin/sh
# https end to end with harvio-cli: a 162 task over TLS fetches the
# pictures of its page (one of them on a port of its own), a picture host
# with a certificate for another name is refused and reported once, and a
# task whose start page has a self-signed certificate pauses with its
# message. The CA comes from tools/test_certs.sh through HARVIO_CA_FILE,
# made once per build tree (beside the program's folder).
#
# Usage: cli_tls_test.sh HARVIO-CLI FIXTURE_SERVER [RUNNER]
# With RUNNER (tools/run-wine), HARVIO-CLI is the Windows program.
set -u
CLI=$1
SERVER=$2
RUNNER=${3:-}
. "$(dirname "$0")/../fixture.sh"
make_work tls

cli() { $RUNNER "$CLI" --home "$(prog_path "$WORK/home")" "$@"; }
mkdir -p "$WORK/home"
certs=$(cd "$(dirname "$CLI")/.." && pwd)/test-certs
sh "$(dirname "$0")/../../tools/test_certs.sh" "$certs" || fail "certificates"

cat >"$WORK/script" <<'EOF2'
route * /page.html
header Content-Type: text/html
length none
body <html><img alt=1 src="/p/1.jpg"><img alt=2 src="//good.test:8443/p/2.jpg"><img alt=3 src="https://wrong.test/p/3.jpg"><img alt=4 src="https://wrong.test/p/4.jpg"></html>
route * /p/*
header Content-Type: image/jpeg
generated 20000 30000
EOF2
start_server "$SERVER" 120 --tls "$certs" --requests "$WORK/requests"
to="127.0.0.1:$PORT"
export HARVIO_CONNECT_TO="good.test:443:$to,good.test:8443:$to,wrong.test:443:$to,self.test:443:$to"
HARVIO_CA_FILE=$(prog_path "$certs/ca.crt")
export HARVIO_CA_FILE

cli new --source 162 --url 'https://good.test/page.html' \
  --save "$(prog_path "$WORK/good")" >/dev/null || fail "new good"
cli new --source 162 --url 'https://self.test/start.html' \
  --save "$(prog_path "$WORK/self")" >/dev/null || fail "new self"

cli run 1 >"$WORK/run1.log" 2>&1 || fail "run 1: $(cat "$WORK/run1.log")"
[ "$(find "$WORK/good" -name '*.jpg' | wc -l)" -eq 2 ] || fail "2 pictures over TLS"
[ "$(grep -c '^task 1: wrong.test: 证书无效' "$WORK/run1.log")" -eq 1 ] ||
  fail "one line for the refused host: $(cat "$WORK/run1.log")"

cli run 2 >"$WORK/run2.log" 2>&1
[ $? -eq 3 ] || fail "refused start page gives exit 3"
grep -q '^task 2: 无法建立安全连接（证书无效），任务自动暂停。' "$WORK/run2.log" ||
  fail "no certificate message: $(cat "$WORK/run2.log")"
cli list | sed -n 3p | grep -q '	暂停	' || fail "task 2 paused: $(cli list)"
stop_server
grep -q '^=== GET good.test /p/1.jpg [0-9]* good.test$' "$WORK/requests" ||
  fail "no request with the host's name"
grep -q 'wrong.test\|self.test' "$WORK/requests" && fail "refused host asked"
echo "ok"
