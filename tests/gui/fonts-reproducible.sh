#!/bin/sh
# The committed bitmap fonts are what their builder makes from the installed DejaVu Sans.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
/usr/bin/python3 "$root/tools/fontgen/make_fonts.py" --out "$out" >/dev/null
for f in 20000.png 20000.map 20001.png 20001.map; do
    cmp "$out/$f" "$root/resources/fonts/$f" || {
        echo "resources/fonts/$f differs from what tools/fontgen/make_fonts.py makes" >&2
        exit 1
    }
done
