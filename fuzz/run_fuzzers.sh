#!/usr/bin/env bash
# Builds the fuzz targets with clang (coverage, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for the given number of seconds: the picture and number targets side by side,
# then the video opener.
#   fuzz/run_fuzzers.sh [seconds]
# Crashes land in build-fuzz/artifacts/; turn each into a file of the picture corpus (named by
# its right outcome) or a case of the number tests, so that the normal tests replay it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
command -v clang++ >/dev/null || { echo "clang++ is needed for fuzzing"; exit 2; }

cmake --preset fuzz >/dev/null
cmake --build build-fuzz --target fuzz_source_bitmap fuzz_typed_number fuzz_video_open

mkdir -p build-fuzz/corpus/bitmap build-fuzz/corpus/number build-fuzz/corpus/video \
    build-fuzz/artifacts
# Seeds like the test clips: program and transport streams, interlaced, one key frame, H.264
# in Matroska with an odd sample aspect.
seed() {
    local name=$1
    shift
    [ -e "build-fuzz/corpus/video/$name" ] ||
        ffmpeg -v error -f lavfi -i testsrc2=s=64x48:d=1 "$@" "build-fuzz/corpus/video/$name"
}
seed clip.mpg -c:v mpeg2video
seed onekey.vob -c:v mpeg2video -g 1000 -f vob
seed woven.ts -vf tinterlace=interleave_top -c:v mpeg2video -flags +ilme+ildct
seed sar.mkv -vf setsar=1/255 -c:v libx264 -preset ultrafast
cp -n tests/state/bitmap_corpus/* build-fuzz/corpus/bitmap/ 2>/dev/null || true
printf '.200000' >build-fuzz/corpus/number/plain
printf ', -12,5 ' >build-fuzz/corpus/number/fraction

export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp"
run() {
    local target=$1 corpus=$2
    shift 2
    ./build-fuzz/bin/"$target" "build-fuzz/corpus/$corpus" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=256 \
        -artifact_prefix=build-fuzz/artifacts/"$target"- -print_final_stats=1 "$@" \
        >"build-fuzz/$target.log" 2>&1
}
run fuzz_source_bitmap bitmap -max_len=65536 &
run fuzz_typed_number number -max_len=256 &
status=0
wait %1 || status=1
wait %2 || status=1
# The video opener decodes; it runs after the other two.
run fuzz_video_open video -max_len=262144 -timeout=30 || status=1
grep -h -E 'stat::number_of_executed_units|stat::peak_rss_mb|Done [0-9]+ runs' build-fuzz/*.log || true
exit $status
