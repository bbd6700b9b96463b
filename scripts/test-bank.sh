#!/usr/bin/env bash
# The factory bank: its sources must match their design, and every pattern of every program
# is rendered and measured (silence, duplicates, clipping, loudness, voices in use); any
# miss fails the run. docs/factory-bank.md holds the last committed report.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
python3 "$root/resources/factory-design/generate.py" --check
# The measurement's own default: every pattern that rolls dice plays 32 bars with each of 8
# seeds, one that rolls none 256 bars once; no bar of any take may peak above -0.3 dBFS, and
# none above -2 dBFS, the room longer takes need.
XDG_CONFIG_HOME="$root/build/test-settings" python3 "$root/scripts/measure-bank.py" \
  --build "$root/build" --report "$root/build/factory-bank.md"
if ! cmp -s "$root/build/factory-bank.md" "$root/docs/factory-bank.md"; then
  echo "test-bank: docs/factory-bank.md differs from this measurement; if the bank changed," \
       "copy build/factory-bank.md over it and commit it" >&2
fi
