#!/usr/bin/env bash
# Starts the real program on an X server, finds its main window, checks its inside size and
# quits it with Alt+Q. Run under xvfb-run.
set -u
binary=$1
"$binary" &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT

window=""
for _ in $(seq 300); do
    window=$(xdotool search --name '^Quarvel 1\.0$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no window 'Quarvel 1.0' appeared"; exit 1; }

size=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$size" = "953x626" ] || { echo "client area is $size, not 953x626"; exit 1; }

xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers alt+q
for _ in $(seq 200); do
    if ! kill -0 $pid 2>/dev/null; then
        wait $pid
        status=$?
        [ $status -eq 0 ] || { echo "exit status $status"; exit 1; }
        echo "window 'Quarvel 1.0' $size closed by Alt+Q"
        exit 0
    fi
    sleep 0.1
done
echo "the program did not quit on Alt+Q"
exit 1
