#!/usr/bin/python3
"""Draws every image of the editor's skin from skin.py.

    tools/skin/build_skin.py                      # the committed 1x set and the preview
    tools/skin/build_skin.py --scale 2 --out DIR  # a 2x set (and its preview) elsewhere

Everything is drawn from geometry at the requested scale, never by scaling pixels. The
output is deterministic: the same packages give the same pixels.
"""

import argparse
import math
import os
import re
import sys

import cairo

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import skin  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))

# id -> (width, height, has alpha, frames). The editor's image table; frames stack vertically.
IMAGES = {
    10000: (728, 595, False, 1),
    10001: (53, 1884, False, 12),
    10002: (61, 52, True, 1),
    **{10003 + k: (96, 20, False, 1) for k in range(12)},
    10015: (25, 9, True, 1),
    10016: (3, 9, True, 1),
    10017: (25, 108, True, 6),
    10018: (34, 44, True, 2),
    10019: (10, 20, True, 2),
    10020: (10, 20, True, 2),
    10021: (77, 13, True, 1),
    10022: (8, 13, True, 1),
    10023: (44, 22, True, 2),
    10024: (44, 22, True, 2),
    10025: (44, 22, True, 2),
    10026: (44, 22, True, 2),
    10027: (44, 22, True, 2),
    10028: (44, 22, True, 2),
    10029: (62, 74, True, 2),
    10030: (62, 74, True, 2),
    10031: (44, 22, True, 2),
    10032: (44, 22, True, 2),
    10033: (44, 22, True, 2),
    10034: (209, 13, True, 1),
    10035: (62, 74, True, 2),
    10036: (49, 11, False, 1),
    10037: (181, 259, False, 1),
}


def version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        m = re.search(r"project\s*\(\s*\w+\s+VERSION\s+([0-9.]+)", f.read())
    return m.group(1) if m else "?"


def colour(name_or_rgb):
    c = skin.COLOURS[name_or_rgb] if isinstance(name_or_rgb, str) else name_or_rgb
    return tuple(v / 255.0 for v in c)


class Canvas:
    """One image being drawn, in 1x coordinates, with the texts it carries."""

    def __init__(self, image_id, scale, draw_text=True):
        w, h, alpha, frames = IMAGES[image_id]
        self.draw_text = draw_text
        self.id, self.scale, self.frames = image_id, scale, frames
        self.frame_height = h // frames
        fmt = cairo.FORMAT_ARGB32 if alpha else cairo.FORMAT_RGB24
        self.surface = cairo.ImageSurface(fmt, round(w * scale), round(h * scale))
        self.ctx = cairo.Context(self.surface)
        self.ctx.scale(scale, scale)
        options = cairo.FontOptions()
        options.set_antialias(cairo.ANTIALIAS_GRAY)
        options.set_hint_style(cairo.HINT_STYLE_SLIGHT)
        options.set_hint_metrics(cairo.HINT_METRICS_ON)
        self.ctx.set_font_options(options)
        self.texts = []

    # --- shapes -------------------------------------------------------------------------

    def fill_rect(self, rect, c, radius=0):
        path_rect(self.ctx, rect, radius)
        self.ctx.set_source_rgba(*rgba(c))
        self.ctx.fill()

    # --- text ---------------------------------------------------------------------------

    def text(self, s, box, style, align="centre", frame=0, kind="caption", colour_name=None):
        """Draws s in box (1x, frame coordinates) vertically centred on its capitals."""
        family, bold, size, col, spacing = skin.STYLES[style]
        col = colour_name or col
        ctx = self.ctx
        ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                             cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
        ctx.set_font_size(size)
        width = text_width(ctx, s, spacing)
        l, t, r, b = box
        # The layout is made at 1x; hinting rounds advances differently at other scales.
        if self.scale == 1 and width > r - l + 0.01:
            raise ValueError(f"{self.id}: {s!r} ({width:.1f} px) does not fit {box}")
        x = {"left": l, "right": r - width, "centre": (l + r - width) / 2}[align]
        cap = ctx.text_extents("H").height
        y0 = t + frame * self.frame_height
        baseline = y0 + (b - t + cap) / 2
        # Whole device pixels for the baseline and the start keep small text crisp at 1x.
        baseline = round(baseline * self.scale) / self.scale
        x = round(x * self.scale) / self.scale
        col_rgb = skin.COLOURS[col] if isinstance(col, str) else col

        def paint(target, source=colour(col)):
            target.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                                    cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
            target.set_font_size(size)
            target.set_source_rgb(*source)
            pen = x
            for ch in (s if spacing else [s]):
                # each spaced letter starts on a whole device pixel, so gaps stay even
                target.move_to(round(pen * self.scale) / self.scale, baseline)
                target.show_text(ch)
                pen += target.text_extents(ch).x_advance + spacing

        if self.draw_text:
            paint(ctx)
        self.texts.append(Text(frame, (l, t, r, b), col_rgb, s, kind, paint))

    def new_context(self, surface):
        """A context over another surface of this image's size, set up like this one."""
        ctx = cairo.Context(surface)
        ctx.scale(self.scale, self.scale)
        ctx.set_font_options(self.ctx.get_font_options())
        return ctx


