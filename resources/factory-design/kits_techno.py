"""Techno kits: Minimal, Heavy Duty, Mister Clicky, Grinder, Super Duty, Full Of Techno."""

from design import Kit, Pattern as P
from idioms import roll32, set_ideas, standard_kit, standard_set
from voicing import clap, cowbell, cymbal, hats, kick, merge, rim, snare8, snare9, toms


def _package(kit, kit_patterns, set_patterns, summary):
    return {"kit": kit, "kit_patterns": kit_patterns, "set_patterns": set_patterns,
            "set_summary": summary}


def minimal():
    kit = Kit(
        "Minimal ", tempo=125, swing=10, compressor=15, comp_attack=0.003,
        character="minimal techno: a short dry kick, clicks and rims instead of snares, "
                  "tiny hats and a tuned bell, lots of space",
        notes={"KD": "short, tight, almost no tail", "RS": "high, dry click",
               "CB": "tuned, short, filtered bell for the riff", "CH": "tiny tick"},
        sound=merge(
            kick(55, 240, sweep=40, sweep_time=25, click=-14, sat=0.05, sine=True,
                 attack=0.2, decay_curve=-0.5),
            snare9(240, 60, 110, color=11000, noise=-4, noise_curve=-0.7),
            snare8(185, 90, color=2500, noise=-6),
            toms(64, 86, 112, depth=25, decay=180, noise=-30, click=-8),
            clap(1600, 120),
            cowbell(820, 1.25, 70, filter=3800, res=0.3, curve=-0.7),
            hats(22, 200, tune=0.7, noise=35, bpf=11000, hpf=8000, open_curve=-0.6),
            cymbal(900, tuning=0.7, body=8000, noise=-26, ding=-8, ding_freq=6000,
                   ding_decay=20),
            rim(0.78, 1200)),
        mix={"KD": (0, 0.5), "RS": (-6, 0.4), "CB": (-9, 0.62), "CH": (-5, 0.64),
             "OH": (-7, 0.38), "S9": (-9, 0.5), "S8": (-11, 0.5), "CL": (-8, 0.52),
             "LT": (-9, 0.3), "MT": (-9, 0.5), "HT": (-9, 0.7), "CY": (-12, 0.72)},
    )
    a = P("Main groove: dry kick, off-beat hat, a single rim",
          KD="9... 9... 9... 9...", CH="..6. ..6. ..6. ..6.", RS=".... ...6 .... ....")
    a2 = a.but("Main groove with a clap on the four and a 16th tick",
               CL=".... .... .... 7...", CH="3.6. 3.63 3.6. 3.6.")
    b = P("Bell riff: the tuned bell over kick and rims",
          KD="9... 9... 9... 9...", CB="..6. .5.. ...6 ..4.", RS=".... 6... .... 6...",
          CH="..5. ..5. ..5. ..5.")
    b2 = b.but("Bell riff with an open hat lift", OH=".... .... ..6. ....")
    c = P("Peak: kick, bell, rim, clap and ping ride",
          KD="9... 9... 9... 9...", CB="..6. .5.. ...6 ..4.", RS="...5 .... .5.. ....",
          CL=".... 7... .... 7...", CH="3.6. 3.6. 3.6. 3.6.", CY="..5. ..5. ..5. ..5.")
    g = {"a": a, "a2": a2, "b": b, "b2": b2, "c": c, "snare": "RS", "roll": "CH",
         "turn": a2.but("", RS=".... ...6 ..5. .6.5", KD="9... 9... 9... 9..."),
         "alt": P("Triplet ticks: the groove on 16th triplets", "1 x 16T",
                  KD="9..... 9..... 9..... 9.....", CH="..6..6 ..6..6 ..6..6 ..6..6",
                  RS="...... ....6. ...... ..6...", CB="...5.. ...... .5.... ......"),
         "break": P("Break: clicks and bell, no kick",
                    RS=".... 6..5 .... 6...", CB="..6. .5.. ...6 ..4.",
                    CH="3.6. 3.6. 3.6. 3.6."),
         "break2": P("Break: tiny toms and ticks",
                     HT="..6. .... ..5. ....", MT=".... .6.. .... ..5.",
                     LT="6... .... .... ....", CH="..5. ..5. ..5. ..5."),
         "trip_kick": "9..... 9..... 9..... ......"}
    kit_patterns = standard_kit(g)
    breakdown = [
        P("Breakdown: bell alone, its pitch and filter moving per step",
          CB="..6. .5.. ...6 ..4.", CH="..5. ..5. ..5. ..5.")
        .lane("Cowbell Tune", "..5. .7.. ...3 ..6.").lane("Cowbell Filter Freq", "..4. .6.. ...7 ..3."),
        P("Breakdown 2: rims scattering at random over the ticks",
          RS=".... 6... .... ....", CH="3.6. 3.6. 3.6. 3.6.")
        .tool("RS", rnd=18, size="1/16", vel=60).randomlane("Rimshot Tune"),
    ]
    fills = [
        P("Fill 1: rim stutter on 32nds, pitch falling", "1 x 32",
          KD="9....... 9....... 9....... ........",
          RS="........ ........ ......5. 5.5.6666")
        .lane("Rimshot Tune", "........ ........ ......8. 7.6.5432"),
        P("Fill 2: tom tick run on triplets", "1 x 16T",
          KD="9..... 9..... 9..... ......", HT="...... ...... ...... 6.6...",
          MT="...... ...... ...... ...6.6", RS="...... ...... ....5. ......"),
    ]
    ideas = set_ideas(
        "CH", "RS", "Rimshot Tune", None,
        [("rim pitch per step", lambda p: p.lane("Rimshot Tune", ".... ...6 .... ....")),
         ("bell pitch and filter per step",
          lambda p: p.lane("Cowbell Tune", "..5. .7.. ...3 ..6.")),
         ("kick length and hat length per step",
          lambda p: p.lane("Kickdrum Amp Decay", "5... 4... 6... 3...")
          .lane("CHH Decay", "..4. ..6. ..4. ..8."))],
        [("16th ticks at random", lambda p: p.tool("CH", rnd=18, size="1/16", vel=40)),
         ("rims and bell at random, bell velocities re-rolled",
          lambda p: p.tool("RS", rnd=10, size="1/16", vel=55).randvel("CB"))],
        g["alt"].copy("Alternate: triplet ticks with the hat pan re-rolled each bar")
        .randomlane("Closed High Hat Pan"),
        ("CB", "CH", "RS"), intro_randvel=False)
    set_patterns = standard_set(kit.title, a2, b2, c, breakdown, fills, ideas)
    return _package(kit, kit_patterns, set_patterns,
                    "a minimal set: a bell riff that changes pitch and filter per step, "
                    "rims and ticks scattered by probability, a rim stutter for fills")


