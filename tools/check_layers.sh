#!/bin/sh
# Every #include "..." follows the stack of layers:
#   platform -> core -> sources -> net -> app -> ui, cli
# a folder includes only from itself and the folders below it (app/ and ui/
# may also take res/resource.h). Prints each upward include; fails if any.
# usage: check_layers.sh [SOURCE_DIR]
cd "${1:-$(dirname "$0")/..}" || exit 2
grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' \
    --include='*.h' --include='*.cpp' platform core sources net app ui cli 2>/dev/null |
awk '
BEGIN {
  ok["platform"] = " platform "
  ok["core"]     = " platform core "
  ok["sources"]  = " platform core sources "
  ok["net"]      = " platform core sources net "
  ok["app"]      = " platform core sources net app res "
  ok["ui"]       = " platform core sources net app res ui "
  ok["cli"]      = " platform core sources net app cli "
  known = " platform core sources net app res ui cli "
}
{
  split($0, path, "/"); layer = path[1]
  match($0, /include[[:space:]]*"[a-z_]+\//)
  target = substr($0, RSTART, RLENGTH); sub(/.*"/, "", target); sub(/\/$/, "", target)
  if (index(known, " " target " ") && !index(ok[layer], " " target " ")) { print; bad = 1 }
}
END {
  if (bad) { print "FAIL: includes against the layers above"; exit 1 }
  print "ok: every include follows the layers"
}'
