"""Musical idioms shared by the kits: fills, rolls, builds and the layout of a performance set.

Everything here is deterministic; whatever randomness a pattern has is the sequencer's own
(Selected Beats, Random Beats, re-randomised lanes and rows), so it plays differently each
time in the plug-in but stays the pattern the designer wrote.
"""

from design import Pattern, regrid16to32, two_bars

CRESCENDO_16 = "2334455667788999"
CRESCENDO_32 = "11223344455566677778888899999999"


def crescendo(length, low=2, high=9):
    """Velocity characters rising evenly over `length` steps."""
    if length == 1:
        return str(high)
    return "".join(str(round(low + (high - low) * i / (length - 1))) for i in range(length))


def rising_lane(length, low=0.3, high=0.8):
    """Lane values rising evenly (0.5 is the voice's own setting)."""
    return [low + (high - low) * i / max(1, length - 1) for i in range(length)]


def snare_build(title, groove, voice, grid="1 x 16", tune=None, decay=None, keep=("KD", "CH")):
    """A build-up: the groove's kick and hats under a snare that doubles up and swells, its
    pitch rising step by step."""
    if grid == "1 x 16":
        p = Pattern(title, "1 x 16")
        for v in keep:
            if v in groove.rows and groove.grid == "1 x 16":
                p.set_row(v, groove.rows[v])
        if groove.grid != "1 x 16":
            p.set_row("KD", "9... 9... 9... 9...")
        p.set_row(voice, "5.5. 6.6. 6767 8989")
        length = 16
    else:
        p = _base32(title, groove, keep)
        p.set_row(voice, "4.4.4.4. 5.5.5.5. 56565656 67788999")
        length = 32
    if tune:
        p.lane(tune, rising_lane(length, 0.35, 0.85))
    if decay:
        p.lane(decay, rising_lane(length, 0.25, 0.6))
    return p


def _base32(title, groove, keep):
    """The kept voices of a groove on the 1 x 32 grid."""
    if groove.grid == "1 x 32":
        p = Pattern(title, "1 x 32")
        for v in keep:
            if v in groove.rows:
                p.set_row(v, groove.rows[v])
        return p
    base = Pattern("tmp", "1 x 16")
    for v in keep:
        if v in groove.rows and groove.grid == "1 x 16":
            base.set_row(v, groove.rows[v])
    if groove.grid != "1 x 16":
        base.set_row("KD", "9... 9... 9... 9...")
    return regrid16to32(base, title, grid="1 x 32")


def roll32(title, groove, voice, tune=None, keep=("KD",), accent_end=True):
    """A one-bar 32nd-note roll that swells into the next bar."""
    p = _base32(title, groove, keep)
    p.set_row(voice, CRESCENDO_32 if accent_end else "5" * 32)
    if tune:
        p.lane(tune, rising_lane(32, 0.3, 0.9))
    return p