def heavy_duty():
    kit = Kit(
        "Heavy Duty", tempo=136, swing=0, compressor=28, comp_attack=0.002,
        character="hard warehouse techno: a driven, booming kick, saturated toms, "
                  "a hard snare and clap, tight metallic hats",
        notes={"KD": "saturated, long, with a hard click", "LT": "saturated toms",
               "CH": "metallic, tight", "S9": "hard, bright"},
        sound=merge(
            kick(50, 560, sweep=75, sweep_time=45, click=-9, sat=0.45, sine=False,
                 attack=0.2, decay_curve=-0.35),
            snare9(220, 100, 200, color=14000, noise=0),
            snare8(170, 160, color=1800, noise=-2),
            toms(55, 74, 96, depth=45, decay=420, noise=-16, click=-6, sat=0.3),
            clap(1400, 300),
            cowbell(600, 1.6, 150, filter=3200, res=0.2),
            hats(35, 350, tune=0.55, noise=30, bpf=9000, hpf=7000, open_curve=-0.5),
            cymbal(2400, tuning=0.6, body=7500, noise=-8, ding=-14, curve=-0.6),
            rim(0.5, 900)),
        mix={"KD": (0, 0.5), "S9": (-7, 0.5), "CL": (-7, 0.52), "S8": (-11, 0.48),
             "LT": (-7, 0.3), "MT": (-7, 0.5), "HT": (-7, 0.7), "CH": (-5, 0.62),
             "OH": (-6, 0.4), "CY": (-9, 0.7), "RS": (-9, 0.35), "CB": (-11, 0.65)},
    )
    a = P("Main groove: pounding kick, clap on two and four, 16th hats",
          KD="9... 9... 9... 9...", CL=".... 8... .... 8...",
          CH="7575 7575 7575 7575", OH="..6. ..6. ..6. ..6.")
    a2 = a.but("Main groove with a hard snare and a rolling low tom",
               S9=".... 8... .... 8...", LT="..6. ..5. ..6. .5.5")
    b = P("Tom groove: saturated toms rolling between the kicks",
          KD="9... 9... 9... 9...", LT="..7. ..6. ..7. ..6.", MT="...5 .... ...5 ..5.",
          CH="7575 7575 7575 7575", CL=".... 8... .... 8...")
    b2 = b.but("Tom groove with a cowbell stab", CB=".... ..6. .... ...6")
    c = P("Peak: kick, snare and clap, toms and crash",
          KD="9... 9... 9... 9..6", S9=".... 8... .... 8...", CL=".... 8... .... 8...",
          LT="..7. ..6. ..7. ..6.", CH="7575 7575 7575 7575", OH="..6. ..6. ..6. ..6.",
          CY="7... .... .... ....")
    g = {"a": a, "a2": a2, "b": b, "b2": b2, "c": c, "snare": "S9",
         "turn": a2.but("", S9=".... 8... ..7. 8.89", KD="9... 9... 9... 9.9."),
         "alt": P("Half-time stomp on 32nds", "1 x 32",
                  KD="9....... ....7... ........ 9.......",
                  S9="........ ........ 9....... ........",
                  CH="7.5.7.5. 7.5.7.5. 7.5.7.5. 7.5.7575",
                  LT="........ ..6..... ........ ..6.6..."),
         "break": P("Break: hats, clap and toms, no kick",
                    CH="7575 7575 7575 7575", CL=".... 8... .... 8...",
                    LT="..7. ..6. ..7. ..6."),
         "break2": P("Break: snare rolls and crash",
                     S9="..4. ..5. ..6. 5678", CY="7... .... .... ....",
                     OH="..6. ..6. ..6. ..6."),
         "trip_kick": "9..... 9..... 9..... ......"}
    kit_patterns = standard_kit(g)
    breakdown = [
        P("Breakdown: toms whose pitch drops per step, hats at random",
          LT="..7. ..6. ..7. ..6.", MT="...5 .... ...5 ..5.", CL=".... 8... .... 8...")
        .lane("Low Tom Freq", "..7. ..5. ..4. ..2.").tool("CH", rnd=30, size="1/16", vel=60),
        P("Breakdown 2: crash wash and claps, clap tone per step",
          CY="7... .... .... ....", CL=".... 8... .... 8.6.", OH="..6. ..6. ..6. ..6.")
        .lane("Clap Tone", ".... 4... .... 6.8."),
    ]
    fills = [
        kit_patterns[12].copy("Fill 1: tom run, saturation rising")
        .lane("Low Tom Saturation", ".... .... .... 6.9.")
        .lane("Mid Tom Saturation", ".... .... .... 6.9."),
        roll32("Fill 2: snare roll, tuning up", a, "S9", tune="Snare9 Tune"),
    ]
    ideas = set_ideas(
        "CH", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("kick drive per step", lambda p: p.lane("Kickdrum Saturation", "5... 6... 5... 9...")),
         ("tom pitch per step", lambda p: p.lane("Low Tom Freq", "..7. ..5. ..6. ..3.")),
         ("hat length and kick tail per step",
          lambda p: p.lane("CHH Decay", "6464 6464 6464 6489")
          .lane("Kickdrum Amp Decay", "4... 4... 4... 7..."))],
        [("extra kicks at random on the 16ths",
          lambda p: p.tool("KD", rnd=6, size="1/16", vel=60)),
         # Re-rolled hat velocities put full-velocity hats on the kick and clip.
         ("toms at random",
          lambda p: p.tool("MT", rnd=10, size="1/16", vel=60))],
        g["alt"].copy("Alternate: half-time stomp, toms placed at random")
        .tool("LT", rnd=10, size="1/16", vel=60),
        ("CL", "CH", "LT"))
    set_patterns = standard_set(kit.title, a2, b2, c, breakdown, fills, ideas)
    return _package(kit, kit_patterns, set_patterns,
                    "a warehouse set: kick drive and tom pitch per step, extra kicks and "
                    "toms by probability, a snare roll that tunes up")


