"""The skin, described: colours, type, captions and where everything sits.

Every image of the editor is drawn by build_skin.py from this module. Change a colour, a
caption or a position here and rebuild; nothing else needs to change. Coordinates are
pixels of the 728 x 595 window at 1x (left, top, right, bottom; right and bottom exclusive),
taken from the editor's layout; the builder scales them for high-DPI sets.
"""

WINDOW = (728, 595)

# ---------------------------------------------------------------------------------------
# Colours (red, green, blue). The controls bring their own fixed colours (dark grey knob
# faces with deep red value fill, steel blue-grey envelope panels, orange pattern cells,
# red list-box text, a green learn outline); the panel stays dark and neutral around them.

COLOURS = {
    # surfaces, darkest to lightest
    "brand": (21, 22, 25),  # the about panel in the top right corner
    "well": (17, 18, 21),  # recessed areas: the lane, slider grooves
    "sequencer": (28, 30, 34),  # the step grid and the pattern tools
    "band": (37, 40, 45),  # the upper half (voice page and lane), the master column
    "mixer": (40, 43, 48),  # the bottom band
    "page": (50, 54, 60),  # the voice page card
    "tray": (31, 33, 38),  # under the lane
    "strip": (47, 50, 56),  # one mixer strip
    "pad": (45, 48, 54),  # an off step, first beat of each pair of beats
    "pad_alt": (38, 41, 46),  # an off step, second beat of each pair
    "knob_face": (64, 66, 71),  # under every knob; the deep red fill reads against it
    "knob_rim": (15, 16, 18),
    "list_box": (60, 60, 60),  # what the list boxes fill themselves with
    "key": (146, 151, 158),  # pattern selector cells
    "button": (58, 62, 69),  # face of a button that is off
    "button_edge": (16, 17, 20),
    "button_lit": (206, 211, 218),  # face of a momentary button while held
    "handle": (208, 212, 218),
    "edge_light": (62, 66, 73),  # one-pixel light edge at the top of a raised band
    "edge_dark": (14, 15, 17),  # one-pixel shadow under a raised band
    # text
    "text": (198, 203, 211),  # captions
    "text_dim": (150, 157, 166),  # secondary captions on the dark bands only
    "title": (232, 235, 240),  # section titles, names
    "ink": (18, 19, 22),  # dark text on light faces
    "brand_text": (236, 238, 242),
    "brand_dim": (160, 166, 175),
    # accents
    "accent": (255, 153, 0),  # the pattern cell orange, used sparingly elsewhere
    "led_off": (44, 47, 52),
    "led_on": (255, 153, 0),
    "mute_on": (226, 102, 64),
    "solo_on": (234, 204, 76),
    "play_on": (112, 208, 120),
}

# The controls' own colours, used only by the composed preview to stand in for what the
# controls draw themselves.
CONTROL_COLOURS = {
    "knob_frame": (90, 90, 90),
    "knob_fill": (88, 50, 51),
    "pointer": (0, 0, 0),
    "env_background": (76, 90, 101),
    "env_curve": (156, 168, 170),
    "env_hatch": (156, 168, 170, 71),
    "env_grid": (0, 0, 0, 25),
    "pattern_cell": (255, 153, 0),
    "step_on": (178, 178, 178, 200),
    "beat_tint": (255, 255, 255, 13),
    "list_text": (255, 0, 0),
    "list_background": (60, 60, 60, 240),
    # The bitmap fonts bring their own glyph colours: light for the labels (font 20000),
    # red for the list boxes and velocity read-outs (font 20001). The skin is designed for
    # these; the check holds the background under every such text to them.
    "label_text": (214, 218, 224),
}

# ---------------------------------------------------------------------------------------
# Type: one family. Sizes are pixels at 1x; nothing is smaller than the editor's own
# bitmap fonts (line heights 12 and 11).

FAMILY = "DejaVu Sans"
FAMILY_CONDENSED = "DejaVu Sans Condensed"

