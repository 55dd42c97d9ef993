#!/bin/sh
# Fuzzes the .ico/.bmp readers of the software GDI with libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer.
#   scripts/fuzz-icons.sh [seconds]      (default 300)
# Builds in build-fuzz (clang, RADIOSALA_FUZZ), seeds build-fuzz/icon-corpus,
# and leaves any crashing input as build-fuzz/crash-*.
set -eu
seconds=${1:-300}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DRADIOSALA_FUZZ=ON >/dev/null
cmake --build "$build" --target fuzz_icons make_icon_seeds -j2
mkdir -p "$build/icon-corpus"
QT_QPA_PLATFORM=offscreen "$build/tests/platform/gdi/make_icon_seeds" "$build/icon-corpus"
cd "$build"
ASAN_OPTIONS=detect_leaks=1 "$build/tests/platform/gdi/fuzz_icons" -max_total_time="$seconds" \
    -max_len=70000 -rss_limit_mb=2048 -print_final_stats=1 icon-corpus