class Text:
    """A text an image carries: where, in what colour, and how to draw it again alone."""

    def __init__(self, frame, box, colour, text, kind, paint):
        self.frame, self.box, self.colour, self.text, self.kind = frame, box, colour, text, kind
        self.paint = paint


def rgba(c):
    if isinstance(c, str):
        return colour(c) + (1.0,)
    if len(c) == 3:
        return tuple(v / 255.0 for v in c) + (1.0,)
    return tuple(v / 255.0 for v in c)


def path_rect(ctx, rect, radius=0):
    l, t, r, b = rect
    if radius <= 0:
        ctx.rectangle(l, t, r - l, b - t)
        return
    radius = min(radius, (r - l) / 2, (b - t) / 2)
    ctx.new_sub_path()
    ctx.arc(r - radius, t + radius, radius, -math.pi / 2, 0)
    ctx.arc(r - radius, b - radius, radius, 0, math.pi / 2)
    ctx.arc(l + radius, b - radius, radius, math.pi / 2, math.pi)
    ctx.arc(l + radius, t + radius, radius, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def text_width(ctx, s, spacing):
    if not spacing:
        return ctx.text_extents(s).x_advance
    return sum(ctx.text_extents(ch).x_advance for ch in s) + spacing * (len(s) - 1)


def mix(a, b, t):
    """The colour a fraction t of the way from a to b (names or RGB triples)."""
    a = skin.COLOURS[a] if isinstance(a, str) else a
    b = skin.COLOURS[b] if isinstance(b, str) else b
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


# ---------------------------------------------------------------------------------------
# Pieces shared by several images


def raised(cv, rect, face, radius=2.0, pressed=False):
    """A button face with a lighter top edge unless pressed. The panel around every
    button is darker than any face, so no outline is needed, and descenders stay on
    the face."""
    l, t, r, b = rect
    cv.fill_rect(rect, face, radius)
    if not pressed:
        cv.fill_rect((l + radius, t, r - radius, t + 1), mix(face, (255, 255, 255), 0.14))


def lamp(cv, cx, cy, lit, radius=2.0):
    ctx = cv.ctx
    if lit:
        glow = cairo.RadialGradient(cx, cy, 0, cx, cy, radius * 2.4)
        r, g, b = colour("led_on")
        glow.add_color_stop_rgba(0, r, g, b, 0.55)
        glow.add_color_stop_rgba(1, r, g, b, 0.0)
        ctx.set_source(glow)
        ctx.arc(cx, cy, radius * 2.4, 0, 2 * math.pi)
        ctx.fill()
    ctx.arc(cx, cy, radius, 0, 2 * math.pi)
    ctx.set_source_rgb(*colour("led_on" if lit else "led_off"))
    ctx.fill_preserve()
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.set_line_width(0.7)
    ctx.stroke()


def knob_face(cv, cx, cy, radius):
    """The dark grey disc every knob sits on, with a rim and a soft top light."""
    ctx = cv.ctx
    ctx.arc(cx, cy, radius + 1, 0, 2 * math.pi)
    ctx.set_source_rgb(*colour("knob_rim"))
    ctx.fill()
    grad = cairo.LinearGradient(cx, cy - radius, cx, cy + radius)
    grad.add_color_stop_rgb(0, *colour(mix("knob_face", (255, 255, 255), 0.10)))
    grad.add_color_stop_rgb(1, *colour(mix("knob_face", (0, 0, 0), 0.18)))
    ctx.arc(cx, cy, radius, 0, 2 * math.pi)
    ctx.set_source(grad)
    ctx.fill()


# ---------------------------------------------------------------------------------------
# The background


def draw_background(cv):
    C = skin.CONTROLS
    cv.fill_rect((0, 0) + skin.WINDOW, "sequencer")
    for name, rect, radius in skin.BANDS:
        cv.fill_rect(rect, name, radius)
    # Edges where the bands meet: a light line on the upper edge of a raised band,
    # a shadow under it.
    cv.fill_rect((0, 259, 547, 260), "edge_dark")
    cv.fill_rect((0, 509, 547, 510), "edge_light")
    cv.fill_rect((546, 259, 547, 595), "edge_dark")
    cv.fill_rect((9, 159, 538, 160), mix("page", (0, 0, 0), 0.25))

    # The lane: a well with one column per step, beats a shade lighter.
    lane = C["lane"]
    cv.fill_rect((lane[0] - 1, lane[1] - 1, lane[2] + 1, lane[3] + 1), "edge_dark")
    cv.fill_rect(lane, "well")
    for s in range(32):
        x = lane[0] + 13 * s
        if (s // 4) % 2 == 0:
            cv.fill_rect((x, lane[1], x + 12, lane[3]), mix("well", "pad_alt", 0.35))
        cv.fill_rect((x + 12, lane[1], x + 13, lane[3]), mix("well", "tray", 0.5))
    # ticks under the lane mark the beats
    for s in range(0, 32, 4):
        x = lane[0] + 13 * s
        cv.fill_rect((x, lane[3] + 2, x + 12, lane[3] + 4), mix("tray", "text_dim", 0.35))

    # Step pads: one per step under every row; beats alternate in tone.
    for k in range(12):
        l, t, r, b = C[f"steps {k}"]
        for s in range(32):
            x = l + 13 * s
            face = "pad" if (s // 4) % 2 == 0 else "pad_alt"
            cv.fill_rect((x + 1, t + 1, x + 11, b - 1), face, 1.5)

    # Pattern selector: sixteen keys under the cells the control lights.
    sel = C["pattern selector"]
    cv.fill_rect((sel[0], sel[1], sel[2], sel[3]), "well", 2)
    for p in range(16):
        # exactly the cell the control lights, so the orange replaces the key
        x = sel[0] + 2 + 13 * p
        face = "key" if (p // 4) % 2 == 0 else mix("key", (0, 0, 0), 0.12)
        cv.fill_rect((x, sel[1] + 1, x + 11, sel[3] - 1), face, 1)

    # Faces under the mixer's level knobs: that knob draws no background of its own.
    for k in range(12):
        l, t, r, b = C[f"pan {k}"]
        mid = (l + r) / 2
        w = skin.STRIP_HALF_WIDTH
        cv.fill_rect((mid - w, 513, mid + w, 586), "strip", 3)
    for k in range(12):
        l, t, r, b = C[f"level {k}"]
        knob_face(cv, (l + r) / 2, (t + b) / 2, (r - l) / 2 - 0.5)
    # The velocity read-out draws red glyphs with no box of its own: a dark well keeps
    # them legible (the list boxes' own grey would not).
    cv.fill_rect(C["random velocity"], "well")

    # Captions
    for text, box, style, align in skin.CAPTIONS:
        cv.text(text, box, style, align)

    draw_brand_face(cv, C["about"])


def voice_emblem(cv, cx, top, cell=9, gap=3, lit=(0, 5, 6, 11)):
    """Twelve pads in a 4 x 3 block, a few of them lit: the product's mark."""
    cols, rows = 4, 3
    w = cols * cell + (cols - 1) * gap
    for i in range(12):
        x = cx - w / 2 + (i % cols) * (cell + gap)
        y = top + (i // cols) * (cell + gap)
        cv.fill_rect((x, y, x + cell, y + cell), "accent" if i in lit else "pad", 1.5)


def draw_brand_face(cv, rect):
    l, t, r, b = rect
    cx = (l + r) / 2
    voice_emblem(cv, cx, t + 70)
    cv.text(skin.PRODUCT, (l + 10, t + 116, r - 10, t + 148), "wordmark", kind="brand")
    cv.text(skin.TAGLINE, (l + 10, t + 156, r - 10, t + 169), "brand_line", kind="brand")
    cv.text(skin.VENDOR, (l + 10, b - 30, r - 10, b - 18), "brand_small", kind="brand")


def draw_about(cv, ver):
    w, h = IMAGES[10037][:2]
    cv.fill_rect((0, 0, w, h), "brand")
    cv.fill_rect((0, 0, w, 1), mix("brand", "accent", 0.6))
    voice_emblem(cv, w / 2, 22, cell=7, gap=2)
    cv.text(skin.PRODUCT, (10, 52, w - 10, 84), "wordmark", kind="brand")
    cv.text(f"Version {ver}", (10, 92, w - 10, 105), "brand_strong", kind="brand")
    cv.text(skin.TAGLINE, (10, 108, w - 10, 121), "brand_line", kind="brand")
    cv.fill_rect((40, 134, w - 40, 135), mix("brand", "brand_dim", 0.3))
    for i, line in enumerate(skin.ABOUT_LINES):
        cv.text(line, (10, 146 + 13 * i, w - 10, 157 + 13 * i), "brand_small", kind="brand")
    cv.text(skin.VENDOR, (10, 204, w - 10, 217), "brand_strong", kind="brand")
    cv.text("Click to close", (10, 234, w - 10, 246), "brand_small", kind="brand")


# ---------------------------------------------------------------------------------------
# Controls' images


def draw_voice_selector(cv):
    """Frame f selects voice 11 - f; every frame lists all twelve names level with the
    step rows, voice 11 at the top."""
    top = skin.CONTROLS["voice selector"][1]
    for f in range(12):
        y0 = f * cv.frame_height
        cv.fill_rect((0, y0, 53, y0 + cv.frame_height), "sequencer")
        selected = 11 - f
        for v in range(12):
            rt = skin.step_row(v)[1] - top
            box = (5, rt, 50, rt + 12)
            if v == selected:
                cv.fill_rect((2, y0 + rt, 53, y0 + rt + 12), "handle", 2)
                cv.fill_rect((2, y0 + rt, 4, y0 + rt + 12), "accent")
                cv.text(skin.VOICES[v], box, "name_selected", "right", frame=f)
            else:
                cv.text(skin.VOICES[v], box, "name", "right", frame=f)


def draw_knob(cv):
    knob_face(cv, 30, 30, 13)
    # a scale of eleven dots around the 270-degree travel
    ctx = cv.ctx
    ctx.set_source_rgb(*colour(mix("page", "text", 0.45)))
    for i in range(11):
        a = math.radians(135 + 27 * i)
        ctx.arc(30 + 17.2 * math.cos(a), 30 + 17.2 * math.sin(a), 0.8 if i % 5 else 1.1,
                0, 2 * math.pi)
        ctx.fill()


def draw_title(cv, k):
    w, h = IMAGES[10003 + k][:2]
    cv.fill_rect((0, 0, w, h), "page")
    cv.fill_rect((0, 4, 3, h - 4), "accent")
    cv.text(skin.PAGE_TITLES[k], (9, 0, w, h), "page_title", "left")


def draw_pan(cv_bg, cv_handle):
    cv_bg.fill_rect((0, 2, 25, 7), "well", 2.5)
    cv_bg.fill_rect((12, 0, 13, 9), mix("well", "text_dim", 0.5))
    cv_handle.fill_rect((0, 0, 3, 9), "handle", 1)


def draw_slider(cv_bg, cv_handle):
    cv_bg.fill_rect((0, 4, 77, 9), "well", 2.5)
    cv_bg.fill_rect((1, 6, 76, 7), mix("well", "pad", 0.6))
    cv_handle.fill_rect((0, 0, 8, 13), "button_edge", 2)
    cv_handle.fill_rect((1, 1, 7, 12), "handle", 1.5)
    cv_handle.fill_rect((3.5, 3, 4.5, 10), mix("handle", (0, 0, 0), 0.45))


def draw_output_selector(cv):
    # the control splits 25 pixels into three columns; whole pixels keep 1x crisp
    edges = [round(i * 25 / 3) for i in range(4)]
    row_h = 9
    for f in range(6):
        y0 = f * 18
        cv.fill_rect((0, y0, 25, y0 + 18), "well", 2)
        for p in range(6):
            l, r = edges[p % 3], edges[p % 3 + 1]
            t = (p // 3) * row_h
            box = (l, t, r, t + row_h)
            if p == f:
                cv.fill_rect((l, y0 + t, r, y0 + t + row_h), "handle", 2)
                cv.text("ABCDEF"[p], box, "letter_lit", frame=f, kind="image")
            else:
                cv.text("ABCDEF"[p], box, "letter", frame=f, kind="image")


def wave_path(ctx, l, t, w, h, fn):
    n = 24
    for i in range(n + 1):
        x = l + w * i / n
        y = t + h / 2 - fn(i / n) * h / 2
        (ctx.move_to if i == 0 else ctx.line_to)(x, y)


def draw_waveform_switch(cv):
    def stored(p):  # the stored cycle is rich in harmonics: drawn as a rounded ramp
        w = 2 * math.pi * p
        return 0.62 * (math.sin(w) + math.sin(2 * w) / 2 + math.sin(3 * w) / 3)

    def sine(p):
        return math.sin(2 * math.pi * p)

    for f in range(2):
        y0 = f * 22
        cv.fill_rect((0, y0, 34, y0 + 22), "button_edge", 2)
        cv.fill_rect((1, y0 + 1, 33, y0 + 21), "button", 1.5)
        for row, fn in enumerate((stored, sine)):
            t = y0 + 11 * row
            lit = row == f
            if lit:
                cv.fill_rect((2, t + 1.5, 32, t + 9.5 + (row == 0)), "handle", 1.5)
            wave_path(cv.ctx, 7, t + 2.5, 20, 6, fn)
            cv.ctx.set_source_rgb(*colour("ink" if lit else "text"))
            cv.ctx.set_line_width(1.3)
            cv.ctx.stroke()


def draw_small_toggle(cv, letter, on_colour):
    for f in range(2):
        y0 = f * 10
        cv.fill_rect((0, y0, 10, y0 + 10), on_colour if f else "pad", 1.5)
        cv.text(letter, (0, 0, 10, 10), "letter_lit" if f else "letter", frame=f,
                kind="image")


def draw_button(cv, kind, label):
    for f in range(2):
        y0 = f * 11
        rect = (0, y0, 44, y0 + 11)
        if kind == "momentary":
            raised(cv, rect, "button_lit" if f else "button", pressed=bool(f))
            cv.text(label, (0, 0, 44, 11), "button_lit" if f else "button", frame=f,
                    kind="image")
        else:
            raised(cv, rect, "accent" if f else "button")
            cv.text(label, (0, 0, 44, 11), "button_lit" if f else "button", frame=f,
                    kind="image")


def draw_transport(cv, what):
    for f in range(2):
        y0 = f * 37
        rect = (0, y0, 62, y0 + 37)
        ctx = cv.ctx
        if what == "play":
            raised(cv, rect, mix("button", "play_on", 0.10) if f else "button", radius=3)
            c = colour("play_on" if f else "text")
            ctx.move_to(26, y0 + 7)
            ctx.line_to(36, y0 + 12.5)
            ctx.line_to(26, y0 + 18)
            ctx.close_path()
            ctx.set_source_rgb(*c)
            ctx.fill()
            cv.text("PLAY", (0, 21, 62, 31), "big_button", frame=f, kind="image",
                    colour_name="title" if f else "text")
        elif what == "stop":
            raised(cv, rect, "button_lit" if f else "button", radius=3, pressed=bool(f))
            cv.fill_rect((26.5, y0 + 8, 35.5, y0 + 17), "ink" if f else "text", 1)
            cv.text("STOP", (0, 21, 62, 31), "big_button", frame=f, kind="image",
                    colour_name="ink" if f else "text")
        else:
            raised(cv, rect, mix("button", "led_on", 0.12) if f else "button", radius=3)
            lamp(cv, 31, y0 + 12, bool(f), radius=2.5)
            cv.text("MIDI ONLY", (0, 21, 62, 31), "big_button", frame=f, kind="image",
                    colour_name="title" if f else "text")


def draw_pattern_overlay(cv):
    for p in range(16):
        x = 2 + 13 * p
        cv.text(str(p + 1), (x, 0, x + 11, 13), "key" if p < 9 else "key_tight", kind="image")


def draw_indicator(cv):
    cv.fill_rect((0, 0, 49, 11), "band")
    cv.text(skin.INDICATOR_TEXT, (0, 0, 49, 11), "section_narrow", "centre", kind="image")


# ---------------------------------------------------------------------------------------


def build(scale=1.0, draw_text=True):
    """Draws every image; returns {id: Canvas}. Without text, the images show what lies
    behind every caption (the check measures contrast against it)."""
    ver = version()
    out = {i: Canvas(i, scale, draw_text) for i in IMAGES}
    draw_background(out[10000])
    draw_voice_selector(out[10001])
    draw_knob(out[10002])
    for k in range(12):
        draw_title(out[10003 + k], k)
    draw_pan(out[10015], out[10016])
    draw_output_selector(out[10017])
    draw_waveform_switch(out[10018])
    draw_small_toggle(out[10019], "M", "mute_on")
    draw_small_toggle(out[10020], "S", "solo_on")
    draw_slider(out[10021], out[10022])
    for i, (kind, label) in skin.BUTTONS.items():
        draw_button(out[i], kind, label)
    draw_transport(out[10029], "play")
    draw_transport(out[10030], "stop")
    draw_pattern_overlay(out[10034])
    draw_transport(out[10035], "midi")
    draw_indicator(out[10036])
    draw_about(out[10037], ver)
    return out


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--scale", type=float, default=1.0)
    ap.add_argument("--out", help="folder for the images (default resources/images at 1x)")
    ap.add_argument("--preview", help="path of the composed preview "
                    "(default docs/editor-preview.png at 1x, DIR/editor-preview.png otherwise)")
    args = ap.parse_args(argv)
    if args.out is None and args.scale != 1.0:
        ap.error("a scaled set needs --out: the committed set is the 1x one")
    out_dir = args.out or os.path.join(ROOT, "resources", "images")
    preview = args.preview or (os.path.join(out_dir, "editor-preview.png") if args.out
                               else os.path.join(ROOT, "docs", "editor-preview.png"))
    os.makedirs(out_dir, exist_ok=True)
    images = build(args.scale)
    for i, cv in images.items():
        cv.surface.write_to_png(os.path.join(out_dir, f"{i}.png"))
    import preview as pv
    os.makedirs(os.path.dirname(preview), exist_ok=True)
    pv.compose(images, args.scale).write_to_png(preview)
    print(f"wrote {len(images)} images to {out_dir} and the preview to {preview}")


if __name__ == "__main__":
    main()