STYLES = {
    # name: (family, bold, size, colour, letter spacing)
    "caption": (FAMILY_CONDENSED, False, 9.5, "text", 0.0),
    "caption_dim": (FAMILY_CONDENSED, False, 9.0, "text_dim", 0.0),
    "beat": (FAMILY_CONDENSED, True, 9.0, "title", 0.0),
    "section": (FAMILY_CONDENSED, True, 9.0, "title", 1.0),
    "section_narrow": (FAMILY_CONDENSED, True, 9.0, "title", 0.0),
    "name": (FAMILY_CONDENSED, False, 9.5, "text", 0.0),
    "strip": (FAMILY_CONDENSED, False, 9.0, "text", 0.0),
    "name_selected": (FAMILY_CONDENSED, False, 9.5, "ink", 0.0),
    "button": (FAMILY_CONDENSED, False, 9.0, "text", 0.0),
    "button_lit": (FAMILY_CONDENSED, False, 9.0, "ink", 0.0),
    "big_button": (FAMILY_CONDENSED, True, 10.0, "text", 0.4),
    "big_button_lit": (FAMILY_CONDENSED, True, 10.0, "title", 0.4),
    "letter": (FAMILY_CONDENSED, True, 9.0, "text_dim", 0.0),
    "letter_lit": (FAMILY_CONDENSED, True, 9.0, "ink", 0.0),
    "key": (FAMILY_CONDENSED, False, 9.0, "ink", 0.0),
    "key_tight": (FAMILY_CONDENSED, False, 9.0, "ink", -0.7),  # two digits on an 11 px key
    "page_title": (FAMILY, True, 10.5, "title", 0.6),
    "wordmark": (FAMILY, True, 30.0, "brand_text", 1.0),
    "brand_line": (FAMILY, False, 10.0, "brand_dim", 0.3),
    "brand_strong": (FAMILY, True, 10.0, "brand_text", 0.3),
    "brand_small": (FAMILY_CONDENSED, False, 9.5, "brand_dim", 0.2),
}

# ---------------------------------------------------------------------------------------
# Voices, in mixer order.

VOICES = ["Kickdrum", "Snare 8", "Snare 9", "Low Tom", "Mid Tom", "High Tom",
          "Closed Hat", "Open Hat", "Cymbal", "Rimshot", "Clap", "Cowbell"]
# Names under the 40-pixel mixer strips.
STRIP_NAMES = ["Kick", "Snare 8", "Snare 9", "Lo Tom", "Mid Tom", "Hi Tom",
               "Cl. Hat", "Op. Hat", "Cymbal", "Rimshot", "Clap", "Cowbell"]
PAGE_TITLES = [v.upper() for v in VOICES]


def step_row(k):
    return (110, 445 - 13 * k, 526, 457 - 13 * k)


def strip(k, left, top, right, bottom):
    return (left + 40 * k, top, right + 40 * k, bottom)


# ---------------------------------------------------------------------------------------
# Control rectangles of the editor's layout, by name. The captions may not touch any of
# them; the preview places every image on them.

CONTROLS = {}
for _k in range(12):
    CONTROLS[f"level {_k}"] = strip(_k, 64, 531, 81, 548)
    CONTROLS[f"pan {_k}"] = strip(_k, 60, 552, 85, 561)
    CONTROLS[f"output {_k}"] = strip(_k, 60, 563, 85, 581)
    CONTROLS[f"mute {_k}"] = (32, 446 - 13 * _k, 42, 456 - 13 * _k)
    CONTROLS[f"solo {_k}"] = (45, 446 - 13 * _k, 55, 456 - 13 * _k)
    CONTROLS[f"steps {_k}"] = step_row(_k)
CONTROLS.update({
    "lane title": (93, 187, 293, 199),
    "voice selector": (56, 301, 109, 458),
    "play": (568, 314, 630, 351),
    "stop": (640, 314, 702, 351),
    "tempo": (555, 379, 616, 431),
    "compressor": (555, 440, 616, 492),
    "output A": (555, 513, 616, 565),
    "swing": (622, 402, 699, 415),
    "attack": (622, 463, 699, 476),
    "tempo read-out": (597, 380, 619, 391),
    "indicator": (646, 515, 695, 526),
    "MIDI output only": (640, 526, 702, 563),
    "lane": (110, 202, 526, 247),
    "lane clear": (63, 201, 107, 212),
    "lane invert": (347, 186, 391, 197),
    "lane ramp": (392, 186, 436, 197),
    "lane sine": (437, 186, 481, 197),
    "lane random": (482, 186, 526, 197),
    "lane re-randomise": (63, 215, 107, 226),
    "pattern clear": (390, 462, 434, 473),
    "pattern copy": (436, 462, 480, 473),
    "pattern paste": (482, 462, 526, 473),
    "pattern selector": (317, 476, 526, 489),
    "step size": (474, 492, 525, 503),
    "sync": (643, 364, 699, 375),
    "about": (547, 0, 728, 259),
    # the pattern tools of the shown voice
    "selected beats": (32, 478, 109, 491),
    "random beats": (120, 478, 197, 491),
    "row clear": (120, 462, 164, 473),
    "row random fill": (166, 462, 210, 473),
    "row random reset": (212, 462, 256, 473),
    "random size": (202, 479, 230, 490),
    "random velocity": (238, 479, 260, 490),
    # the voice page
    "page title": (23, 6, 119, 26),
    "knob A": (17, 35, 78, 87),
    "knob B": (77, 35, 138, 87),
    "knob C": (137, 35, 198, 87),
    "knob D": (17, 99, 78, 151),
    "knob E": (77, 99, 138, 151),
    "knob F": (137, 99, 198, 151),
    "left envelope caption": (213, 35, 313, 51),
    "left envelope": (213, 47, 366, 140),
    "right envelope caption": (373, 35, 473, 51),
    "right envelope": (373, 47, 526, 140),
    "waveform": (151, 114, 185, 136),
    "waveform caption": (147, 99, 247, 115),
    "more cowbell": (144, 99, 188, 110),
})

