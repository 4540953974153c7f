#!/usr/bin/env bash
# Sets up a Debian machine for Quarvel, builds it incrementally, then runs it or its tests.
#   ./build.sh run    install what building and running need, build Release and start it
#   ./build.sh test   install everything, build and pass every test, plain and sanitized
#   ./build.sh bench  build the benchmarks in Release and print their figures
set -euo pipefail
cd "$(dirname "$0")"

run_packages=(
    cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins
    fonts-liberation2 fonts-dejavu-core
    libavformat-dev libavcodec-dev libswscale-dev libavutil-dev libdvdread-dev
)
test_packages=(
    "${run_packages[@]}"
    xvfb xauth x11-utils xdotool xclip python3 desktop-file-utils appstream e2fsprogs
    ffmpeg handbrake-cli dvdauthor genisoimage
)

install_missing() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# Configuring again is quick and carries changed presets into an existing build folder.
build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1"
}

case "${1:-}" in
run)
    install_missing "${run_packages[@]}"
    build release
    exec build-release/bin/quarvel
    ;;
test)
    install_missing "${test_packages[@]}"
    build dev
    ctest --preset dev
    # The same suite again under AddressSanitizer and UndefinedBehaviorSanitizer; any report
    # fails the run.
    build asan
    ctest --preset asan
    ;;
bench)
    install_missing "${test_packages[@]}" libbenchmark-dev libx11-dev valgrind time
    build bench
    QT_QPA_PLATFORM=offscreen build-bench/bin/quarvel_bench --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true
    xvfb-run -a -s "-screen 0 1280x1024x24" bench/run_startup.sh build-bench 15
    xvfb-run -a -s "-screen 0 1280x1024x24" bench/run_instructions.sh build-bench
    bench/run_dialogs.sh build-bench
    bench/run_video.sh build-bench
    ;;
*)
    echo "usage: $0 run|test|bench" >&2
    exit 2
    ;;
esac
