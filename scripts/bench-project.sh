#!/usr/bin/env bash
# The project figures on both platforms: sixteen instances made through the entry point, saved
# and reopened (kavrel_project), and the creation of later instances, the worst of ten fresh
# processes. The Windows figures come from the DLL under wine. Build first:
#   scripts/build.sh native && scripts/build.sh windows
#   scripts/bench-project.sh [NATIVE_PLUGIN [DLL]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=${1:-$root/build/bin/Kavrel.so}
dll=${2:-$root/build-win/bin/Kavrel.dll}

# The worst time of instances 2 and 3, each run in a fresh process, over ten runs.
worst_later() {
  local worst=0
  for _ in $(seq 10); do
    local ms
    ms=$("$@" --create 3 | awk '/^instance [23] / { if ($3 > w) w = $3 } END { print w + 0 }')
    worst=$(awk -v a="$worst" -v b="$ms" 'BEGIN { print (b > a) ? b : a }')
  done
  echo "instance creation, later (worst of 10 fresh processes)   $worst ms"
}

echo "== native: $native"
"$root/build/bin/kavrel_project" "$native" 16
worst_later "$root/build/bin/kavrel_project" "$native"

if [ -f "$dll" ] && [ -f "$root/build-win/bin/kavrel_project.exe" ]; then
  echo "== Windows under wine: $dll"
  source "$root/scripts/wine-env.sh"
  wine "$root/build-win/bin/kavrel_project.exe" "$dll" 16 | tr -d '\r'
  worst_later wine "$root/build-win/bin/kavrel_project.exe" "$dll"
fi