def mister_clicky():
    kit = Kit(
        "Mister Clicky ", tempo=122, swing=18, compressor=12, comp_attack=0.002,
        character="click house: every voice cut to a click or a blip, the kick a short "
                  "thump with a loud click, high rims and pinged bells",
        notes={"KD": "short, slightly driven thump under a bright click",
               "S9": "almost all noise, very short",
               "LT": "toms cut to blips", "CB": "pinged, resonant",
               "CH": "a single tick", "CL": "dry, no room"},
        sound=merge(
            kick(60, 260, sweep=30, sweep_time=15, click=-11, sat=0.3, sine=True,
                 attack=0.1, decay_curve=-0.4, click_tone=9000),
            snare9(260, 30, 60, color=16000, noise=0, noise_curve=-0.8),
            snare8(190, 45, color=5000, noise=-2),
            toms(70, 92, 118, depth=60, decay=70, body=40, noise=-40, click=-2),
            clap(2200, 30),
            cowbell(900, 1.9, 35, filter=5000, res=0.45, curve=-0.8),
            hats(8, 90, tune=0.9, noise=20, bpf=13000, hpf=9000, open_curve=-0.7),
            cymbal(400, tuning=0.9, body=9000, noise=-30, ding=-4, ding_freq=7500,
                   ding_decay=12),
            rim(0.95, 1600)),
        mix={"KD": (0, 0.5), "RS": (-7, 0.36), "S9": (-8, 0.56), "S8": (-9, 0.44),
             "LT": (-8, 0.25), "MT": (-8, 0.5), "HT": (-8, 0.75), "CH": (-4, 0.7),
             "OH": (-6, 0.3), "CY": (-10, 0.8), "CL": (-7, 0.5), "CB": (-8, 0.2)},
    )
    a = P("Main groove: click kick, ticking hats, rim pattern",
          KD="9... 9... 9... 9...", CH="6363 6363 6363 6363", RS="..6. ...5 ..6. .5..")
    a2 = a.but("Main groove with blip toms answering", HT="...5 .... .5.. ....",
               MT=".... ..5. .... ..5.")
    b = P("Bell groove: pinged bell and dry clap",
          KD="9... 9... 9... 9...", CB=".6.. 5..6 .5.. ..6.", CL=".... 7... .... 7...",
          CH="..6. ..6. ..6. ..6.")
    b2 = b.but("Bell groove with snare clicks", S9="...4 .... ..4. ...4")
    c = P("Peak: all the clicks together",
          KD="9... 9... 9... 9...", CH="6363 6363 6363 6363", RS="..6. ...5 ..6. .5..",
          CB=".6.. 5..6 .5.. ..6.", CL=".... 7... .... 7...", S8="..3. .... ...3 ....",
          CY="..5. ..5. ..5. ..5.")
    g = {"a": a, "a2": a2, "b": b, "b2": b2, "c": c, "snare": "CL", "roll": "RS",
         "turn": a2.but("", RS="..6. ...5 6565 6789"),
         "alt": P("Triplet clicks on the 8th triplet grid", "1 x 8T",
                  KD="9.. 9.. 9.. 9..", CH=".66 .66 .66 .66", RS="..5 ... .5. ..6",
                  CB=".5. ... ..5 ..."),
         "break": P("Break: clicks without the kick", CH="6363 6363 6363 6363",
                    RS="..6. ...5 ..6. .5..", CB=".6.. 5..6 .5.. ..6."),
         "break2": P("Break: blip toms and snare ticks",
                     HT="..6. .5.. ..6. ....", MT="...5 ..5. ...5 ..5.",
                     LT="6... .... 5... ....", S9="...4 .... ..4. ...4"),
         "trip_kick": "9..... 9..... 9..... ......"}
    kit_patterns = standard_kit(g)
    breakdown = [
        P("Breakdown: rims re-pitched at random every bar",
          RS="..6. ...5 ..6. .5..", CH="..6. ..6. ..6. ..6.")
        .randomlane("Rimshot Tune").randvel("RS"),
        P("Breakdown 2: bell whose pitch and ping move per step, blips at random",
          CB=".6.. 5..6 .5.. ..6.")
        .lane("Cowbell Tune", ".7.. 3..6 .4.. ..9.")
        .lane("Cowbell Filter Resonance", ".9.. 4..6 .3.. ..8.")
        .tool("HT", rnd=12, size="1/16", vel=60),
    ]
    fills = [
        P("Fill 1: 32nd rim ratchet, pitch rising", "1 x 32",
          KD="9....... 9....... 9....... ........",
          RS="........ ........ ....5555 66667777")
        .lane("Rimshot Tune", "........ ........ ....3344 55667789"),
        P("Fill 2: blip toms on triplets", "1 x 16T",
          KD="9..... 9..... ...... ......", HT="...... ...... 6.6.6. ......",
          MT="...... ...... ...... 6.6...", LT="...... ...... ...... ....78"),
    ]
    ideas = set_ideas(
        "CH", "RS", "Rimshot Tune", None,
        [("kick click level per step", lambda p: p.lane("Kickdrum Click Level", "7... 4... 6... 3...")),
         ("bell pitch per step", lambda p: p.lane("Cowbell Tune", ".7.. 3..6 .4.. ..9.")),
         ("hat tune and rim pitch per step",
          lambda p: p.lane("CHH Tune", "6363 7474 6363 8484")
          .lane("Rimshot Tune", "..6. ...4 ..7. .3.."))],
        [("ticks on 32nds at random", lambda p: p.tool("CH", rnd=12, size="1/32", vel=40)),
         ("bell and snare clicks at random, rim velocities re-rolled",
          lambda p: p.tool("CB", rnd=10, size="1/16", vel=60)
          .tool("S9", rnd=8, size="1/16", vel=40).randvel("RS"))],
        g["alt"].copy("Alternate: 8th triplets, bell pitch re-rolled each bar")
        .randomlane("Cowbell Tune"),
        ("RS", "CB", "CH"), intro_randvel=False)
    set_patterns = standard_set(kit.title, a2, b2, c, breakdown, fills, ideas)
    return _package(kit, kit_patterns, set_patterns,
                    "a click set: rim and bell pitches re-rolled or drawn per step, "
                    "32nd ticks by probability, a rim ratchet build")