# ---------------------------------------------------------------------------------------
# Bands of the background, back to front: (colour, rectangle, corner radius).

BANDS = [
    ("band", (0, 0, 547, 259), 0),
    ("mixer", (0, 509, 547, 595), 0),
    ("band", (547, 259, 728, 595), 0),
    ("brand", (547, 0, 728, 259), 0),
    ("page", (9, 3, 538, 160), 5),
    ("tray", (9, 172, 538, 255), 5),
]

# ---------------------------------------------------------------------------------------
# Static captions of the background: (text, box, style, alignment). Boxes are built from
# the control rectangles so that a moved control takes its caption along.


def above(rect, height=11, gap=1):
    return (rect[0], rect[1] - gap - height, rect[2], rect[1] - gap)


def below(rect, height=11, gap=2):
    return (rect[0], rect[3] + gap, rect[2], rect[3] + gap + height)


def left_of(rect, width, gap=4):
    return (rect[0] - gap - width, rect[1], rect[0] - gap, rect[3])


def centre_column(rect, width, top, height=11):
    mid = (rect[0] + rect[2]) / 2
    return (int(mid - width / 2), top, int(mid - width / 2) + width, top + height)


C = CONTROLS
STEP_HEADER_TOP = 288  # the row of step numbers and M / S over the grid
STRIP_HALF_WIDTH = 18  # mixer strips, around the centre of each voice's controls
MIXER_CAPTION_RIGHT = 50  # row captions end a few pixels left of the first strip
CAPTIONS = (
    # step grid header
    [("M", (C["mute 11"][0], STEP_HEADER_TOP, C["mute 11"][2], STEP_HEADER_TOP + 11), "beat", "centre"),
     ("S", (C["solo 11"][0], STEP_HEADER_TOP, C["solo 11"][2], STEP_HEADER_TOP + 11), "beat", "centre"),
     ("VOICE", (58, STEP_HEADER_TOP, 107, STEP_HEADER_TOP + 11), "section", "right")]
    + [(str(s + 1), (110 + 13 * s, STEP_HEADER_TOP, 122 + 13 * s, STEP_HEADER_TOP + 11),
        "beat" if s % 4 == 0 else "caption_dim", "centre") for s in range(32)]
    # lane
    + [("LANE", left_of(C["lane clear"], 50, gap=6), "section", "right"),
       ("SHAPE", left_of(C["lane invert"], 44, gap=6), "section", "right")]
    # pattern tools of the shown voice
    + [("ROW", left_of(C["row clear"], 60, gap=6), "section", "right"),
       ("Selected Beats", below(C["selected beats"]), "caption", "centre"),
       ("Random Beats", below(C["random beats"]), "caption", "centre"),
       ("Size", below(C["random size"]), "caption", "centre"),
       ("Vel", below(C["random velocity"]), "caption", "centre")]
    # pattern
    + [("PATTERN", left_of(C["pattern clear"], 70, gap=6), "section", "right"),
       ("Step size", left_of(C["step size"], 60, gap=6), "caption", "right")]
    # mixer
    + [("MIXER", (6, 517, MIXER_CAPTION_RIGHT, 528), "section", "right"),
       ("Level", (6, 534, MIXER_CAPTION_RIGHT, 545), "caption", "right"),
       ("Pan", (6, 551, MIXER_CAPTION_RIGHT, 562), "caption", "right"),
       ("Out", (6, 566, MIXER_CAPTION_RIGHT, 577), "caption", "right")]
    + [(STRIP_NAMES[k], centre_column(C[f"pan {k}"], 36, 517), "strip", "centre")
       for k in range(12)]
    # master column
    + [("MASTER", (568, 294, 702, 305), "section", "left"),
       ("Sync", left_of(C["sync"], 40, gap=6), "caption", "right"),
       ("Swing", above(C["swing"]), "caption", "left"),
       ("Attack", above(C["attack"]), "caption", "left")]
)

