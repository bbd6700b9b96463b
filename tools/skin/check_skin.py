#!/usr/bin/python3
"""Checks the committed skin in resources/images.

1. Every image has the size, colour type and frames the editor expects.
2. Every text in every image reads: the luminance contrast ratio between its colour and
   every pixel behind it is at least 4.5:1. Prints the lowest.
3. No caption of the background touches a control's rectangle, every image frame fits its
   control's rectangle exactly, and no two images that can be seen together paint the
   same pixel.
4. The committed PNGs and the preview are what the builder makes now.
Exits non-zero on any failure.
"""

import os
import struct
import sys
import zlib

import cairo

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import build_skin  # noqa: E402
import preview  # noqa: E402
import skin  # noqa: E402

ROOT = build_skin.ROOT
IMAGE_DIR = os.path.join(ROOT, "resources", "images")
PREVIEW = os.path.join(ROOT, "docs", "editor-preview.png")
MIN_CONTRAST = 4.5
MIN_TEXT_PX = 9.0

# The editor's image table, written out again here so that a slip in the builder's own
# table cannot pass unseen: id -> (width, height, colour type, frame height).
RGB, RGBA = 2, 6
EXPECTED = {
    10000: (728, 595, RGB, 595),
    10001: (53, 1884, RGB, 157),
    10002: (61, 52, RGBA, 52),
    **{i: (96, 20, RGB, 20) for i in range(10003, 10015)},
    10015: (25, 9, RGBA, 9),
    10016: (3, 9, RGBA, 9),
    10017: (25, 108, RGBA, 18),
    10018: (34, 44, RGBA, 22),
    10019: (10, 20, RGBA, 10),
    10020: (10, 20, RGBA, 10),
    10021: (77, 13, RGBA, 13),
    10022: (8, 13, RGBA, 13),
    **{i: (44, 22, RGBA, 11) for i in (10023, 10024, 10025, 10026, 10027, 10028)},
    10029: (62, 74, RGBA, 37),
    10030: (62, 74, RGBA, 37),
    **{i: (44, 22, RGBA, 11) for i in (10031, 10032, 10033)},
    10034: (209, 13, RGBA, 13),
    10035: (62, 74, RGBA, 37),
    10036: (49, 11, RGB, 11),
    10037: (181, 259, RGB, 259),
}

# Where a partly transparent image with text sits in the window, and what else can lie
# under it: the pattern numbers are read over the keys and over the lit orange cell.
PLACED = {10034: (skin.CONTROLS["pattern selector"][:2], [skin.CONTROL_COLOURS["pattern_cell"]])}

failures = []
verbose = True


def fail(msg):
    failures.append(msg)
    if verbose:
        print("FAIL: " + msg)


# --- PNG headers ----------------------------------------------------------------------


