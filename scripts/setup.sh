#!/usr/bin/env bash
# Installs what the build needs (Debian 12, as root) and configures + builds.
# Idempotent: when every package is present it only runs the incremental build.
# Usage: scripts/setup.sh [--sanitize] [--configure-only] [--no-build]
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(cmake g++ ninja-build ccache pkg-config
          qt6-base-dev qt6-pdf-dev libqt6pdfwidgets6 qt6-multimedia-dev libgl-dev
          fonts-liberation2 libgsm1-dev qt6-translations-l10n
          clang libclang-rt-14-dev
          xvfb xauth xdotool imagemagick
          dbus at-spi2-core python3-pyatspi)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: missing packages: ${missing[*]}; run as root to install them" >&2
        exit 1
    fi
    echo "setup: installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=build
flags=()
configure_only=0
for a in "$@"; do
    case "$a" in
        --sanitize) build=build-asan; flags+=(-DRADIOSALA_SANITIZE=ON) ;;
        --no-build) exit 0 ;;
        --configure-only) configure_only=1 ;;
        *) echo "setup: unknown option $a" >&2; exit 2 ;;
    esac
done

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "${flags[@]}"
fi
[ "$configure_only" = 1 ] && exit 0
cmake --build "$build" -j"$(nproc)"
