#!/usr/bin/python3
"""Builds the editor's two bitmap fonts from DejaVu Sans (Debian: fonts-dejavu-core).

Each font is a 256 x 256 RGBA glyph sheet (PNG) and a glyph map in the FONTRAST format:
"FONTRAST", version 1, glyph count, spare, first and last code, line height, then one 16-byte
record per glyph (code, 0, x, y, width, height, overhang, advance), all little-endian.

Glyphs are rendered by FreeType (through Pillow) with the font's hinting, one at a time at a
whole-pixel origin, because the editor draws each glyph at a whole-pixel pen position. The
output depends only on the font file and this script: run it again and diff.

    tools/fontgen/make_fonts.py [--out resources/fonts] [--preview DIR]
"""
import argparse
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

# id: pixel size, box height, rows above the ascender line, glyph colour
FONTS = {
    # Captions and knob labels: pale grey on the dark panel.
    20000: dict(size=8, height=12, top=1, color=(226, 230, 234)),
    # List boxes and the velocity read-outs: the menus' red, lifted for legibility on their
    # dark grey background.
    20001: dict(size=9, height=11, top=0, color=(255, 84, 72)),
}

# 32..126 without the grave accent, plus the pound sign: 95 glyphs.
CODES = [c for c in range(32, 127) if c != 96] + [163]
SHEET = 256


def glyph_metrics(font, ch):
    left, _, right, _ = font.getbbox(ch)
    advance = int(font.getlength(ch) + 0.5)
    if ch == " ":
        return 0, 0, advance
    overhang = 1 if left < 0 else 0
    width = max(0, right) + overhang
    return width, overhang, advance


def build(font_id, style):
    font = ImageFont.truetype(FONT_FILE, style["size"])
    height = style["height"]
    sheet = Image.new("RGBA", (SHEET, SHEET), (0, 0, 0, 0))
    records = []
    x, y = 1, 1
    for code in CODES:
        ch = bytes([code]).decode("latin-1")
        width, overhang, advance = glyph_metrics(font, ch)
        if x + width >= SHEET:
            x, y = 1, y + height + 1
        if y + height > SHEET:
            sys.exit("font %d does not fit its sheet" % font_id)
        if width:
            mask = Image.new("L", (width, height), 0)
            ImageDraw.Draw(mask).text((overhang, style["top"]), ch, font=font, fill=255)
            # The colour sits under every alpha, so blending never pulls in black.
            r, g, b = (Image.new("L", (width, height), c) for c in style["color"])
            glyph = Image.merge("RGBA", (r, g, b, mask))
            sheet.paste(glyph, (x, y))
        records.append((code, 0, x, y, width, height, overhang, advance))
        x += width + 1
    header = b"FONTRAST" + struct.pack("<6H", 1, len(records), 1, CODES[0], CODES[-1], height)
    body = b"".join(struct.pack("<8H", *r) for r in records)
    return sheet, header + body, records


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser.add_argument("--out", default=os.path.join(root, "resources", "fonts"))
    parser.add_argument("--preview", help="also write 4x previews of the sheets here")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for font_id, style in FONTS.items():
        sheet, blob, records = build(font_id, style)
        assert len(blob) == 20 + 16 * 95
        sheet.save(os.path.join(args.out, "%d.png" % font_id), optimize=False)
        with open(os.path.join(args.out, "%d.map" % font_id), "wb") as f:
            f.write(blob)
        if args.preview:
            os.makedirs(args.preview, exist_ok=True)
            back = Image.new("RGBA", sheet.size, (40, 40, 40, 255))
            back.alpha_composite(sheet)
            back.resize((SHEET * 4, SHEET * 4), Image.NEAREST).save(
                os.path.join(args.preview, "%d-4x.png" % font_id))
        byname = {chr(r[0]): r for r in records}
        print(font_id, {c: byname[c][2:] for c in " 0MjR"})


if __name__ == "__main__":
    main()
