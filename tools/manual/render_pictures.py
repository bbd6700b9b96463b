#!/usr/bin/python3
"""Renders the manual's pictures from the running editor.

    tools/manual/render_pictures.py [--editor-png build/bin/kavrel-editor-png] [--out docs/manual]

Every picture is the editor drawn offscreen by kavrel-editor-png, whole or cut to one part of
the window, so the manual shows exactly what the plug-in draws. Run it again after a change to
the skin or the layout and commit the pictures; packaging uses the committed ones, so it
needs neither a display nor this script.
"""

import argparse
import os
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))

VOICES = ["kick", "snare-8", "snare-9", "low-tom", "mid-tom", "high-tom", "closed-hat",
          "open-hat", "cymbal", "rimshot", "clap", "cowbell"]

# Parts of the 728 x 595 window: (left, top, right, bottom), right and bottom excluded.
PAGE = (0, 0, 547, 166)
LANE = (0, 166, 547, 260)
STEPS = (0, 272, 547, 459)
TOOLS = (0, 458, 547, 510)
MIXER = (0, 510, 547, 595)
MASTER = (547, 260, 728, 595)

# The overview's numbered parts, in the order the manual describes them.
CALLOUTS = [
    (1, (9, 3, 539, 160)),
    (2, (9, 172, 539, 256)),
    (3, (28, 283, 530, 458)),
    (4, (28, 459, 530, 507)),
    (5, (9, 512, 539, 592)),
    (6, (555, 283, 715, 592)),
]
ACCENT = (255, 153, 0)
MARGIN = 16
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def render(tool, path, *args):
    subprocess.run([tool, path, *[str(a) for a in args]], check=True)
    return Image.open(path).convert("RGB")


def overview(window):
    """The whole window on a dark margin, each part outlined and numbered at its corner."""
    w, h = window.size
    out = Image.new("RGB", (w + 2 * MARGIN, h + 2 * MARGIN), (14, 15, 17))
    out.paste(window, (MARGIN, MARGIN))
    layer = Image.new("RGBA", out.size, (0, 0, 0, 0))
    draw = ImageDraw.Draw(layer)
    font = ImageFont.truetype(FONT, 12)
    for number, (left, top, right, bottom) in CALLOUTS:
        box = (left + MARGIN, top + MARGIN, right + MARGIN - 1, bottom + MARGIN - 1)
        draw.rectangle(box, outline=ACCENT + (200,), width=1)
    for number, (left, top, _, _) in CALLOUTS:
        cx, cy, r = left + MARGIN, top + MARGIN, 9
        draw.ellipse((cx - r, cy - r, cx + r, cy + r), fill=ACCENT + (255,),
                     outline=(14, 15, 17, 255), width=2)
        draw.text((cx, cy), str(number), font=font, fill=(14, 15, 17, 255), anchor="mm")
    out.paste(layer, (0, 0), layer)
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--editor-png", default=os.path.join(ROOT, "build", "bin",
                                                             "kavrel-editor-png"))
    parser.add_argument("--out", default=os.path.join(ROOT, "docs", "manual"))
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    tool = args.editor_png

    def save(image, name):
        image.save(os.path.join(args.out, name), optimize=True)

    with tempfile.TemporaryDirectory() as tmp:
        shot = os.path.join(tmp, "shot.png")
        window = render(tool, shot, "--program", 0)
        save(overview(window), "window.png")
        for voice, name in enumerate(VOICES):
            save(render(tool, shot, "--program", 0, "--voice", voice).crop(PAGE),
                 f"page-{name}.png")
        # A rising clap tone, drawn per step in the lane (program 24, pattern 9).
        save(render(tool, shot, "--program", 24, "--pattern", 9, "--voice", 10,
                    "--lane", 71).crop(LANE), "lane.png")
        busy = render(tool, shot, "--program", 24, "--pattern", 11)
        save(busy.crop(STEPS), "steps.png")
        save(busy.crop(TOOLS), "tools.png")
        save(window.crop(MIXER), "mixer.png")
        save(window.crop(MASTER), "master.png")
    return 0


if __name__ == "__main__":
    sys.exit(main())
