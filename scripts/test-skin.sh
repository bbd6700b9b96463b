#!/usr/bin/env bash
# The editor's skin: every image in resources/images has the size, colour type and frames
# the editor expects, every text in it reads (contrast at least 4.5:1, the lowest is
# printed), no caption lies under a control, and the committed images and the preview are
# exactly what tools/skin/build_skin.py draws now. Needs python3-cairo and the DejaVu fonts
# from scripts/setup.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Debian's interpreter: python3-cairo is installed for it, not for any other python3 on PATH.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" "$root/tests/skin/test_check_skin.py"
"$python" "$root/tools/skin/check_skin.py"
