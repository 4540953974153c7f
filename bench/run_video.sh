#!/usr/bin/env bash
# Sampling 24 frames of a 1 GB MPEG-2 program stream, of a DVD folder whose main title spans
# two VOB files, of an image of that disc and of a copy whose second VOB file is all zeros, of a
# 1 GB 1080i H.264 transport stream and of HD clips both short and repeated to 1 GB, side by side
# with HandBrake's scan of 24 previews of the same, with the peak memory of each; then quarvel
# --detect on the MPEG-2 and the 1080i streams from process start to exit, beside HandBrake and
# ffmpeg's cropdetect. The files are made once and kept in BUILD_DIR/bench-data.
#   bench/run_video.sh BUILD_DIR
set -eu
build=$1
data=$build/bench-data
movie=$data/movie.mpg
if [ ! -e "$movie" ]; then
    echo "Making a 1 GB MPEG-2 program stream once (a few minutes) ..."
    mkdir -p "$data"
    ffmpeg -v error -f lavfi -i "testsrc2=s=720x576:r=25,setsar=64/45" -t 1000 -c:v mpeg2video \
        -b:v 8M -minrate 8M -maxrate 8M -bufsize 1835k -f vob -y "$movie.part"
    mv "$movie.part" "$movie"
fi
# A 4 s extra and a 20 minute main title of two cells, 1.2 GB: VTS_01_1.VOB and VTS_01_2.VOB.
dvd=$data/dvd
if [ ! -e "$dvd/VIDEO_TS/VTS_01_2.VOB" ]; then
    echo "Authoring a DVD folder once ..."
    rm -rf "$dvd" && mkdir -p "$dvd.work"
    ffmpeg -v error -f lavfi -i "testsrc2=s=720x576:r=25:d=4" -target pal-dvd -aspect 16:9 -an \
        -y "$dvd.work/extra.mpg"
    for part in 0 400; do
        ffmpeg -v error -ss $part -i "$movie" -t 600 -c copy -f dvd -packetsize 2048 \
            -muxrate 10080000 -y "$dvd.work/main$part.mpg"
    done
    cat >"$dvd.work/dvd.xml" <<XML
<dvdauthor dest="$dvd"><vmgm/><titleset><titles><video format="pal" aspect="16:9"/>
<pgc><vob file="$dvd.work/extra.mpg"/></pgc>
<pgc><vob file="$dvd.work/main0.mpg"/><vob file="$dvd.work/main400.mpg"/></pgc>
</titles></titleset></dvdauthor>
XML
    VIDEO_FORMAT=PAL dvdauthor -x "$dvd.work/dvd.xml" >/dev/null 2>&1
    rm -rf "$dvd.work"
