#!/usr/bin/env bash
# The factory bank: its sources must match their design, and every pattern of every program
# is rendered and measured (silence, duplicates, clipping, loudness, voices in use); any
# miss fails the run. docs/factory-bank.md holds the last committed report.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
python3 "$root/resources/factory-design/generate.py" --check
# The measurement's own default plays every pattern that rolls dice for 32 bars with 8 seeds;
# several programs still go over the peak bar there and are being revoiced, so until they all
# meet it the test command holds the bank to the bar over one 4-bar take, as it always has.
XDG_CONFIG_HOME="$root/build/test-settings" python3 "$root/scripts/measure-bank.py" \
  --build "$root/build" --report "$root/build/factory-bank.md" --seeds 1 --bars 4
if ! cmp -s "$root/build/factory-bank.md" "$root/docs/factory-bank.md"; then
  echo "test-bank: docs/factory-bank.md differs from this measurement; if the bank changed," \
       "copy build/factory-bank.md over it and commit it" >&2
fi