def tom_fill_16(title, groove, at=8, order=("HT", "HT", "MT", "MT", "LT", "LT", "LT", "KD")):
    """The groove with its second half replaced by a tom run, high to low."""
    chars = {"HT": [], "MT": [], "LT": [], "KD": [], "S9": [], "S8": []}
    rows = {}
    n = groove.steps - at
    if n > len(order):
        # A longer run on a finer grid: each tom gets its steps spread over the run.
        order = [order[i * len(order) // n] for i in range(n)]
    for i, voice in enumerate(order[:n]):
        rows.setdefault(voice, ["."] * n)
        rows[voice][i] = "8" if i % 2 == 0 else "6"
    rows = {v: "".join(r) for v, r in rows.items()}
    del chars
    return groove.splice(title, at, keep="CH" if at >= 12 else "", **rows)


def triplet_fill(title, kick_row, snare_voice, toms=("HT", "MT", "LT")):
    """A bar of 16th triplets: three beats of the groove's kick, then a triplet tom and snare
    run across the last beat and a half."""
    p = Pattern(title, "1 x 16T")
    p.set_row("KD", kick_row)
    p.set_row(snare_voice, "...... ...7.. ..5..6 ......")
    p.set_row(toms[0], "...... ...... ...... 98....")
    p.set_row(toms[1], "...... ...... ...... ..87..")
    p.set_row(toms[2], "...... ...... ...... ....89")
    return p


def standard_set(kit_title, a, b, c, breakdown, fills, ideas):
    """Sixteen patterns laid out for playing live, left to right:

      1 intro           2-6 main grooves, each with one of the kit's sequencer ideas
      7-8 breakdowns    9-10 builds        11 drop
      12-13 fills       14 alternate feel   15 outro         16 ending

    `ideas` holds what this kit does with the sequencer: lanes for the main grooves, random
    beats, the build voice and the parameter its pitch rises on, and the voices that fade out
    first in the outro."""
    s = []
    intro = a.without("Intro: kick and hats, hats finding their feet", *ideas["intro_drop"])
    intro.tool(ideas["hat"], sel=70)
    if ideas.get("intro_randvel", False):
        # Re-rolled velocities reach full velocity now and then, and over a minute of the
        # intro a full-velocity hat lands on the kick and clips in most kits; only a kit
        # whose hats stay under the kick even then re-rolls them here.
        intro.randvel(ideas["hat"])
    s.append(intro)

    main_a = a.copy("Main A: " + ideas["lanes"][0][0])
    ideas["lanes"][0][1](main_a)
    s.append(main_a)

    ghost = a.copy("Main A with ghost notes: " + ideas["random"][0][0])
    ideas["random"][0][1](ghost)
    s.append(ghost)

    main_b = b.copy("Main B: " + ideas["lanes"][1][0])
    ideas["lanes"][1][1](main_b)
    s.append(main_b)

    main_b2 = b.copy("Main B, restless: " + ideas["random"][1][0])
    ideas["random"][1][1](main_b2)
    s.append(main_b2)

    peak = c.copy("Main C, peak: " + ideas["lanes"][2][0])
    ideas["lanes"][2][1](peak)
    s.append(peak)

    s.extend(breakdown)

    s.append(snare_build("Build 1: snare doubling up, pitch rising", a, ideas["build"],
                         tune=ideas["build_tune"]))
    s.append(snare_build("Build 2: 32nd roll, pitch and decay opening", a, ideas["build"],
                         grid="1 x 32", tune=ideas["build_tune"],
                         decay=ideas.get("build_decay")))

    drop = c.copy("Drop: peak groove with a crash on the one")
    drop.set_row("CY", "9" + drop.rows.get("CY", "." * drop.steps)[1:])
    ideas["lanes"][2][1](drop)
    ideas["random"][0][1](drop)
    s.append(drop)

    s.extend(fills)

    alt = ideas["alt"]
    s.append(alt)

    outro = a.copy("Outro: the groove falling apart")
    for voice in ideas["outro_thin"]:
        if voice in outro.rows:
            outro.tool(voice, sel=55)
    s.append(outro)

    end = Pattern("Ending: last hit and the cymbal ringing out", "1 x 16",
                  KD="9", CY="9", **{ideas["build"]: "8"})
    s.append(end)
    assert len(s) == 16, kit_title
    return s


def standard_kit(g):
    """Sixteen patterns that show a kit off, from its hand-written grooves `g`:

      1-5 main grooves (A, A2, B, B2, C)   6-7 two-bar phrases ending in a turnaround or a
      tom fill   8 the alternate feel on another grid   9-10 breaks   11 intro
      12-14 fills (32nd roll, tom run, triplets)   15 peak with a crash   16 stop-time hits
    """
    a, a2, b, b2, c = g["a"], g["a2"], g["b"], g["b2"], g["c"]
    snare = g["snare"]
    out = [a, a2, b, b2, c]
    if a2.grid == g["turn"].grid == "1 x 16":
        out.append(two_bars("Two bars: groove, then a turnaround", a2, g["turn"]))
    else:
        out.append(g["turn"].copy("Turnaround: the groove folding into the next bar"))
    if b.grid == b2.grid == "1 x 16":
        out.append(two_bars("Two bars: groove B ending in a tom run", b,
                            tom_fill_16("", b2, at=g.get("tom_at", 12))))
    else:
        out.append(tom_fill_16("Groove B ending in a tom run", b2, at=b2.steps * 3 // 4))
    out.append(g["alt"])
    out.append(g["break"])
    out.append(g["break2"])
    intro = g.get("intro") or a.without("Intro: kick and hats", *g.get("intro_drop", (
        snare, "CL", "S8", "S9", "CY", "RS", "CB", "LT", "MT", "HT")))
    out.append(intro)
    out.append(roll32("Fill: 32nd roll swelling into the next bar", a, g.get("roll", snare),
                      keep=("KD",)))
    out.append(tom_fill_16("Fill: tom run down the kit", c, at=c.steps // 2))
    out.append(triplet_fill("Fill: triplets across the last beat", g["trip_kick"], snare))
    peak = c.but("Peak: the groove with a crash on the one")
    crashes = peak.rows.get("CY", "." * peak.steps)
    if crashes[0] != ".":
        # The groove already crashes on the one: the peak crashes halfway through as well.
        half = peak.steps // 2
        crashes = crashes[:half] + "9" + crashes[half + 1:]
    peak.set_row("CY", "9" + crashes[1:])
    out.append(peak)
    out.append(g.get("stops") or P_stops(snare, c.steps))
    titles = [p.title for p in out]
    assert len(out) == 16 and len(set(titles)) == 16, titles
    return out


def P_stops(snare, steps=16):
    return Pattern("Stop-time: band hits on the one and the and-of-two", "1 x 16",
                   KD="9... ..8. .... ....", CY="9... ..7. .... ....",
                   **{snare: "9... ..8. .... ...."})


def set_ideas(hat, build, build_tune, build_decay, lanes, random, alt, outro_thin,
              intro_drop=("CL", "S8", "S9", "CY", "RS", "CB", "LT", "MT", "HT"),
              intro_randvel=False):
    """The kit-specific choices standard_set needs (see there)."""
    return {"hat": hat, "intro_drop": intro_drop, "lanes": lanes, "random": random,
            "build": build, "build_tune": build_tune, "build_decay": build_decay, "alt": alt,
            "outro_thin": outro_thin, "intro_randvel": intro_randvel}
