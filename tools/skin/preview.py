"""The whole window as a user first sees it, composed from the skin's images.

Every image goes to its control's rectangle in its first state (kick page, velocity lane,
pattern 1, transport stopped). What the controls draw themselves (knob values, envelope
curves, steps, lane bars, list-box text, labels in the editor's bitmap font) is stood in for
with plain drawing in the controls' own colours, so the picture shows the skin in context.
"""

import math

import cairo

import skin

C = skin.CONTROLS
CC = skin.CONTROL_COLOURS

# A first look: a four-to-the-floor groove and its velocities.
GROOVE = {
    0: [0, 4, 8, 12, 16, 20, 24, 28],
    1: [4, 12, 20, 28],
    6: [2, 6, 10, 14, 18, 22, 26, 30],
    7: [14, 30],
    10: [12, 28],
    11: [11, 27],
}
KICK_VELOCITY = [1.0 if s % 8 == 0 else 0.82 if s % 4 == 0 else 0.35 for s in range(32)]
KICK_KNOBS = {"knob A": ("Tune", 0.30), "knob B": ("Saturation", 0.45),
              "knob C": ("Noise Freq", 0.55), "knob D": ("Pitch Mod", 0.66),
              "knob E": ("Click Level", 0.80)}
MASTER_KNOBS = {"tempo": ("Tempo:     ", 0.35), "compressor": ("Compressor", 0.25),
                "output A": ("Out A", 0.95)}
LEVELS = [0.85, 0.7, 0.7, 0.6, 0.6, 0.6, 0.55, 0.55, 0.5, 0.6, 0.65, 0.5]


def rgba(c):
    c = tuple(c)
    return tuple(v / 255.0 for v in c) + (() if len(c) == 4 else (1.0,))


def place(ctx, cv, rect, frame=0, x_offset=0):
    """Draws one frame of an image with its top-left at the rectangle's."""
    s = cv.scale
    l, t = rect[0] + x_offset, rect[1]
    w = cv.surface.get_width() / s
    fh = cv.frame_height
    ctx.save()
    ctx.rectangle(l, t, w, fh)
    ctx.clip()
    ctx.translate(l, t - frame * fh)
    ctx.scale(1 / s, 1 / s)
    ctx.set_source_surface(cv.surface, 0, 0)
    ctx.paint()
    ctx.restore()