def png_header(path):
    """(width, height, bit depth, colour type, chunk names) from the file itself."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, chunks, ihdr = 8, [], None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        name = data[pos + 4:pos + 8].decode("ascii")
        body = data[pos + 8:pos + 8 + length]
        if zlib.crc32(data[pos + 4:pos + 8 + length]) != struct.unpack(
                ">I", data[pos + 8 + length:pos + 12 + length])[0]:
            raise ValueError(f"bad CRC in {name}")
        if name == "IHDR":
            ihdr = struct.unpack(">IIBB", body[:10])
        chunks.append(name)
        pos += 12 + length
    return ihdr + (chunks,)


def check_headers():
    for i, (w, h, ctype, fh) in EXPECTED.items():
        path = os.path.join(IMAGE_DIR, f"{i}.png")
        if not os.path.exists(path):
            fail(f"{i}.png is missing")
            continue
        try:
            pw, ph, depth, pctype, chunks = png_header(path)
        except ValueError as e:
            fail(f"{i}.png: {e}")
            continue
        if (pw, ph) != (w, h):
            fail(f"{i}.png is {pw} x {ph}, expected {w} x {h}")
        if depth != 8 or pctype != ctype or "PLTE" in chunks:
            fail(f"{i}.png has colour type {pctype} at {depth} bits, expected "
                 f"{'RGB' if ctype == RGB else 'RGBA'} at 8")
        if h % fh or build_skin.IMAGES[i][3] != h // fh:
            fail(f"{i}.png: the builder draws {build_skin.IMAGES[i][3]} frames, "
                 f"expected {h // fh} of {fh} px")


# --- pixels ---------------------------------------------------------------------------


class Pixels:
    def __init__(self, surface):
        surface.flush()
        self.w, self.h = surface.get_width(), surface.get_height()
        self.stride = surface.get_stride()
        self.alpha = surface.get_format() == cairo.FORMAT_ARGB32
        self.data = bytes(surface.get_data())

    def __getitem__(self, xy):
        """(r, g, b, a), straight alpha."""
        x, y = xy
        o = y * self.stride + 4 * x
        b, g, r, a = self.data[o:o + 4]
        if not self.alpha:
            return (r, g, b, 255)
        if a == 0:
            return (0, 0, 0, 0)
        return tuple(round(v * 255 / a) for v in (r, g, b)) + (a,)


def over(top, below):
    a = top[3] / 255
    return tuple(round(t * a + b * (1 - a)) for t, b in zip(top[:3], below[:3]))


def luminance(rgb):
    def lin(c):
        c /= 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (lin(c) for c in rgb[:3])
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def ink(cv, text):
    """The pixels one text covers, drawn alone, and their bounding box."""
    alone = cairo.ImageSurface(cairo.FORMAT_ARGB32, cv.surface.get_width(),
                               cv.surface.get_height())
    text.paint(cv.new_context(alone), (0, 0, 0))
    px = Pixels(alone)
    covered = [(x, y) for y in range(px.h) for x in range(px.w)
               if px.data[y * px.stride + 4 * x + 3] > 0]
    if not covered:
        return covered, None
    xs, ys = [p[0] for p in covered], [p[1] for p in covered]
    return covered, (min(xs), min(ys), max(xs) + 1, max(ys) + 1)


def check_texts(bare):
    """Contrast of every text against what lies behind each of its pixels."""
    background = Pixels(bare[10000].surface)
    lowest = None
    for i, cv in bare.items():
        behind = Pixels(cv.surface)
        fh = cv.frame_height
        for text in cv.texts:
            where = f"{i} frame {text.frame} {text.text!r}"
            covered, inked = ink(cv, text)
            if not covered:
                fail(f"{where}: no text drawn")
                continue
            top, bottom = text.frame * fh, (text.frame + 1) * fh
            if inked[1] < top or inked[3] > bottom or inked[0] < 0 or inked[2] > cv.surface.get_width():
                fail(f"{where}: text leaves its frame {inked}")
            worst = None
            for x, y in covered:
                px = behind[x, y]
                unders = [px[:3]]
                if px[3] < 255:
                    if i not in PLACED:
                        fail(f"{where}: text over transparency with nothing known beneath")
                        break
                    (ox, oy), extra = PLACED[i]
                    unders = [over(px, background[ox + x, oy + y - top])]
                    unders += [over(px, e) for e in extra]
                for u in unders:
                    c = contrast(text.colour, u)
                    if worst is None or c < worst[0]:
                        worst = (c, u)
            if worst is None:
                continue
            if worst[0] < MIN_CONTRAST:
                fail(f"{where}: contrast {worst[0]:.2f}:1 of {text.colour} on {worst[1]}")
            if lowest is None or worst[0] < lowest[0]:
                lowest = (worst[0], where, text.colour, worst[1])
            if i == 10000 and text.kind == "caption":
                check_clear_of_controls(text.text, text.box, inked)
    return lowest


def intersects(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def check_clear_of_controls(text, box, inked):
    for name, rect in skin.CONTROLS.items():
        for what, r in (("box", box), ("ink", inked)):
            if intersects(r, rect):
                fail(f"caption {text!r} ({what} {r}) lies under the {name} at {rect}")


def check_font_areas(images):
    """The controls' own bitmap-font texts read on the background under them."""
    bg = images[10000]
    knob = images[10002]
    if any(knob[x, y][3] for y in range(11) for x in range(knob.w)):
        fail("10002.png paints into the top 11 rows, where the knob's label goes")
    lowest = None
    for name, (l, t, r, b), colour_name in skin.FONT_TEXT_AREAS:
        col = skin.CONTROL_COLOURS[colour_name]
        worst = min((contrast(col, bg[x, y]), bg[x, y][:3])
                    for y in range(t, b) for x in range(l, r))
        if worst[0] < MIN_CONTRAST:
            fail(f"the {name} ({col}) reads at {worst[0]:.2f}:1 on {worst[1]}")
        if lowest is None or worst[0] < lowest[0]:
            lowest = (worst[0], name, col, worst[1])
    return lowest