def grinder():
    kit = Kit(
        "Grinder", tempo=132, swing=0, compressor=35, comp_attack=0.001,
        character="industrial grind: everything driven into saturation, a distorted "
                  "square-ish kick, crushed toms, a harsh snare and a noisy crash",
        notes={"KD": "fully saturated, square-ish", "LT": "toms at full saturation",
               "S8": "noisy, bright, grinding", "CY": "harsh noise crash"},
        sound=merge(
            kick(46, 480, sweep=90, sweep_time=35, click=-6, sat=0.9, sine=False,
                 attack=0.1, decay_curve=-0.4),
            snare9(180, 140, 260, color=16000, noise=0, noise_curve=-0.3),
            snare8(130, 300, color=600, noise=0),
            toms(48, 66, 88, depth=70, decay=380, noise=-10, click=-3, sat=0.5),
            clap(900, 250),
            cowbell(430, 1.9, 220, filter=1800, res=0.4),
            hats(40, 420, tune=0.35, noise=70, bpf=7000, hpf=4500, open_curve=-0.3),
            cymbal(1800, tuning=0.35, body=5000, noise=0, ding=-20, curve=-0.5),
            rim(0.3, 500)),
        mix={"KD": (0, 0.5), "S8": (-6, 0.5), "S9": (-9, 0.55), "CL": (-8, 0.45),
             "LT": (-6, 0.25), "MT": (-6, 0.5), "HT": (-6, 0.75), "CH": (-5, 0.65),
             "OH": (-7, 0.35), "CY": (-9, 0.6), "RS": (-9, 0.4), "CB": (-10, 0.7)},
    )
    a = P("Main groove: grinding kick, noisy snare on the two and four",
          KD="9... 9... 9... 9...", S8=".... 8... .... 8...",
          CH="7.5. 7.5. 7.5. 7.55", OH="..6. ..6. ..6. ..6.")
    a2 = a.but("Main groove with a crushed tom answering", LT="...6 .... ..6. ....")
    b = P("Stomp: kick doubles, clap and snare together",
          KD="9..7 9... 9..7 9...", S8=".... 8... .... 8...", CL=".... 7... .... 7...",
          CH="7575 7575 7575 7575")
    b2 = b.but("Stomp with a detuned bell", CB="..5. .... ..5. .5..")
    c = P("Peak: grind with toms and crash",
          KD="9..7 9... 9..7 9...", S8=".... 8... .... 8...", S9="..4. ...4 ..4. ....",
          LT="...6 .... ..6. ....", MT=".... ..5. .... ..5.", CH="7575 7575 7575 7575",
          CY="7... .... .... ....")
    g = {"a": a, "a2": a2, "b": b, "b2": b2, "c": c, "snare": "S8",
         "turn": a2.but("", S8=".... 8... .... 8889", KD="9... 9... 9.9. 9..."),
         "alt": P("Triplet grind on the 16th triplets", "1 x 16T",
                  KD="9..7.. 9..... 9..7.. 9.....", S8="...... 8..... ...... 8.....",
                  CH="7.57.5 7.57.5 7.57.5 7.57.5"),
         "break": P("Break: snare and noise hats, no kick",
                    S8=".... 8... .... 8...", CH="7575 7575 7575 7575",
                    OH="..6. ..6. ..6. ..6."),
         "break2": P("Break: crushed toms",
                     LT="7..6 .... 7... ....", MT="...6 ..6. ...6 ....",
                     HT=".... .6.. .... 6.6."),
         "trip_kick": "9..7.. 9..... 9..7.. ......"}
    kit_patterns = standard_kit(g)
    breakdown = [
        P("Breakdown: toms, drive changing per step",
          LT="7..6 .... 7... ....", MT="...6 ..6. ...6 ....", HT=".... .6.. .... 6.6.")
        .lane("Low Tom Saturation", "2..9 .... 5... ....")
        .lane("High Tom Saturation", ".... .9.. .... 3.9."),
        P("Breakdown 2: snare and noise, noise colour re-rolled each bar",
          S8=".... 8... .... 8...", CH="7575 7575 7575 7575")
        .randomlane("Snare8 Noise Color").tool("RS", rnd=15, size="1/16", vel=70),
    ]
    fills = [
        kit_patterns[12].copy("Fill 1: tom run, pitches diving").lane(
            "Mid Tom Pitch Depth", ".... .... 9.9. ....").lane(
            "Low Tom Pitch Depth", ".... .... .... 9.9."),
        roll32("Fill 2: snare roll, noise opening", a, "S8", tune="Snare8 Noise Color"),
    ]
    ideas = set_ideas(
        "CH", "S8", "Snare8 Tune", "Snare8 Noise Decay",
        [("kick pitch sweep per step", lambda p: p.lane("Kickdrum Pitch Mod", "5... 7... 5... 9...")),
         ("snare noise colour per step", lambda p: p.lane("Snare8 Noise Color", ".... 4... .... 8...")),
         ("tom drive and hat length per step",
          lambda p: p.lane("Low Tom Saturation", "...9 .... ..3. ....")
          .lane("CHH Decay", "7373 7373 7373 7399"))],
        [("kicks at random on the 16ths", lambda p: p.tool("KD", rnd=8, size="1/16", vel=70)),
         ("crushed toms at random", lambda p: p.tool("LT", rnd=10, size="1/8", vel=70)
          .tool("HT", rnd=8, size="1/16", vel=60))],
        g["alt"].copy("Alternate: triplet grind, snare colour re-rolled each bar")
        .randomlane("Snare8 Noise Color"),
        ("S8", "CH", "OH"))
    set_patterns = standard_set(kit.title, a2, b2, c, breakdown, fills, ideas)
    return _package(kit, kit_patterns, set_patterns,
                    "an industrial set: drive, pitch sweep and noise colour moving per step, "
                    "crushed toms and extra kicks by probability")


