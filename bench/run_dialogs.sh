#!/usr/bin/env bash
# What showing the open dialog again costs: the instructions of the second show (callgrind, one
# show against two) and the heap growth over 100 more shows.
#   bench/run_dialogs.sh BUILD_DIR
set -eu
program=$1/bin/dialog_opens
out=$(mktemp -d)
# A folder of screenshots, as the dialog usually shows.
mkdir "$out/shots"
for i in $(seq 20); do head -c 1000 /dev/zero >"$out/shots/shot-$i.bmp"; done
export QT_QPA_PLATFORM=offscreen
for shows in 1 2; do
    valgrind --tool=callgrind --callgrind-out-file="$out/$shows" "$program" $shows "$out/shots" >/dev/null 2>&1
done
one=$(sed -n 's/^summary: //p' "$out/1")
two=$(sed -n 's/^summary: //p' "$out/2")
echo "file dialog: first show $((one / 1000000)) M instructions, second show $(((two - one) / 1000000)) M"
"$program" 101 "$out/shots" 2>/dev/null
rm -rf "$out"