fi
iso=$data/dvd.iso
[ -e "$iso" ] || genisoimage -quiet -dvd-video -o "$iso" "$dvd"
zeroed=$data/dvd-zeroed
if [ ! -e "$zeroed/VIDEO_TS/VTS_01_2.VOB" ]; then
    mkdir -p "$zeroed/VIDEO_TS"
    cp "$dvd"/VIDEO_TS/*.IFO "$dvd"/VIDEO_TS/*.BUP "$dvd/VIDEO_TS/VTS_01_1.VOB" "$zeroed/VIDEO_TS/"
    truncate -s "$(stat -c %s "$dvd/VIDEO_TS/VTS_01_2.VOB")" "$zeroed/VIDEO_TS/VTS_01_2.VOB"
fi
# A broadcast recording: 1080i, top field first, a key frame every half second, 20 Mbit/s; one
# minute encoded, then repeated to 1 GB.
hd=$data/broadcast.ts
if [ ! -e "$hd" ]; then
    echo "Making a 1 GB 1080i H.264 transport stream once (a few minutes) ..."
    ffmpeg -v error -f lavfi -i "testsrc2=s=1920x1080:r=50,interlace=scan=tff" -t 60 \
        -c:v libx264 -preset ultrafast -flags +ilme+ildct -x264opts tff=1 -g 12 -b:v 20M \
        -maxrate 20M -bufsize 10M -f mpegts -y "$hd.minute"
    ffmpeg -v error -stream_loop 6 -i "$hd.minute" -c copy -f mpegts -y "$hd.part"
    rm "$hd.minute"
    mv "$hd.part" "$hd"
fi
# Short HD clips, whose few key frames make most frames decoded: 1080p HEVC and H.264 in 10 bits
# with a key frame every 2 s, and 1080i H.264 with one every second.
for clip in hevc10.mkv h264_10.mkv i1080.ts; do
    [ -e "$data/$clip" ] && continue
    case $clip in
    hevc10.mkv) args=(-c:v libx265 -preset ultrafast -pix_fmt yuv420p10le -x265-params keyint=50:log-level=error) ;;
    h264_10.mkv) args=(-c:v libx264 -preset ultrafast -pix_fmt yuv420p10le -g 50) ;;
    i1080.ts) args=(-vf interlace=scan=tff -c:v libx264 -preset ultrafast -flags +ilme+ildct -x264opts tff=1 -g 25 -b:v 15M) ;;
    esac
    rate=25
    [ "$clip" = i1080.ts ] && rate=50
    ffmpeg -v error -f lavfi -i "testsrc2=s=1920x1080:r=$rate:d=6" "${args[@]}" -y "$data/$clip"
done
# The same clips repeated to 1 GB: a long video with as long GOPs, whose points lie far apart.
for clip in hevc10.mkv h264_10.mkv i1080.ts; do
    [ -e "$data/long_$clip" ] && continue
    format=matroska
    [ "${clip##*.}" = ts ] && format=mpegts
    ffmpeg -v error -stream_loop $((1073741824 / $(stat -c %s "$data/$clip"))) -i "$data/$clip" \
        -c copy -f $format -y "$data/long_$clip"
done
handbrake() {
    local start=$(date +%s%N)
    /usr/bin/time -f "%M" -o "$data/handbrake.kb" HandBrakeCLI --scan --previews 24 "$@" \
        >/dev/null 2>&1
    awk -v ns=$(($(date +%s%N) - start)) -v kb=$(cat "$data/handbrake.kb") \
        'BEGIN { printf "HandBrake scanned 24 previews in %.2f s, peak %d MB\n", ns / 1e9, kb / 1024 }'
}
for run in 1 2 3; do
    "$build/bin/video_sampling" "$movie"
    handbrake -i "$movie"
done
for disc in "$dvd" "$iso" "$zeroed"; do
    for run in 1 2 3; do
        "$build/bin/video_sampling" "$disc"
        handbrake -i "$disc" --main-feature
    done
done
for clip in "$hd" "$data"/{,long_}{hevc10.mkv,h264_10.mkv,i1080.ts}; do
    for run in 1 2 3; do
        "$build/bin/video_sampling" "$clip"
        handbrake -i "$clip"
    done
done
# The command line from process start to exit, against HandBrake's scan and against ffmpeg's
# cropdetect at 24 points (one process per seek, as a script would run it).
timed() {
    local label=$1 start=$(date +%s%N)
    shift
    /usr/bin/time -f "%M" -o "$data/timed.kb" "$@" >/dev/null 2>&1
    awk -v ns=$(($(date +%s%N) - start)) -v kb=$(cat "$data/timed.kb") -v label="$label" \
        'BEGIN { printf "%s in %.2f s, peak %d MB\n", label, ns / 1e9, kb / 1024 }'
}
cropdetect() {
    local length
    length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1")
    for i in $(seq 0 23); do
        ffmpeg -v error -ss "$(awk -v l="$length" -v i=$i 'BEGIN { print l * (0.05 + 0.9 * i / 23) }')" \
            -i "$1" -frames:v 2 -vf cropdetect -f null - || return
    done
}
for clip in "$movie" "$hd"; do
    for run in 1 2 3; do
        timed "quarvel --detect $(basename "$clip")" "$build/bin/quarvel" --detect "$clip"
        handbrake -i "$clip"
        timed "ffmpeg cropdetect at 24 points" bash -c "$(declare -f cropdetect); cropdetect \"\$0\"" "$clip"
    done
done