def super_duty():
    kit = Kit(
        "Super Duty", tempo=145, swing=0, compressor=32, comp_attack=0.002,
        character="hard techno at full speed: a huge, saturated, booming kick with a long "
                  "tail, a cutting clap, rides and ratcheting hats",
        notes={"KD": "big, driven, long booming tail", "CY": "bright ride",
               "CL": "bright, cutting clap"},
        sound=merge(
            kick(44, 800, sweep=85, sweep_time=60, click=-8, sat=0.6, sine=False,
                 attack=0.2, decay_curve=-0.25),
            snare9(230, 110, 180, color=15000, noise=0),
            snare8(175, 150, color=2200, noise=-3),
            toms(52, 70, 92, depth=55, decay=450, noise=-18, click=-6, sat=0.35),
            clap(1800, 220),
            cowbell(700, 1.7, 110, filter=3600, res=0.25),
            hats(30, 300, tune=0.65, noise=35, bpf=10000, hpf=7500, open_curve=-0.5),
            cymbal(1500, tuning=0.7, body=8200, noise=-18, ding=-6, ding_freq=6000,
                   ding_decay=40),
            rim(0.65, 1100)),
        mix={"KD": (0, 0.5), "CL": (-6, 0.5), "S9": (-9, 0.52), "S8": (-11, 0.48),
             "LT": (-7, 0.3), "MT": (-7, 0.5), "HT": (-7, 0.7), "CH": (-5, 0.64),
             "OH": (-6, 0.36), "CY": (-9, 0.72), "RS": (-9, 0.4), "CB": (-11, 0.6)},
    )
    a = P("Main groove: booming kick, clap, ride on the offbeats",
          KD="9... 9... 9... 9...", CL=".... 8... .... 8...", CY="..7. ..7. ..7. ..7.",
          CH="6.5. 6.5. 6.5. 6.5.")
    a2 = a.but("Main groove with 16th hats and a rim", CH="6565 6565 6565 6565",
               RS="...5 .... ..5. ....")
    b = P("Rolling: kick, open hats and low tom rumble",
          KD="9... 9... 9... 9...", OH="..7. ..7. ..7. ..7.", LT="...5 ..5. ...5 .5..",
          CL=".... 8... .... 8...")
    b2 = b.but("Rolling with a bell stab", CB=".... ...6 .... ..6.")
    c = P("Peak: clap and snare, ride and hats, tom rumble",
          KD="9... 9... 9... 9...", CL=".... 8... .... 8...", S9=".... 7... .... 7...",
          CY="..7. ..7. ..7. ..7.", CH="6565 6565 6565 6565", LT="...5 ..5. ...5 .5..")
    g = {"a": a, "a2": a2, "b": b, "b2": b2, "c": c, "snare": "CL", "roll": "S9",
         "turn": a2.but("", CL=".... 8... .... 8.88", CH="6565 6565 6565 6666"),
         "alt": P("Ratchet: 32nd hats over the kick", "1 x 32",
                  KD="9....... 9....... 9....... 9.......",
                  CL="........ 8....... ........ 8.......",
                  CH="6.5.6.5. 6.5.6565 6.5.6.5. 65656565",
                  CY="....7... ....7... ....7... ....7..."),
         "break": P("Break: ride and clap with no kick",
                    CY="..7. ..7. ..7. ..7.", CL=".... 8... .... 8...",
                    CH="6565 6565 6565 6565"),
         "break2": P("Break: tom rumble and rims",
                     LT="...5 ..5. ...5 .5..", MT="..5. .... ..5. ....",
                     RS="...5 .... ..5. ...5", OH="..6. ..6. ..6. ..6."),
         "trip_kick": "9..... 9..... 9..... ......"}
    kit_patterns = standard_kit(g)
    breakdown = [
        P("Breakdown: ride and clap, the clap tone rising per step",
          CY="..7. ..7. ..7. ..7.", CL=".... 8... .... 8..8")
        .lane("Clap Tone", ".... 3... .... 5..8").randvel("CY"),
        P("Breakdown 2: tom rumble with pitch per step, rims at random",
          LT="...5 ..5. ...5 .5..", MT="..5. .... ..5. ....")
        .lane("Low Tom Freq", "...3 ..5. ...7 .9..").tool("RS", rnd=14, size="1/16", vel=60),
    ]
    fills = [
        kit_patterns[12].copy("Fill 1: tom run with a widening pan")
        .lane("High Tom Pan", ".... .... 1.8. ....").lane("Mid Tom Pan", ".... .... .... 2.7."),
        roll32("Fill 2: snare roll tuning up", a, "S9", tune="Snare9 Tune"),
    ]
    ideas = set_ideas(
        "CH", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("kick tail per step", lambda p: p.lane("Kickdrum Amp Decay", "4... 5... 4... 8...")),
         ("ride ping per step", lambda p: p.lane("Cymbal Ding Level", "..5. ..7. ..5. ..9.")),
         ("kick drive and hat length per step",
          lambda p: p.lane("Kickdrum Saturation", "5... 6... 5... 9...")
          .lane("CHH Decay", "6464 6464 6464 6488"))],
        [("ratcheting 32nd hats at random", lambda p: p.tool("CH", rnd=15, size="1/32", vel=45)),
         ("rims and kicks at random", lambda p: p.tool("RS", rnd=10, size="1/16", vel=60)
          .tool("KD", rnd=5, size="1/16", vel=60))],
        g["alt"].copy("Alternate: ratchet hats with their tune re-rolled each bar")
        .randomlane("CHH Tune"),
        ("CL", "CY", "CH"))
    set_patterns = standard_set(kit.title, a2, b2, c, breakdown, fills, ideas)
    return _package(kit, kit_patterns, set_patterns,
                    "a hard techno set: kick tail and drive per step, 32nd hat ratchets "
                    "by probability, tom rumbles re-pitched per step")