def label(ctx, text, x, y, colour=CC["label_text"], size=9.0, bold=False, align="left"):
    """Stand-in for the editor's bitmap fonts: (x, y) is the top of a 12-pixel line."""
    ctx.select_font_face(skin.FAMILY, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    # the bitmap font's space advances 2 pixels; the tempo label pads with spaces
    shown = text.rstrip(" ")
    w = ctx.text_extents(shown).x_advance + 2 * (len(text) - len(shown))
    if align == "centre":
        x -= w / 2
    text = shown
    ctx.set_source_rgba(*rgba(colour))
    ctx.move_to(x, y + 9)
    ctx.show_text(text)


def knob(ctx, images, rect, text, value):
    place(ctx, images[10002], rect)
    l, t = rect[0], rect[1]
    cx, cy = l + 30, t + 30
    ctx.move_to(cx, cy)
    ctx.arc(cx, cy, 12, math.radians(129), math.radians(135 + 270 * value))
    ctx.close_path()
    ctx.set_source_rgba(*rgba(CC["knob_fill"]))
    ctx.fill()
    pointer(ctx, cx, cy, 7, 7, value, 3)
    label(ctx, text, (rect[0] + rect[2]) / 2, t, align="centre")


def pointer(ctx, cx, cy, radius, width, value, half_degrees):
    a = 135 + 270 * value
    ctx.new_path()
    ctx.arc(cx, cy, radius, math.radians(a - half_degrees), math.radians(a + half_degrees))
    ctx.set_line_width(width)
    ctx.set_source_rgba(*rgba(CC["pointer"]))
    ctx.stroke()


def small_knob(ctx, rect, value):
    l, t, r, b = rect
    cx, cy, rad = (l + r) / 2, (t + b) / 2, (r - l) / 2 - 0.5
    ctx.move_to(cx, cy)
    ctx.arc(cx, cy, rad, math.radians(129), math.radians(135 + 270 * value))
    ctx.close_path()
    ctx.set_source_rgba(*rgba(CC["knob_fill"]))
    ctx.fill()
    ctx.arc(cx, cy, rad, 0, 2 * math.pi)
    ctx.set_line_width(1)
    ctx.set_source_rgba(*rgba(CC["knob_frame"]))
    ctx.stroke()
    pointer(ctx, cx, cy, rad - 3, 6, value, 5)


def envelope(ctx, rect, peak, end, decay_bend):
    l, t, r, b = rect
    ctx.set_source_rgba(*rgba(CC["env_background"]))
    ctx.rectangle(l, t, r - l, b - t)
    ctx.fill()
    at, ab = t + 2, b - 2
    ctx.set_line_width(1)
    ctx.set_source_rgba(*rgba(CC["env_grid"]))
    for x in range(l + 10, l + 141, 10):
        ctx.move_to(x + 0.5, at + 2)
        ctx.line_to(x + 0.5, ab - 2)
    for y in range(at + 10, at + 81, 10):
        ctx.move_to(l, y + 0.5)
        ctx.line_to(r, y + 0.5)
    ctx.stroke()
    w = r - l - 6
    px, ex = l + 3 + peak * w, l + 3 + end * w
    pts = []
    for i in range(0, 41):
        u = i / 40
        pts.append((l + 3 + u * (px - l - 3), ab - 3 - u ** 0.7 * (ab - at - 6)))
    for i in range(1, 81):
        u = i / 80
        pts.append((px + u * (ex - px), at + 3 + (1 - (1 - u) ** decay_bend) * (ab - at - 6)))
    ctx.set_source_rgba(*rgba(CC["env_hatch"]))
    for x in range(int(l + 4), int(ex)):
        y = min((p for p in pts if p[0] >= x), key=lambda p: p[0])[1]
        ctx.move_to(x + 0.5, y)
        ctx.line_to(x + 0.5, ab)
    ctx.stroke()
    for x in (px, ex):
        ctx.move_to(int(x) + 0.5, t + 2)
        ctx.line_to(int(x) + 0.5, b - 2)
    ctx.stroke()
    ctx.set_source_rgba(*rgba(CC["env_curve"]))
    ctx.set_line_width(2)
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)
    ctx.stroke()
    for x, y in ((px, at + 3), (ex, ab - 3)):
        ctx.rectangle(int(x) - 2.5, int(y) - 2.5, 5, 5)
        ctx.set_source_rgba(*rgba(CC["env_background"]))
        ctx.fill_preserve()
        ctx.set_source_rgba(1, 1, 1, 1)
        ctx.set_line_width(1)
        ctx.stroke()


