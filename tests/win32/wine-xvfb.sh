#!/usr/bin/env bash
# Runs a Windows program under wine, in the build's private prefix, on a virtual X display.
#   wine-xvfb.sh <program.exe> [arguments]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/wine-env.sh"
exec "$root/tests/gui/xvfb-run.sh" wine "$@"
