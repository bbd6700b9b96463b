#!/bin/sh
# The editor of the built plug-in in a real X11 window, compared with the offscreen render.
#   editor-window-test.sh <kavrel-editor-png> <kavrel-editor-host> <Kavrel.so> <work dir>
set -eu
render=$1
host=$2
plugin=$3
work=$4
mkdir -p "$work"
"$render" "$work/editor-offscreen.png"
exec "$(dirname "$0")/xvfb-run.sh" "$host" "$plugin" --reference "$work/editor-offscreen.png" \
    --save "$work/editor-window.png" --cycles 100 --instances 3
