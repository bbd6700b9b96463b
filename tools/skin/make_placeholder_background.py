#!/usr/bin/python3
"""Writes resources/images/10000.png: a plain 728 x 595 RGB editor background that stands in
until the designed skin replaces it. Quiet dark panels, sections told apart by value only."""
import os

from PIL import Image, ImageDraw

W, H = 728, 595
BASE = (34, 36, 40)
# (rectangle, fill): the voice page, the lane, the step rows, the mixer strip, the transport
# column, in the layout's regions.
PANELS = [
    ((8, 4, 538, 176), (44, 47, 52)),
    ((8, 180, 538, 256), (40, 43, 48)),
    ((8, 262, 538, 500), (30, 32, 36)),
    ((8, 506, 538, 588), (44, 47, 52)),
    ((546, 262, 720, 588), (44, 47, 52)),
]


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    out = os.path.join(root, "resources", "images", "10000.png")
    image = Image.new("RGB", (W, H), BASE)
    draw = ImageDraw.Draw(image)
    for rect, fill in PANELS:
        draw.rectangle((rect[0], rect[1], rect[2] - 1, rect[3] - 1), fill=fill)
        # A one-pixel lighter top edge lifts each panel off the base.
        lift = tuple(min(255, c + 10) for c in fill)
        draw.line((rect[0], rect[1], rect[2] - 1, rect[1]), fill=lift)
    image.save(out, optimize=False)


if __name__ == "__main__":
    main()
