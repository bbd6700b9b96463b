#!/bin/sh
# Runs a command with an X display: the one in DISPLAY when set, otherwise a virtual one
# (Xvfb) on a display number it picks itself, stopped again afterwards.
set -u
if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi
numberfile=$(mktemp)
# -noreset: without it the server resets when the last client closes, and a client that
# connects during the reset (the next test) is refused.
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$numberfile" 2>/dev/null &
xvfb=$!
tries=0
while [ ! -s "$numberfile" ] && [ $tries -lt 100 ]; do
    sleep 0.05
    tries=$((tries + 1))
done
if [ ! -s "$numberfile" ]; then
    echo "xvfb-run.sh: Xvfb did not start" >&2
    kill "$xvfb" 2>/dev/null
    rm -f "$numberfile"
    exit 1
fi
DISPLAY=":$(cat "$numberfile")"
export DISPLAY
rm -f "$numberfile"
"$@"
status=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $status
