#!/usr/bin/env bash
# Remakes docs/quarvel.png, the README's picture of the window: the real program on Xvfb with
# a made-up letterboxed screenshot, its bars found by Ctrl+D. Needs xvfb, xdotool, imagemagick.
#   docs/make_screenshot.sh [QUARVEL_BINARY]
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build-release/bin/quarvel}
[ -x "$binary" ] || { echo "build the program first: ./build.sh run (or give its path)"; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A sunset over hills, 704 x 432, in black bars of 8 columns and 72 rows: 720 x 576.
convert -size 704x432 gradient:'#24508c-#f0b860' \
    -fill '#f8e8b0' -draw 'circle 470,250 470,220' \
    -fill '#2c4a30' -draw 'polygon 0,330 150,250 300,300 480,220 704,290 704,432 0,432' \
    -fill '#1c3020' -draw 'polygon 0,432 0,380 260,330 520,390 704,350 704,432' \
    -bordercolor black -border 8x72 BMP3:"$work/dvd shot.bmp"

xvfb-run -a -s "-screen 0 1024x700x24" bash -c '
    "$1" & program=$!
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name "^Quarvel 1\.0$" 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    xdotool windowfocus --sync "$window" key alt+o
    sleep 1
    xdotool key --clearmodifiers ctrl+a type --delay 5 "$2"
    xdotool key Return
    sleep 1
    xdotool windowfocus --sync "$window" key ctrl+d
    sleep 0.5
    import -window "$window" "$3"
    kill $program
' _ "$binary" "$work/dvd shot.bmp" docs/quarvel.png
echo "wrote docs/quarvel.png"