def full_of_techno():
    kit = Kit(
        "Full Of Techno", tempo=130, swing=0, compressor=20, comp_attack=0.003,
        character="classic driving techno: a solid mid kick, crisp 16th hats, open hats "
                  "on the offbeat, clap, ride and a rimshot groove",
        notes={"KD": "solid mid kick, a bit of drive", "CH": "crisp",
               "RS": "mid rim for the groove"},
        sound=merge(
            kick(53, 420, sweep=60, sweep_time=35, click=-12, sat=0.25, sine=False,
                 attack=0.3),
            snare9(215, 100, 190, color=12000, noise=-1),
            snare8(165, 140, color=1600, noise=-4),
            toms(58, 78, 100, depth=40, decay=320, noise=-22, click=-8, sat=0.1),
            clap(1300, 260),
            cowbell(620, 1.5, 130, filter=2900, res=0.12),
            hats(32, 320, tune=0.58, noise=45, bpf=10000, hpf=7000, open_curve=-0.45),
            cymbal(1900, tuning=0.6, body=7600, noise=-20, ding=-7, ding_freq=5200,
                   ding_decay=35),
            rim(0.55, 900)),
        mix={"KD": (0, 0.5), "CL": (-6, 0.5), "S9": (-9, 0.5), "S8": (-12, 0.48),
             "LT": (-8, 0.3), "MT": (-8, 0.5), "HT": (-8, 0.7), "CH": (-5, 0.62),
             "OH": (-6, 0.4), "CY": (-10, 0.7), "RS": (-8, 0.36), "CB": (-11, 0.64)},
    )
    a = P("Main groove: kick, 16th hats, offbeat open hat, clap",
          KD="9... 9... 9... 9...", CL=".... 8... .... 8...",
          CH="7.57 7.57 7.57 7.57", OH="..7. ..7. ..7. ..7.")
    a2 = a.but("Main groove with a rimshot groove", RS="...6 ..5. .6.. ..5.")
    b = P("Ride groove: ride and rim drive it",
          KD="9... 9... 9... 9...", CY="..7. ..7. ..7. ..7.", RS="...6 ..5. .6.. ..5.",
          CH="5555 5555 5555 5555", CL=".... 8... .... 8...")
    b2 = b.but("Ride groove with a tom line", LT="..5. .... ..5. ....", MT=".... .5.. .... ...5")
    c = P("Peak: clap and snare, open hats and ride, rims",
          KD="9... 9... 9... 9...", CL=".... 8... .... 8...", S9=".... 6... .... 6...",
          CH="7.57 7.57 7.57 7.57", OH="..7. ..7. ..7. ..7.", CY="..6. ..6. ..6. ..6.",
          RS="...6 ..5. .6.. ..5.", CB=".... .... .... ..5.")
    g = {"a": a, "a2": a2, "b": b, "b2": b2, "c": c, "snare": "CL", "roll": "S9",
         "turn": a2.but("", CL=".... 8... .... 8.8.", S9=".... .... ..5. .5.7"),
         "alt": P("Triplet-eighth groove", "1 x 8T",
                  KD="9.. 9.. 9.. 9..", CH=".66 .66 .66 .66", CL="... 8.. ... 8..",
                  RS="..5 ... .5. ..5"),
         "break": P("Break: hats and rims, no kick",
                    CH="7.57 7.57 7.57 7.57", OH="..7. ..7. ..7. ..7.",
                    RS="...6 ..5. .6.. ..5."),
         "break2": P("Break: ride, clap and toms",
                     CY="..7. ..7. ..7. ..7.", CL=".... 8... .... 8...",
                     LT="..5. .... ..5. ....", MT=".... .5.. .... ...5"),
         "trip_kick": "9..... 9..... 9..... ......"}
    kit_patterns = standard_kit(g)
    breakdown = [
        P("Breakdown: hats whose decay and tone move per step",
          CH="7.57 7.57 7.57 7.57", OH="..7. ..7. ..7. ..7.")
        .lane("CHH Decay", "3.58 3.58 3.69 3.79").lane("OHH BPF Freq", "..3. ..5. ..7. ..9."),
        P("Breakdown 2: rims and ride, rims panned at random",
          RS="...6 ..5. .6.. ..5.", CY="..7. ..7. ..7. ..7.")
        .randomlane("Rimshot Pan").tool("CB", rnd=8, size="1/8", vel=55),
    ]
    fills = [
        kit_patterns[12].copy("Fill 1: tom run, toms ringing longer")
        .lane("High Tom Tone 2 Decay Time", ".... .... 6.7. ....")
        .lane("Low Tom Tone 2 Decay Time", ".... .... .... 7.9."),
        roll32("Fill 2: snare roll tuning up", a, "S9", tune="Snare9 Tune"),
    ]
    ideas = set_ideas(
        "CH", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("hat length per step", lambda p: p.lane("CHH Decay", "5.38 5.38 5.38 5.39")),
         ("rim pitch per step", lambda p: p.lane("Rimshot Tune", "...6 ..4. .7.. ..3.")),
         ("open hat tone and kick tail per step",
          lambda p: p.lane("OHH BPF Freq", "..3. ..5. ..7. ..9.")
          .lane("Kickdrum Amp Decay", "5... 5... 5... 8..."))],
        [("16th hats at random", lambda p: p.tool("CH", rnd=25, size="1/16", vel=45)),
         ("rims and bell at random", lambda p: p.tool("RS", rnd=10, size="1/16", vel=55)
          .tool("CB", rnd=6, size="1/8", vel=55))],
        g["alt"].copy("Alternate: 8th triplets, rims panned at random")
        .randomlane("Rimshot Pan"),
        ("CL", "OH", "RS"))
    set_patterns = standard_set(kit.title, a2, b2, c, breakdown, fills, ideas)
    return _package(kit, kit_patterns, set_patterns,
                    "a driving techno set: hat length, rim pitch and open-hat tone per step, "
                    "hats and rims by probability, a snare-roll build")
