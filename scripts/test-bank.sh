#!/usr/bin/env bash
# The factory bank: its sources must match their design, and every pattern of every program
# is rendered and measured (silence, duplicates, clipping, loudness, voices in use). The
# measurement reports without failing the run until the bank meets the whole bar; see
# docs/factory-bank.md for the last committed report.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
python3 "$root/resources/factory-design/generate.py" --check
XDG_CONFIG_HOME="$root/build/test-settings" python3 "$root/scripts/measure-bank.py" \
  --build "$root/build" --report "$root/build/factory-bank.md" --report-only
