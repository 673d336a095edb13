#!/bin/sh
# Screenshots of every page of the wizard, the properties sheet and the
# Add-URL dialog, taken while wine_wizard_dialogs.exe walks through them on
# a private X display (the dialogs' own pixels, as the X server shows them).
#
# Usage: wizard_screenshots.sh DIALOGS-EXE RUN-WINE OUT-DIR
set -u
EXE=$1
RUN_WINE=$2
OUT=$3
WORK=$(mktemp -d /tmp/harvio-shots-XXXXXX)
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb; rm -rf "$WORK"' EXIT
sleep 1
zpath() { echo "Z:$1" | tr / '\\'; }
mkdir -p "$WORK/home" "$WORK/save" "$OUT"
: >"$WORK/out"
DISPLAY=$display "$RUN_WINE" "$EXE" "$(zpath "$WORK/home")\\" "$(zpath "$WORK/save")\\" --shots \
    >"$WORK/out" 2>/dev/null &
run=$!
taken=0
for _ in $(seq 1 1500); do
  count=$(grep -c '^SHOT' "$WORK/out")
  if [ "$count" -gt "$taken" ]; then
    taken=$count
    name=$(grep '^SHOT' "$WORK/out" | sed -n "${count}p" | tr -d '\r' | cut -d' ' -f2)
    DISPLAY=$display import -window root "$OUT/$name.png"
  fi
  kill -0 $run 2>/dev/null || break
  sleep 0.2
done
wait $run
tr -d '\r' <"$WORK/out" | grep -v '^SHOT'
echo "$taken screenshots in $OUT"
