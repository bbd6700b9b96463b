#!/usr/bin/env bash
# The editor of the built DLL in real windows under wine, on a virtual X display, compared with
# the offscreen render of the same editor (drawn by the Windows build too, under wine).
#   editor-window-test-wine.sh <kavrel-editor-png.exe> <kavrel-editor-host.exe> <Kavrel.dll> <work dir>
set -eu
render=$1
host=$2
plugin=$3
work=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
# The build's private wine prefix, with no display of its own: xvfb-run.sh provides one.
source "$root/scripts/wine-env.sh"
mkdir -p "$work"
reference=$(winepath -w "$work/editor-offscreen.png")
wine "$render" "$reference"
# Our windows go on a desktop of their own: the default desktop of the prefix may still belong
# to an earlier headless test and have no display.
exec "$root/tests/gui/xvfb-run.sh" wine "$host" "$(winepath -w "$plugin")" \
    --reference "$reference" --save "$(winepath -w "$work/editor-window.png")" \
    --desktop kavrel-editor-test --cycles 100 --instances 3
