#!/bin/sh
# Runs a command on a display of its own: Xvfb on a free display number and
# the openbox window manager, both ended when the command ends.
#   tests/support/with-display.sh command [arguments...]
set -eu
work=$(mktemp -d "${TMPDIR:-/tmp}/marlox-display.XXXXXX")
xvfb=""
wm=""
finish() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null && wait "$wm" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT INT TERM

# Xvfb picks a free display and writes its number once it takes connections;
# reading the pipe waits for exactly that.
mkfifo "$work/display" "$work/wm"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r number <"$work/display" || true
if [ -z "${number:-}" ]; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
DISPLAY=":$number"
export DISPLAY
unset WAYLAND_DISPLAY

# openbox runs its start-up command once it manages the screen.
openbox --sm-disable --startup "sh -c 'echo ready >\"$work/wm\"'" >"$work/openbox.log" 2>&1 &
wm=$!
read -r ready <"$work/wm" || true
if [ "${ready:-}" != ready ]; then
    echo "openbox did not start:" >&2
    cat "$work/openbox.log" >&2
    exit 1
fi

status=0
QT_QPA_PLATFORM=xcb "$@" || status=$?
exit "$status"
