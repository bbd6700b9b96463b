#!/usr/bin/env bash
# Sets everything up, builds the plug-in and shows what a host sees of it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" native >/dev/null
"$root/build/bin/kavrel-info" "$root/build/bin/Kavrel.so"
