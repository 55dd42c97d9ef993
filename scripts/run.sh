#!/usr/bin/env bash
# Sets up, builds and starts Radiosala on the simulated conference.
# Extra arguments go to the program (try --help).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run: no display found; starting under Xvfb (nothing will be visible)" >&2
    exec xvfb-run -a build/src/app/radiosala "$@"
fi
exec build/src/app/radiosala "$@"