# ---------------------------------------------------------------------------------------
# Buttons: image id -> (kind, frame texts). "momentary" buttons light up while held;
# "toggle" buttons turn the accent colour while on.

BUTTONS = {
    10023: ("toggle", "Auto Rnd"),
    10024: ("momentary", "Clear"),
    10025: ("momentary", "Copy"),
    10026: ("momentary", "Paste"),
    10027: ("momentary", "Random"),
    10028: ("toggle", "More Bell"),
    10031: ("momentary", "Invert"),
    10032: ("momentary", "Ramp"),
    10033: ("momentary", "Sine"),
}

PRODUCT = "Kavrel"
VENDOR = "Quellmark, Inc."
TAGLINE = "Synthesised drum machine"
ABOUT_LINES = ["Twelve analogue-style voices,", "no samples: every hit is", "synthesised as it plays."]
INDICATOR_TEXT = "MIDI OUT"

# ---------------------------------------------------------------------------------------
# Which image each control shows, and which voice pages show the page controls. The check
# uses it to match every frame to its rectangle and to find images that would collide.

PLACEMENTS = (
    [(f"level {k}", None) for k in range(12)]  # drawn by the knob on the background
    + [(f"pan {k}", 10015) for k in range(12)]
    + [(f"output {k}", 10017) for k in range(12)]
    + [(f"mute {k}", 10019) for k in range(12)]
    + [(f"solo {k}", 10020) for k in range(12)]
    + [("voice selector", 10001), ("play", 10029), ("stop", 10030),
       ("tempo", 10002), ("compressor", 10002), ("output A", 10002),
       ("swing", 10021), ("attack", 10021), ("indicator", 10036),
       ("MIDI output only", 10035), ("lane clear", 10024), ("lane invert", 10031),
       ("lane ramp", 10032), ("lane sine", 10033), ("lane random", 10027),
       ("lane re-randomise", 10023), ("pattern clear", 10024), ("pattern copy", 10025),
       ("pattern paste", 10026), ("pattern selector", 10034), ("about", 10037),
       ("selected beats", 10021), ("random beats", 10021), ("row clear", 10024),
       ("row random fill", 10027), ("row random reset", 10023), ("page title", 10003),
       ("knob A", 10002), ("knob B", 10002), ("knob C", 10002), ("knob D", 10002),
       ("knob E", 10002), ("knob F", 10002), ("waveform", 10018), ("more cowbell", 10028)]
)
PAGE_CONTROLS = {
    0: ["knob A", "knob B", "knob C", "knob D", "knob E", "waveform"],
    1: ["knob A", "knob B", "knob C", "knob D"],
    2: ["knob A", "knob B", "knob C"],
    3: ["knob A", "knob B", "knob C", "knob D", "knob E", "knob F"],
    4: ["knob A", "knob B", "knob C", "knob D", "knob E", "knob F"],
    5: ["knob A", "knob B", "knob C", "knob D", "knob E", "knob F"],
    6: ["knob A", "knob B", "knob D", "knob E", "knob F"],
    7: ["knob A", "knob B", "knob D", "knob E", "knob F"],
    8: ["knob A", "knob B", "knob C", "knob D", "knob E"],
    9: ["knob A", "knob B"],
    10: ["knob A", "knob B"],
    11: ["knob A", "knob B", "knob C", "knob D", "more cowbell"],
}

# Where controls write bitmap-font text straight onto the background, with the glyph
# colour they bring. A knob's label takes the top 11 rows of its rectangle.
FONT_TEXT_AREAS = (
    [("lane title", (93, 187, 293, 199), "label_text"),
     ("left envelope caption", (213, 35, 313, 47), "label_text"),
     ("right envelope caption", (373, 35, 473, 47), "label_text"),
     ("waveform caption", (147, 99, 213, 111), "label_text"),
     ("tempo read-out", (597, 380, 619, 391), "label_text"),
     ("random velocity", (238, 479, 260, 490), "list_text")]
    + [(f"{n} label", (CONTROLS[n][0], CONTROLS[n][1], CONTROLS[n][2], CONTROLS[n][1] + 11),
        "label_text")
       for n in ("knob A", "knob B", "knob C", "knob D", "knob E", "knob F",
                 "tempo", "compressor", "output A")]
)
