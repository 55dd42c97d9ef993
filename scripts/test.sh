#!/usr/bin/env bash
# Sets up, builds and runs the test suite headless.
# Usage: scripts/test.sh [extra ctest arguments]
#        scripts/test.sh --sanitize [extra ctest arguments]
#   --sanitize builds with ASan+UBSan into build-asan; with -L LABEL it builds
#   only the tests carrying that label (their libraries come along).
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen

if [ "${1:-}" != "--sanitize" ]; then
    bash scripts/setup.sh
    cd build
    exec ctest --output-on-failure -j"$(nproc)" "$@"
fi

shift
bash scripts/setup.sh --sanitize --configure-only
label=""
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
    [ "${args[$i]}" = "-L" ] && label="${args[$((i + 1))]:-}"
done
cd build-asan
if [ -n "$label" ]; then
    mapfile -t targets < <(ctest -N -L "$label" | sed -n 's/^ *Test *#[0-9]*: *//p')
    if [ ${#targets[@]} -gt 0 ]; then
        cmake --build . -j"$(nproc)" --target "${targets[@]}"
    fi
else
    cmake --build . -j"$(nproc)"
fi
exec ctest --output-on-failure -j"$(nproc)" "$@"
