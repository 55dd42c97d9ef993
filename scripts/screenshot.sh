#!/usr/bin/env bash
# Takes screenshots of the main window on the simulated conference under
# Xvfb: narrow (as started), then wide (after "Abre"), after a few seconds of
# simulated activity. Needs xvfb-run, ImageMagick's import and xdotool.
#
#   bash scripts/screenshot.sh [BUILD_DIR] [OUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-.}
mkdir -p "$out"
out=$(cd "$out" && pwd)
exe="$build/src/app/radiosala"
[ -x "$exe" ] || { echo "screenshot: $exe is not built" >&2; exit 1; }

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat > "$inner" <<'INNER'
set -euo pipefail
exe=$1; out=$2
work=$(mktemp -d)
cd "$work"
"$exe" --station sim --sim-seed 3 &
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
import -window "$win" "$out/radiosala-narrow.png"
# "Abre" sits in the frame "Estações": client (344, 112) to (433, 137).
xdotool mousemove --window "$win" 388 124 click 1
sleep 2
import -window "$win" "$out/radiosala-wide.png"
INNER
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$inner" "$(cd "$(dirname "$exe")" && pwd)/radiosala" "$out"
echo "screenshot: $out/radiosala-narrow.png $out/radiosala-wide.png"
