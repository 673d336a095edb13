#!/usr/bin/env bash
# The README's picture of the main window at work: harvio.exe under Wine on
# a private Xvfb screen, beside the demo site (slowed down) with the demo
# tasks, all of them started (Ctrl+A, Ctrl+S) and photographed a few seconds
# later with ImageMagick's import.
#   tools/demo_screenshot.sh [OUTPUT.png]     (default demo/main_window.png)
# Uses the programs tools/harvio.sh run builds; WIN_BUILD and NATIVE_BUILD
# name other build folders (a 64-bit build-win64, say), SETTLE_SECONDS the
# wait before the picture.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win_build=${WIN_BUILD:-$root/build-win}
native_build=${NATIVE_BUILD:-$root/build}
settle_seconds=${SETTLE_SECONDS:-3}

# Inside the demo server's environment, on the Xvfb display.
photograph() {
  local home=$1 out=$2 window
  "$root/tools/run-wine" "$home/harvio.exe" &
  local program=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Harvio$' | head -1)
  [[ -n $window ]] || { echo "screenshot: no Harvio window" >&2; return 1; }
  xdotool windowfocus --sync "$window" || true
  sleep 1
  xdotool key ctrl+a ctrl+s
  sleep "$settle_seconds"
  import -window "$window" "$out"
  # Closing the window the user's way saves the tasks; bounded all the same.
  xdotool key alt+F4
  if ! timeout 60 tail --pid="$program" -f /dev/null; then
    "$root/tools/run-wine" --side-of "$home/harvio.exe" --env wineserver -k || true
  fi
  echo "screenshot: $out" >&2
}

case "${1:-}" in
  --photograph)
    photograph "$2" "$3"
    ;;
  *)
    out=$(realpath -m "${1:-$root/demo/main_window.png}")
    home=$(mktemp -d /tmp/harvio-screenshot-XXXXXX)
    trap 'rm -rf "$home"' EXIT
    # A folder of its own, so the picture shows the demo tasks only.
    cp "$win_build/ui/harvio.exe" "$home/"
    "$root/tools/demo.sh" tasks "$native_build/cli/harvio-cli" "$home"
    xvfb-run -a -s "-screen 0 1024x768x24" \
      "$root/tools/demo.sh" serve "$native_build" --delay 400 --rate 4096 -- \
      bash "$0" --photograph "$home" "$out"
    ;;
esac
