#!/usr/bin/env bash
# The same build renders the same samples every time with the same seed, in separate
# processes: scripts/compare-renders.py run on one plug-in against itself (a few factory
# programs and the busiest pattern) must find no difference at all. The same script compares
# two builds when a change is meant to alter the sound.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
plugin="$root/build/bin/Kavrel.so"
render="$root/build/bin/kavrel-render"
for file in "$plugin" "$render"; do
  if [ ! -f "$file" ]; then
    echo "test-renders: $file is missing: build the native flavour first" >&2
    exit 1
  fi
done
report=$("$root/scripts/compare-renders.py" "$plugin" "$plugin" --render "$render" \
  --programs 0-3 --bars 2 --limit -200)
echo "$report"
if ! grep -q "^worst peak difference -inf dBFS" <<<"$report"; then
  echo "test-renders: two renders with the same seed differ" >&2
  exit 1
fi
