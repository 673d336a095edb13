#!/usr/bin/env bash
# The headless demo (tools/demo.sh headless, what tools/harvio.sh demo runs):
# every demo task ends Done with its number of pictures, and every saved
# picture is byte for byte one of the demo site's; the board task files its
# pictures in one folder per thread.
#   demo_run_test.sh ROOT BUILD
set -euo pipefail

root=$1 build=$2
work=$(mktemp -d /tmp/harvio-demo-test-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

timeout 120 "$root/tools/demo.sh" headless "$build" "$work/home" >"$work/report" ||
  { cat "$work/report" "$work/home/run.log" >&2; fail "demo did not end with every task Done"; }
cat "$work/report"

expected=$(grep -v '^#' "$root/demo/tasks.txt" | awk '{s += $1} END {print s}')
(cd "$root/demo/pictures" && sha256sum -- * | awk '{print $1}' | sort) >"$work/demo-sums"
find "$work/home/Download" -type f -exec sha256sum {} + | awk '{print $1}' | sort >"$work/saved-sums"
[[ $(wc -l <"$work/saved-sums") -eq $expected ]] ||
  fail "$(wc -l <"$work/saved-sums") files saved, $expected expected"
# Two tasks may save the same picture; each copy must be a demo picture.
[[ -z $(sort -u "$work/saved-sums" | comm -23 - "$work/demo-sums") ]] ||
  fail "a saved file is none of the demo pictures"

board=$(sed -n 2p "$work/report" | sed 's/.* files in //')
[[ $(find "$board" -mindepth 1 -type d | wc -l) -eq 4 ]] ||
  fail "the board task did not file its pictures by thread"
echo "demo: $expected pictures, all identical to the demo site's"
