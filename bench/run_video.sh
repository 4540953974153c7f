#!/usr/bin/env bash
# Sampling 24 frames of a 1 GB MPEG-2 program stream, side by side with HandBrake's scan of 24
# previews of the same file. The file is made once and kept in BUILD_DIR/bench-data.
#   bench/run_video.sh BUILD_DIR
set -eu
build=$1
movie=$build/bench-data/movie.mpg
if [ ! -e "$movie" ]; then
    echo "Making a 1 GB MPEG-2 program stream once (a few minutes) ..."
    mkdir -p "$(dirname "$movie")"
    ffmpeg -v error -f lavfi -i "testsrc2=s=720x576:r=25,setsar=64/45" -t 1000 -c:v mpeg2video \
        -b:v 8M -minrate 8M -maxrate 8M -bufsize 1835k -f vob -y "$movie.part"
    mv "$movie.part" "$movie"
fi
for run in 1 2 3; do
    "$build/bench/video_sampling" "$movie"
    start=$(date +%s%N)
    HandBrakeCLI --scan --previews 24 -i "$movie" >/dev/null 2>&1
    awk -v ns=$(($(date +%s%N) - start)) \
        'BEGIN { printf "HandBrake scanned 24 previews in %.2f s\n", ns / 1e9 }'
done
