#!/usr/bin/env bash
# Takes screenshots of the main window on the simulated conference under
# Xvfb: narrow (as started), then wide (after "Abre"), after a few seconds of
# simulated activity. Needs xvfb-run, ImageMagick's import and xdotool.
# SCALE (default 1) runs the window on a screen of that scale
# (QT_SCALE_FACTOR); its pictures are then named radiosala-narrow-xSCALE.png.
#
#   bash scripts/screenshot.sh [BUILD_DIR] [OUT_DIR] [SCALE]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-.}
scale=${3:-1}
suffix=""
[ "$scale" = 1 ] || suffix="-x$scale"
mkdir -p "$out"
out=$(cd "$out" && pwd)
exe="$build/src/app/radiosala"
[ -x "$exe" ] || { echo "screenshot: $exe is not built" >&2; exit 1; }

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat > "$inner" <<'INNER'
set -euo pipefail
exe=$1; out=$2; scale=$3; suffix=$4
work=$(mktemp -d)
cd "$work"
QT_SCALE_FACTOR=$scale "$exe" --station sim --sim-seed 3 &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do
    win=$(xdotool search --name "^Radiosala por ZZ9XQ" 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    sleep 0.2
done
[ -n "${win:-}" ] || { echo "screenshot: the window did not appear" >&2; exit 1; }
xdotool windowmove "$win" 0 0
sleep 4
import -window "$win" "$out/radiosala-narrow$suffix.png"
# "Abre" sits in the frame "Estações": client (344, 112) to (433, 137) at
# scale 1; the screen counts in device pixels.
xdotool mousemove --window "$win" $(awk -v s="$scale" 'BEGIN { printf "%d %d", 388 * s, 124 * s }') click 1
sleep 2
import -window "$win" "$out/radiosala-wide$suffix.png"
INNER
xvfb-run -a -s "-screen 0 2560x2560x24" bash "$inner" "$(cd "$(dirname "$exe")" && pwd)/radiosala" "$out" "$scale" "$suffix"
echo "screenshot: $out/radiosala-narrow$suffix.png $out/radiosala-wide$suffix.png"
