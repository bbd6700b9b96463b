#!/usr/bin/env bash
# Sets everything up, builds the plug-in, loads it like a host and renders a one-minute
# showcase of the factory bank to a WAV file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" native >/dev/null
bin="$root/build/bin"
out="$root/out"
mkdir -p "$out/showcase"

# The plug-in reads and writes its machine-wide MIDI assignments in the user's settings
# folder; a demo render has no business there.
export XDG_CONFIG_HOME="$out/settings"

"$bin/kavrel-info" "$bin/Kavrel.so" | sed -n '1,7p'

# Program, pattern (1..16) and bars of each part of the showcase.
parts=(
  "0 1 4" "0 3 2"
  "1 1 4" "7 2 4"
  "9 1 4" "19 1 4"
  "8 1 2" "29 5 4"
  "42 3 4" "13 1 4"
)
programs=$("$bin/kavrel-info" "$bin/Kavrel.so" --programs)
files=()
echo
echo "Playing:"
for part in "${parts[@]}"; do
  read -r program pattern bars <<<"$part"
  line=$(awk -F'\t' -v p="$program" '$1 == p' <<<"$programs")
  tempo=$(cut -f2 <<<"$line" | tr -d ' ')
  name=$(cut -f3 <<<"$line")
  file="$out/showcase/part-${#files[@]}.wav"
  "$bin/kavrel-render" --plugin "$bin/Kavrel.so" --out "$file" --program "$program" \
    --pattern "$pattern" --bars "$bars" --sync int --tempo "$tempo" --seed 7 --quiet
  printf '  %-24s pattern %2d  %d bars at %s BPM\n' "$name" "$pattern" "$bars" "$tempo"
  files+=("$file")
done

python3 - "$out/kavrel-showcase.wav" "${files[@]}" <<'PY'
import sys, wave
out_path, parts = sys.argv[1], sys.argv[2:]
with wave.open(parts[0]) as first:
    params = first.getparams()
with wave.open(out_path, "wb") as out:
    out.setparams(params)
    for path in parts:
        with wave.open(path) as part:
            out.writeframes(part.readframes(part.getnframes()))
    seconds = out.getnframes() / params.framerate
print(f"\nWrote {out_path} ({seconds:.1f} s, {params.framerate} Hz, {8 * params.sampwidth}-bit stereo)")
PY
