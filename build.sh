#!/usr/bin/env bash
# Sets up a Debian machine for Quarvel, builds it incrementally, then runs it or its tests.
#   ./build.sh run    build and start the program
#   ./build.sh test   build and run every test
#   ./build.sh bench  build in Release and print the benchmark figures
set -euo pipefail
cd "$(dirname "$0")"

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins libgtest-dev
    fonts-liberation2 fonts-dejavu-core
    xvfb xauth x11-utils xdotool
    desktop-file-utils appstream
    dbus-daemon at-spi2-core python3 python3-pyatspi
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

configure_and_build() {
    local dir=$1
    shift
    [ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir"
}

case "${1:-}" in
run)
    install_missing "${packages[@]}"
    configure_and_build build
    exec build/src/app/quarvel
    ;;
test)
    install_missing "${packages[@]}"
    configure_and_build build
    ctest --test-dir build --output-on-failure -j 2
    # The same suite again under AddressSanitizer and UndefinedBehaviorSanitizer; any report
    # fails the run.
    sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    configure_and_build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
        LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp" \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-asan --output-on-failure -j 2
    ;;
bench)
    install_missing "${packages[@]}" libbenchmark-dev libx11-dev python3
    configure_and_build build-bench -DCMAKE_BUILD_TYPE=Release -DQUARVEL_BENCH=ON \
        -DQUARVEL_BUILD_TESTS=OFF
    QT_QPA_PLATFORM=offscreen build-bench/bench/quarvel_bench --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true
    xvfb-run -a -s "-screen 0 1280x1024x24" bench/run_startup.sh build-bench 15
    ;;
*)
    echo "usage: $0 run|test|bench" >&2
    exit 2
    ;;
esac