def list_box(ctx, rect, text):
    l, t, r, b = rect
    ctx.rectangle(l, t, r - l, b - t)
    ctx.set_source_rgba(*rgba(CC["list_background"]))
    ctx.fill()
    ctx.select_font_face(skin.FAMILY, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(9)
    w = ctx.text_extents(text).x_advance
    label(ctx, text, l + (r - l - w) / 2, t - 1, colour=CC["list_text"], size=9)


def slider(ctx, images, rect, value, bg=10021, handle=10022):
    place(ctx, images[bg], rect)
    hw = images[handle].surface.get_width() / images[handle].scale
    place(ctx, images[handle], rect, x_offset=round(value * (rect[2] - rect[0] - hw)))


def fill(ctx, rect, colour):
    l, t, r, b = rect
    ctx.rectangle(l, t, r - l, b - t)
    ctx.set_source_rgba(*rgba(colour))
    ctx.fill()


def compose(images, scale):
    w, h = skin.WINDOW
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, round(w * scale), round(h * scale))
    ctx = cairo.Context(surface)
    ctx.scale(scale, scale)
    place(ctx, images[10000], (0, 0))

    # voice page: the kick
    place(ctx, images[10003], C["page title"])
    for name, (text, value) in KICK_KNOBS.items():
        knob(ctx, images, C[name], text, value)
    envelope(ctx, C["left envelope"], 0.04, 0.55, 2.2)
    envelope(ctx, C["right envelope"], 0.02, 0.30, 3.5)
    label(ctx, "Amp Envelope", *C["left envelope caption"][:2])
    label(ctx, "Pitch Envelope", *C["right envelope caption"][:2])
    label(ctx, "Waveform", *C["waveform caption"][:2])
    place(ctx, images[10018], C["waveform"])

    # lane
    label(ctx, "Kickdrum Velocity", *C["lane title"][:2])
    lane = C["lane"]
    for s, v in enumerate(KICK_VELOCITY):
        x = lane[0] + 13 * s
        if s % 4 == 0:
            fill(ctx, (x, lane[1], x + 12, lane[3]), CC["beat_tint"])
        top = lane[1] + 1 + int((1 - v) * (lane[3] - lane[1] - 2))
        fill(ctx, (x, top, x + 12, lane[3]), CC["step_on"])
    for name, img in (("lane clear", 10024), ("lane invert", 10031), ("lane ramp", 10032),
                      ("lane sine", 10033), ("lane random", 10027),
                      ("lane re-randomise", 10023)):
        place(ctx, images[img], C[name])

    # step grid
    place(ctx, images[10001], C["voice selector"], frame=11)
    for k in range(12):
        place(ctx, images[10019], C[f"mute {k}"])
        place(ctx, images[10020], C[f"solo {k}"])
        l, t, r, b = C[f"steps {k}"]
        for s in range(32):
            x = l + 13 * s
            if s % 4 == 0:
                fill(ctx, (x, t, x + 12, b), CC["beat_tint"])
            if s in GROOVE.get(k, []):
                fill(ctx, (x + 2, t + 2, x + 10, b - 2), CC["step_on"])

    # pattern tools
    slider(ctx, images, C["selected beats"], 1.0)
    slider(ctx, images, C["random beats"], 0.0)
    for name, img in (("row clear", 10024), ("row random fill", 10027),
                      ("row random reset", 10023), ("pattern clear", 10024),
                      ("pattern copy", 10025), ("pattern paste", 10026)):
        place(ctx, images[img], C[name])
    list_box(ctx, C["random size"], "1/16")
    label(ctx, "SEQ", C["random velocity"][0], C["random velocity"][1] - 1,
          colour=CC["list_text"], size=9)
    sel = C["pattern selector"]
    cell = (sel[0] + 2, sel[1] + 1, sel[0] + 13, sel[3] - 1)
    fill(ctx, cell, CC["pattern_cell"])
    place(ctx, images[10034], sel)
    list_box(ctx, C["step size"], "1 x 16")

    # mixer
    for k in range(12):
        small_knob(ctx, C[f"level {k}"], LEVELS[k])
        slider(ctx, images, C[f"pan {k}"], 0.5, bg=10015, handle=10016)
        place(ctx, images[10017], C[f"output {k}"], frame=0)

    # master column
    place(ctx, images[10029], C["play"])
    place(ctx, images[10030], C["stop"])
    list_box(ctx, C["sync"], "Host")
    for name, (text, value) in MASTER_KNOBS.items():
        knob(ctx, images, C[name], text, value)
    label(ctx, "120", *C["tempo read-out"][:2])
    slider(ctx, images, C["swing"], 0.0)
    slider(ctx, images, C["attack"], 0.3)
    place(ctx, images[10036], C["indicator"])
    place(ctx, images[10035], C["MIDI output only"])
    return surface
