#!/usr/bin/env bash
# Sets up, builds and runs the test suite headless.
# Usage: scripts/test.sh [--sanitize] [extra ctest arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
setup=()
if [ "${1:-}" = "--sanitize" ]; then build=build-asan; setup=(--sanitize); shift; fi
bash scripts/setup.sh "${setup[@]}"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
