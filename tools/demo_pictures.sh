#!/usr/bin/env bash
# Makes the pictures of the demo site (demo/pictures): the JPEGs and GIFs
# with ImageMagick, the PNGs and WebPs with tools/demo_pictures.py. They
# were made once and are committed; run this only to remake them. Large
# JPEGs stay well above 16384 bytes and small ones below, so the picture
# formats a task asks for visibly decide what is saved.
#   tools/demo_pictures.sh
set -euo pipefail

out=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/demo/pictures
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
mkdir -p "$out"
rm -f "$out"/*.jpg "$out"/*.gif

colors=(gold tomato skyblue orchid palegreen coral khaki turquoise salmon plum
        lightpink wheat aquamarine violet peachpuff lightblue)

# background SEED SIZE: a different picture for every seed, by turns a
# plasma cloud, a gradient and a tiled pattern.
background() {
  local seed=$1 size=$2 a=${colors[$(( $1 % 16 ))]} b=${colors[$(( ($1 * 7 + 3) % 16 ))]}
  case $(( seed % 3 )) in
    0) echo -size "$size" -seed "$seed" "plasma:$a-$b" ;;
    1) echo -size "$size" "radial-gradient:$a-$b" -seed "$seed" -attenuate 0.6 +noise Gaussian ;;
    2) echo -size "$size" -seed "$seed" "plasma:$b-$a" -swirl $(( seed * 37 % 360 )) ;;
  esac
}

# picture FILE SEED SIZE POINTS [OPTIONS...]: the background with its name.
picture() {
  local file=$1 seed=$2 size=$3 points=$4
  shift 4
  # shellcheck disable=SC2046
  convert $(background "$seed" "$size") -font "$font" -pointsize "$points" \
    -fill white -stroke black -strokewidth 1 -gravity south \
    -annotate +0+6 "Harvio demo ${file%.*}" "$@" "$out/$file"
}

for i in $(seq -w 1 14); do
  picture "large$i.jpg" $((10#$i)) 400x300 20 -quality 88
done
for i in $(seq -w 1 12); do
  picture "small$i.jpg" $((10#$i + 20)) 160x120 11 -quality 75
done
for i in $(seq -w 1 10); do
  picture "still$i.gif" $((10#$i + 40)) 200x150 13 -colors 64
done
python3 "$(dirname "${BASH_SOURCE[0]}")/demo_pictures.py" "$out"
ls -l "$out" | awk 'NR > 1 {n++; s += $5} END {printf "%d pictures, %d bytes\n", n, s}'
