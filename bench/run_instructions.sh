#!/usr/bin/env bash
# Instructions from the start to the first paint (the window mapped, then a few idle seconds) of
# Quarvel and of the reference window, counted by callgrind: unlike times, the counts repeat on
# a busy machine. Run under xvfb-run.
#   bench/run_instructions.sh BUILD_DIR
set -eu
build=$1
out=$(mktemp -d)
count() {
    WINDOW_TIMER_IDLE_MS=6000 "$build/bin/window_timer" valgrind --tool=callgrind \
        --callgrind-out-file="$out/$1" "$2" >/dev/null 2>&1
    sed -n 's/^summary: //p' "$out/$1"
}
quarvel=$(count quarvel "$build/bin/quarvel")
reference=$(count reference "$build/bin/reference_window")
python3 -c "
q, r = $quarvel, $reference
print(f'instructions to first paint: quarvel {q/1e6:.1f} M   reference {r/1e6:.1f} M   ratio {q/r:.2f}x')"
rm -rf "$out"