def check_placements(images):
    """Frames match their rectangles; images shown together never paint the same pixel."""
    C = skin.CONTROLS
    placed = [(name, i) for name, i in skin.PLACEMENTS if i is not None]
    for name, i in placed:
        l, t, r, b = C[name]
        w, h, _, fh = EXPECTED[i]
        if (r - l, b - t) != (w, fh):
            fail(f"{i}.png frames are {w} x {fh}, the {name} is {r - l} x {b - t}")
    page_only = {n for names in skin.PAGE_CONTROLS.values() for n in names}
    painted = {i: painted_pixels(images[i], EXPECTED[i][3]) for _, i in placed}
    for page, names in skin.PAGE_CONTROLS.items():
        shown = [(n, i) for n, i in placed if n not in page_only or n in names]
        for a in range(len(shown)):
            for b in range(a + 1, len(shown)):
                (na, ia), (nb, ib) = shown[a], shown[b]
                ra, rb = C[na], C[nb]
                if not intersects(ra, rb):
                    continue
                for y in range(max(ra[1], rb[1]), min(ra[3], rb[3])):
                    for x in range(max(ra[0], rb[0]), min(ra[2], rb[2])):
                        if (x - ra[0], y - ra[1]) in painted[ia] and \
                                (x - rb[0], y - rb[1]) in painted[ib]:
                            fail(f"on page {page} the {na} and the {nb} both paint ({x}, {y})")
                            break
                    else:
                        continue
                    break


def painted_pixels(px, frame_height):
    """Pixels (x, y within a frame) that some frame of the image paints."""
    out = set()
    for y in range(px.h):
        for x in range(px.w):
            if px[x, y][3] > 0:
                out.add((x, y % frame_height))
    return out


# --- reproducibility ------------------------------------------------------------------


def same_pixels(path, surface):
    try:
        stored = cairo.ImageSurface.create_from_png(path)
    except (cairo.Error, OSError):
        return False
    a, b = Pixels(stored), Pixels(surface)
    if (a.w, a.h, a.alpha) != (b.w, b.h, b.alpha):
        return False
    # compared as straight colours, so a premultiplied round trip cannot differ
    return a.data == b.data or all(a[x, y] == b[x, y] for y in range(a.h) for x in range(a.w))


def main():
    check_headers()
    for name, (family, bold, size, _, _) in skin.STYLES.items():
        if size < MIN_TEXT_PX:
            fail(f"text style {name} is {size} px, below the editor's bitmap fonts")
    fresh = build_skin.build(1.0)
    for i, cv in fresh.items():
        if not same_pixels(os.path.join(IMAGE_DIR, f"{i}.png"), cv.surface):
            fail(f"{i}.png differs from a fresh build: run tools/skin/build_skin.py")
    if not same_pixels(PREVIEW, preview.compose(fresh, 1.0)):
        fail("docs/editor-preview.png differs from a fresh build: run tools/skin/build_skin.py")

    pixels = {i: Pixels(cv.surface) for i, cv in fresh.items()}
    check_placements(pixels)
    font_lowest = check_font_areas(pixels)
    if font_lowest:
        c, where, col, under = font_lowest
        print(f"lowest contrast under the controls' own text {c:.2f}:1 "
              f"({where}: {col} on {under})")
    lowest = check_texts(build_skin.build(1.0, draw_text=False))
    if lowest:
        c, where, col, under = lowest
        print(f"lowest contrast {c:.2f}:1 ({where}: {col} on {under})")
    count = sum(len(cv.texts) for cv in fresh.values())
    print(f"{len(EXPECTED)} images, {count} texts checked")
    if failures:
        print(f"{len(failures)} failure(s)")
        return 1
    print("skin OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
