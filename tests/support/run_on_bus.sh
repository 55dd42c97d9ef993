#!/usr/bin/env bash
# Runs a command where assistive technology can reach Qt programs: a D-Bus
# session of its own (the accessibility bus starts on demand), an X server of
# its own, Qt on X with its AT-SPI bridge on, and a scratch home, settings and
# data folder that the command also runs in.
# Usage: run_on_bus.sh <command> [arguments...]
set -euo pipefail

if [ -z "${RADIOSALA_ON_BUS:-}" ]; then
    export RADIOSALA_ON_BUS=1
    exec dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }

export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work"
# A desktop session starts the accessibility bus at log-in; Qt joins it only
# once it is there.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
cd "$work"
status=0
"$@" || status=$?
exit $status
