"""House kits: Light House, Heavy House, Kompressor, Silky Smooth."""

from design import Kit, Pattern as P, regrid16to32, two_bars
from idioms import roll32, set_ideas, standard_kit, standard_set, triplet_fill
from voicing import clap, cowbell, cymbal, hats, kick, merge, rim, snare8, snare9, toms


def light_house():
    kit = Kit(
        "Light House", tempo=122, swing=14, compressor=12, comp_attack=0.004, output=-1,
        character="deep, airy house: a soft round kick, a light clap with room, "
                  "shuffled hats, congas and a gentle ride",
        notes={
            "KD": "round sine kick, quick gentle sweep, little click",
            "S9": "soft, short brushed snare for ghost notes",
            "S8": "dry snare layered under the clap",
            "LT": "toms tuned and shortened into congas",
            "CL": "light clap with a little room",
            "CB": "woodblock-like, short and filtered",
            "CH": "airy, mostly noise",
            "OH": "soft open hat for the offbeats",
            "CY": "a gentle ping ride",
            "RS": "bright rim for the syncopations",
        },
        sound={
            "Kickdrum Tune": 51, "Kickdrum Saturation": 0.04, "Kickdrum Amp Attack": 0.6,
            "Kickdrum Amp Attack Curve": 0.3, "Kickdrum Amp Decay": 420,
            "Kickdrum Amp Decay Curve": -0.3, "Kickdrum Pitch Attack": 0.1,
            "Kickdrum Pitch Attack Curve": 0, "Kickdrum Pitch Decay": 38,
            "Kickdrum Pitch Decay Curve": -0.45, "Kickdrum Pitch Mod": 50,
            "Kickdrum Noise Freq": 3200, "Kickdrum Click Level": -20, "Kickdrum Waveform": 1,
            "Snare8 Tune": 175, "Snare8 Noise Color": 2500, "Snare8 Noise Decay": 120,
            "Snare8 Noise Level": -6,
            "Snare9 Tune": 185, "Snare9 Tone Decay": 110, "Snare9 Tone Decay Curve": -0.4,
            "Snare9 Noise Color": 9000, "Snare9 Noise Decay": 170,
            "Snare9 Noise Decay Curve": -0.5, "Snare9 Noise Level": -3,
            "Low Tom Freq": 72, "Low Tom Pitch Depth": 30, "Low Tom Click Level": -10,
            "Low Tom Noise Level": -26, "Low Tom Tone Level": 0, "Low Tom Saturation": 0.04,
            "Low Tom Tone 1 Attack Time": 0.5, "Low Tom Tone 1 Decay Time": 120,
            "Low Tom Tone 1 Decay Curvature": -0.5, "Low Tom Tone 2 Attack Time": 0.5,
            "Low Tom Tone 2 Decay Time": 230, "Low Tom Tone 2 Decay Curvature": -0.4,
            "Mid Tom Freq": 92, "Mid Tom Pitch Depth": 30, "Mid Tom Click Level": -10,
            "Mid Tom Noise Level": -26, "Mid Tom Tone Level": 0, "Mid Tom Saturation": 0.04,
            "Mid Tom Tone 1 Attack Time": 0.5, "Mid Tom Tone 1 Decay Time": 110,
            "Mid Tom Tone 1 Decay Curvature": -0.5, "Mid Tom Tone 2 Attack Time": 0.5,
            "Mid Tom Tone 2 Decay Time": 200, "Mid Tom Tone 2 Decay Curvature": -0.4,
            "High Tom Freq": 116, "High Tom Pitch Depth": 35, "High Tom Click Level": -8,
            "High Tom Noise Level": -26, "High Tom Tone Level": 0, "High Tom Saturation": 0.04,
            "High Tom Tone 1 Attack Time": 0.5, "High Tom Tone 1 Decay Time": 90,
            "High Tom Tone 1 Decay Curvature": -0.5, "High Tom Tone 2 Attack Time": 0.5,
            "High Tom Tone 2 Decay Time": 170, "High Tom Tone 2 Decay Curvature": -0.4,
            "Clap Tone": 1150, "Clap Reverb": 280,
            "Cowbell Tune": 740, "Cowbell Ratio": 1.5, "Cowbell Decay": 60,
            "Cowbell Decay Curve": -0.6, "Cowbell Filter Freq": 2400,
            "Cowbell Filter Resonance": 0.15,
            "CHH BPF Freq": 10000, "CHH HPF Freq": 7500, "CHH Tune": 0.6, "CHH Noise Mix": 65,
            "CHH Decay": 70,
            "OHH BPF Freq": 9000, "OHH HPF Freq": 6500, "OHH Tune": 0.6, "OHH Noise Mix": 60,
            "OHH Decay": 380, "OHH Decay Curve": -0.4,
            "Cymbal Tuning": 0.62, "Cymbal Noise Level": -24, "Cymbal Ding Level": -10,
            "Cymbal Freq": 7800, "Cymbal Attack Time": 0.05, "Cymbal Attack Curvature": -0.5,
            "Cymbal Decay Time": 1600, "Cymbal Decay Curvature": -0.7,
            "Cymbal Ding Freq": 4600, "Cymbal Ding Attack Time": 0.05,
            "Cymbal Ding Attack Curvature": -0.5, "Cymbal Ding Decay Time": 35,
            "Cymbal Ding Decay Curvature": -0.8,
            "Rimshot Tune": 0.62, "Rimshot HPF Freq": 650,
        },
        mix={"KD": (0, 0.5), "S8": (-10, 0.46), "S9": (-12, 0.55), "LT": (-8, 0.3),
             "MT": (-8, 0.62), "HT": (-8, 0.72), "CH": (-6, 0.62), "OH": (-7, 0.4),
             "CY": (-12, 0.66), "RS": (-9, 0.35), "CL": (-7, 0.52), "CB": (-11, 0.75)},
    )

    a = P("Main groove: four to the floor, clap on two and four, open hats on the offbeat",
          KD="9... 9... 9... 9...",
          CL=".... 8... .... 8...",
          CH="5..3 5..3 5..3 5..3",
          OH="..6. ..6. ..6. ..6.")
    a2 = a.but("Main groove with a shuffled 16th hat and a rim answer",
               CH="6343 6343 6343 6345",
               RS=".... .... ...5 ..4.")
    b = P("Conga groove: kick, clap and a two-bar-feel conga line",
          KD="9... 9... 9... 9...",
          CL=".... 8... .... 8...",
          OH="..6. ..6. ..6. ..6.",
          CH="4... 4... 4... 4...",
          HT="..6. .5.. 6.5. ..5.",
          MT=".... ..5. .... 5..4",
          LT="...4 .... ..5. ....")
    b2 = b.but("Conga groove with a woodblock and rim talking back",
               CB=".5.. .... .4.. ..5.",
               RS="...4 .... ...5 ....")
    c = P("Peak groove: ride on the offbeat, clap plus snare, ghost snares",
          KD="9... 9... 9... 9...",
          CL=".... 8... .... 8...",
          S8=".... 6... .... 6...",
          S9="...3 ..3. .3.. ..3.",
          CH="5.3. 5.3. 5.3. 5.3.",
          OH="..5. ..5. ..5. ..5.",
          CY="..6. ..6. ..6. ..6.",
          HT=".... ...5 .... 6...")
    skip = a2.but("Skipping kick: a 16th pickup before the last beat",
                  KD="9... 9... 9... 9.5.")
    deep = P("Deep: kick, rim and long open hats only",
             KD="9... 9... 9... 9...",
             RS=".... 6..4 .... 6...",
             OH="..7. ..7. ..7. ..7.",
             CH="3... 3... 3... 3...")
    perc_break = P("Percussion break: no kick, congas and shaker hats",
                   CH="6343 6343 6343 6345",
                   HT="..6. .5.. 6.5. ..5.",
                   MT=".... ..5. .... 5..4",
                   LT="...4 .... ..5. ....",
                   CB=".5.. .... .4.. ..5.",
                   CL=".... 7... .... 7...")
    clap_break = P("Break: claps, ride and hats over no kick",
                   CL=".... 8... .... 8..5",
                   CY="..6. ..6. ..6. ..6.",
                   CH="5.3. 5.3. 5.3. 5.3.",
                   OH="..5. ..5. ..5. ..5.")
    clap_fill = roll32("Fill: clap roll into the next bar", a, "CL", keep=("KD", "CH"))
    clap_fill.set_row("CL", "........ ....8... ........ 5.5.6.7.")
    clap_fill.set_row("S8", "........ ........ ........ ..4.5.67")
    conga_fill = b.splice("Fill: conga run down the kit", 8,
                          keep="KD CH",
                          HT="6.7.", MT="....6.7.", LT="......89")
    trip = triplet_fill("Fill: triplet toms across the last beat", "9..... 9..... 9..... ......",
                        "S9")
    intro = P("Intro: kick and hats only",
              KD="9... 9... 9... 9...",
              CH="5..3 5..3 5..3 5..3",
              OH="..5. ..5. ..5. ..5.")
    turnaround = two_bars("Two bars: groove, then a turnaround with a clap pickup",
                          a2, a2.but("", CL=".... 8... .... 8.57", KD="9... 9... 9... ..9."))
    shuffle = P("Shuffle: the groove on a triplet-eighth grid", "1 x 8T",
                KD="9.. 9.. 9.. 9..",
                CL="... 8.. ... 8..",
                OH="..6 ..6 ..6 ..6",
                CH="4.. 4.. 4.. 4.4",
                HT=".5. ... .5. ..5")
    ride = c.but("Ride groove: ride leads, hats step back", CH="3... 3... 3... 3...",
                 CY="6.8. 6.8. 6.8. 6.8.", S9=None, HT=None)
    kit_patterns = [a, a2, b, b2, c, skip, deep, turnaround, shuffle, ride,
                    perc_break, clap_break, clap_fill, conga_fill, trip, intro]

    breakdown = [
        P("Breakdown: congas and claps, conga pitch wandering per step",
          CL=".... 7... .... 7...",
          HT="..6. .5.. 6.5. ..5.",
          MT=".... ..5. .... 5..4",
          LT="...4 .... ..5. ....",
          OH="..4. ..4. ..4. ..4.")
        .lane("High Tom Freq", "..6. .4.. 7.5. ..3.")
        .lane("Mid Tom Freq", ".... ..6. .... 4..7")
        .randomlane("Rimshot Pan"),
        P("Breakdown 2: ride and rim, rim wandering across the stereo field",
          CY="..6. ..6. ..6. ..6.",
          RS=".... 6..4 .... 6..5",
          CH="3.3. 3.3. 3.3. 3.3.")
        .randomlane("Rimshot Pan").randvel("CH")
        .tool("RS", rnd=12, size="1/16", vel=50),
    ]
    fills = [
        conga_fill.copy("Fill 1: conga run, each hit pitched lower")
        .lane("High Tom Freq", ".... .... 7.5. ....")
        .lane("Mid Tom Freq", ".... .... ..6. 3...")
        .lane("Low Tom Freq", ".... .... .... ..63"),
        clap_fill.copy("Fill 2: clap roll with the room opening up")
        .lane("Clap Reverb", "........ ........ ........ .3.4.567".replace(" ", "")),
    ]
    ideas = {
        "hat": "CH",
        "intro_drop": ("CL", "S8", "S9", "CY", "RS"),
        "lanes": [
            ("open hat length breathing per step",
             lambda p: p.lane("OHH Decay", "..3. ..5. ..4. ..8.")),
            ("conga pitches per step",
             lambda p: p.lane("High Tom Freq", "..6. .4.. 7.5. ..3.")),
            ("ride ping and hat length per step",
             lambda p: p.lane("Cymbal Ding Level", "..7. ..4. ..7. ..8.")
             .lane("CHH Decay", "4.6. 4.6. 4.6. 4.8.")),
        ],
        "random": [
            ("soft 16th hats appear at random", lambda p: p.tool("CH", rnd=22, size="1/16",
                                                                 vel=45)),
            # Re-rolled hat velocities put full-velocity hats on the kick and clip.
            ("rims and woodblock at random",
             lambda p: p.tool("RS", rnd=10, size="1/16", vel=55)
             .tool("CB", rnd=8, size="1/8", vel=50)),
        ],
        "build": "CL", "build_tune": "Clap Tone", "build_decay": "Clap Reverb",
        "alt": shuffle.copy("Alternate: triplet shuffle with random conga pitches")
        .randomlane("High Tom Pan"),
        "outro_thin": ("CL", "OH", "CH"),
    }
    set_patterns = standard_set(kit.title, a2, b2, c, breakdown, fills, ideas)
    return {"kit": kit, "kit_patterns": kit_patterns, "set_patterns": set_patterns,
            "set_summary": "a deep house set: hats that breathe, congas that change pitch "
                           "from step to step, rims and woodblocks appearing at random"}


def heavy_house():
    kit = Kit(
        "Heavy House", tempo=126, swing=8, compressor=22, comp_attack=0.003,
        character="peak-time house: a long punchy kick with weight, a big roomy clap over a "
                  "tight snare, ride and cowbell on top",
        notes={"KD": "long, pitched-down punch with some drive and a firm click",
               "CL": "big clap with a long room", "S9": "tight snare layered under the clap",
               "S8": "dry body for ghosts", "CY": "washy ride", "CB": "low dull bell"},
        sound=merge(
            kick(48, 650, sweep=70, sweep_time=55, click=-12, sat=0.15, sine=False,
                 attack=0.3, decay_curve=-0.2),
            snare9(200, 120, 220, color=8000, noise=-2),
            snare8(160, 200, color=1200),
            toms(58, 78, 100, depth=40, decay=400, noise=-22),
            clap(1000, 420),
            cowbell(560, 1.48, 180, filter=2600, res=0.1),
            hats(45, 480, tune=0.5, noise=45, bpf=8500, hpf=6000, open_curve=-0.4),
            cymbal(2200, tuning=0.55, body=6800, noise=-20, ding=-6, ding_freq=4200,
                   ding_decay=45),
            rim(0.55, 800)),
        mix={"KD": (0, 0.5), "CL": (-6, 0.5), "S9": (-10, 0.52), "S8": (-13, 0.48),
             "LT": (-8, 0.3), "MT": (-8, 0.5), "HT": (-8, 0.7), "CH": (-5, 0.62),
             "OH": (-6, 0.4), "CY": (-11, 0.68), "RS": (-9, 0.36), "CB": (-12, 0.64)},
    )
    a = P("Main groove: four on the floor, big clap, offbeat open hats",
          KD="9... 9... 9... 9...", CL=".... 9... .... 9...",
          CH="6... 6... 6... 6...", OH="..7. ..7. ..7. ..7.")
    a2 = a.but("Main groove with a snare under the clap and 16th hats",
               S9=".... 7... .... 7...", CH="6.46 6.46 6.46 6.46")
    b = P("Ride groove: ride on the quarters, rim syncopation",
          KD="9... 9... 9... 9...", CL=".... 9... .... 9...",
          OH="..7. ..7. ..7. ..7.", CY="7.5. 7.5. 7.5. 7.5.",
          RS="...5 ..5. ...5 ..5.")
    b2 = b.but("Ride groove with a low cowbell riff", CB="..6. ...5 ..6. .5..")
    c = P("Peak groove: everything in, ghost snares and a kick pickup",
          KD="9... 9... 9... 9..6", CL=".... 9... .... 9...",
          S9=".... 7... .... 7...", S8="..3. ...3 .3.. ..3.",
          CH="6.46 6.46 6.46 6.46", OH="..7. ..7. ..7. ..7.",
          CY="7... 7... 7... 7...", CB="..6. ...5 ..6. .5..")
    g = {"a": a, "a2": a2, "b": b, "b2": b2, "c": c, "snare": "S9", "roll": "S9",
         "turn": a2.but("", CL=".... 9... .... 9.69", KD="9... 9... 9... 9.8."),
         "alt": P("Shuffle: triplet-grid house, hats skipping", "1 x 16T",
                  KD="9..... 9..... 9..... 9.....", CL="...... 9..... ...... 9.....",
                  OH="...7.. ...7.. ...7.. ...7..", CH="6.4... 6.4... 6.4... 6.4..5"),
         "break": P("Break: clap, ride and rim without the kick",
                    CL=".... 9... .... 9...", CY="7.5. 7.5. 7.5. 7.5.",
                    RS="...5 ..5. ...5 ..5.", OH="..6. ..6. ..6. ..6."),
         "break2": P("Break: toms and cowbell call and answer",
                     LT="8... ..6. .... ....", MT="...6 .... 7... ....",
                     HT=".... .... ..7. 6.5.", CB="..6. ...5 ..6. .5..",
                     CL=".... 9... .... 9...", CH="5353 5353 5353 5353"),
         "trip_kick": "9..... 9..... 9..... ......"}
    kit_patterns = standard_kit(g)
    breakdown = [
        P("Breakdown: claps and ride, the clap's room growing per step",
          CL=".... 9... .... 9..6", CY="7.5. 7.5. 7.5. 7.5.", OH="..5. ..5. ..5. ..5.")
        .lane("Clap Reverb", ".... 3... .... 7..9").randvel("OH"),
        P("Breakdown 2: toms and bell, bell pitch per step, rims at random",
          LT="8... ..6. .... ....", MT="...6 .... 7... ....", HT=".... .... ..7. 6.5.",
          CB="..6. ...5 ..6. .5..")
        .lane("Cowbell Tune", "..5. ...3 ..6. .4..")
        .tool("RS", rnd=15, size="1/16", vel=60),
    ]
    fills = [
        kit_patterns[12].copy("Fill 1: tom run, toms pitched down as it falls")
        .lane("Mid Tom Freq", ".... .... .... 3.2."),
        roll32("Fill 2: snare roll with the snare tuning up", a, "S9", tune="Snare9 Tune"),
    ]
    ideas = set_ideas(
        "CH", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("kick tail opening on the last beat",
          lambda p: p.lane("Kickdrum Amp Decay", "4... 4... 4... 8...")),
         ("ride ping and clap room per step",
          lambda p: p.lane("Cymbal Ding Level", "7.3. 6.3. 7.3. 9.3.")
          .lane("Clap Reverb", ".... 4... .... 8...")),
         ("open hat length and cowbell pitch per step",
          lambda p: p.lane("OHH Decay", "..3. ..5. ..3. ..9.")
          .lane("Cowbell Tune", "..5. ...4 ..6. .3.."))],
        [("16th hats and ghost snares at random",
          lambda p: p.tool("CH", rnd=20, size="1/16", vel=50)
          .tool("S8", rnd=8, size="1/16", vel=35)),
         ("rims at random, hat velocities re-rolled",
          lambda p: p.tool("RS", rnd=14, size="1/16", vel=60).randvel("CH"))],
        g["alt"].copy("Alternate: triplet shuffle, open hat lengths re-rolled each bar")
        .randomlane("OHH Decay"),
        ("CL", "OH", "CH", "CB"), intro_randvel=False)
    set_patterns = standard_set(kit.title, a2, b2, c, breakdown, fills, ideas)
    return {"kit": kit, "kit_patterns": kit_patterns, "set_patterns": set_patterns,
            "set_summary": "a peak-time house set: the kick's tail and the clap's room moving "
                           "per step, hats and rims that appear at random, a snare-roll build"}


def kompressor():
    kit = Kit(
        "Kompressor", tempo=128, swing=0, compressor=45, comp_attack=0.001, output=-4,
        character="pumping house-techno that leans on the master compressor: every kick "
                  "ducks the hats, claps and ride, and the tails swell back between hits",
        notes={"KD": "short clicky kick that drives the compressor",
               "OH": "long open hat so the ducking can be heard",
               "CY": "long wash to pump"},
        sound=merge(
            kick(52, 380, sweep=60, sweep_time=30, click=-10, sat=0.1, sine=True,
                 attack=0.2),
            snare9(210, 90, 300, color=12000, noise=0),
            snare8(150, 250, color=900),
            toms(62, 82, 104, depth=35, decay=500, noise=-24),
            clap(1300, 600),
            cowbell(640, 1.42, 120, filter=3000, res=0.08),
            hats(80, 900, tune=0.45, noise=55, bpf=9500, hpf=6500, open_curve=-0.2),
            cymbal(3500, tuning=0.5, body=7200, noise=-10, ding=-16, curve=-0.4),
            rim(0.6, 900)),
        mix={"KD": (0, 0.5), "CL": (-6, 0.5), "S9": (-7, 0.5), "S8": (-11, 0.45),
             "LT": (-7, 0.32), "MT": (-7, 0.5), "HT": (-7, 0.68), "CH": (-8.5, 0.6),
             "OH": (-3, 0.42), "CY": (-7, 0.7), "RS": (-9, 0.38), "CB": (-11, 0.62)},
        reference=-4,
    )
    a = P("Main groove: kick pumping a long open hat on every offbeat",
          KD="9... 9... 9... 9...", CL=".... 8... .... 8...",
          OH="..8. ..8. ..8. ..8.", CH="5... 5... 5... 5...")
    a2 = a.but("Main groove with a washing crash swelling under the kick",
               CY="7... .... 6... ....")
    b = P("Pump groove: 16th hats breathing against the kick",
          KD="9... 9... 9... 9...", CL=".... 8... .... 8...",
          CH="7777 7777 7777 7777", OH="..6. ..6. ..6. ..6.", S9=".... .... .... ..5.")
    b2 = b.but("Pump groove with a long snare and rim pushes", RS="...6 .... ..6. ....",
               S9=".... 7... .... 7..5")
    c = P("Peak: kick, clap and snare, wash and hats all pumping",
          KD="9... 9... 9... 9...", CL=".... 9... .... 9...", S9=".... 7... .... 7...",
          CH="7777 7777 7777 7777", OH="..8. ..8. ..8. ..8.", CY="6... .... 6... ....",
          CB="...5 ..5. ...5 .5..")
    g = {"a": a, "a2": a2, "b": b, "b2": b2, "c": c, "snare": "CL", "roll": "S9",
         "turn": a2.but("", KD="9... 9... 9.9. 9.9.", CL=".... 8... .... 8.88"),
         "alt": P("Half-time pump on the 32nd grid", "1 x 32",
                  KD="9....... ........ 9....... ....9...",
                  CL="........ ........ 9....... ........",
                  OH="....8... ....8... ....8... ....8...",
                  CH="6.6.6.6. 6.6.6.6. 6.6.6.6. 6.6.6666"),
         "break": P("Break: no kick, the wash and hats breathe free",
                    CY="7... .... .... ....", OH="..8. ..8. ..8. ..8.",
                    CL=".... 8... .... 8...", CH="5555 5555 5555 5555"),
         "break2": P("Break: toms under a long snare",
                     LT="8... .... 6... ....", MT="..6. .... ..6. ....",
                     HT=".... ..7. .... .7..", S9=".... 7... .... 7...",
                     OH="..6. ..6. ..6. ..6."),
         "trip_kick": "9..... 9..... 9..... ......"}
    kit_patterns = standard_kit(g)
    breakdown = [
        P("Breakdown: wash, claps and hats without the kick to push them",
          CY="7... .... .... ....", CL=".... 8... .... 8...", OH="..7. ..7. ..7. ..7.")
        .lane("OHH Decay", "..2. ..4. ..6. ..9.").randvel("CL"),
        P("Breakdown 2: toms with pitch per step, rims at random",
          LT="8... .... 6... ....", MT="..6. .... ..6. ....", HT=".... ..7. .... .7..")
        .lane("Low Tom Freq", "4... .... 6... ....").lane("High Tom Freq", ".... ..7. .... .3..")
        .tool("RS", rnd=12, size="1/8", vel=70),
    ]
    fills = [
        kit_patterns[12].copy("Fill 1: tom run with the click rising")
        .lane("High Tom Click Level", ".... .... 5.7. ....")
        .lane("Mid Tom Click Level", ".... .... .... 6.8."),
        roll32("Fill 2: clap roll, the room closing as it speeds up", a, "CL")
        .lane("Clap Reverb", [0.75 - 0.5 * i / 31 for i in range(32)]),
    ]
    ideas = set_ideas(
        "CH", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("open hat length swelling through the bar",
          lambda p: p.lane("OHH Decay", "..2. ..4. ..6. ..9.")),
         ("hat tone opening per step",
          lambda p: p.lane("CHH Decay", "3456 3456 3456 3459")),
         ("kick length and clap room per step",
          lambda p: p.lane("Kickdrum Amp Decay", "5... 5... 5... 8...")
          .lane("Clap Reverb", ".... 3... .... 8..."))],
        [("extra kicks at random on the 8ths to feed the compressor",
          lambda p: p.tool("KD", rnd=10, size="1/8", vel=70)),
         ("random rims and the hat tone re-rolled every bar",
          lambda p: p.tool("RS", rnd=12, size="1/16", vel=60).randomlane("CHH BPF Freq"))],
        g["alt"].copy("Alternate: half-time pump, hat lengths re-rolled each bar")
        .randomlane("CHH Decay"),
        ("CL", "CH", "OH"), intro_randvel=False)
    set_patterns = standard_set(kit.title, a2, b2, c, breakdown, fills, ideas)
    return {"kit": kit, "kit_patterns": kit_patterns, "set_patterns": set_patterns,
            "set_summary": "a pumping set: open-hat and hat lengths swelling per step against "
                           "the compressor, random extra kicks to push it harder"}


def silky_smooth():
    kit = Kit(
        "Silky Smooth", tempo=92, swing=38, compressor=8, comp_attack=0.01,
        character="smooth late-night R&B: a soft round kick, a warm brushed snare with a "
                  "long tail, dark hats, rim clicks and a soft ride",
        notes={"KD": "soft sine with a slow gentle attack", "S9": "warm, dark snare",
               "CH": "dark, low-passed hats", "RS": "soft low rim click",
               "CL": "soft, dark, roomy clap"},
        sound=merge(
            kick(47, 700, sweep=35, sweep_time=60, click=-30, sat=0.0, sine=True,
                 attack=2.0, decay_curve=-0.25),
            snare9(165, 160, 380, color=4500, noise=-5, noise_curve=-0.3),
            snare8(140, 260, color=700, noise=-6),
            toms(55, 70, 88, depth=22, decay=550, noise=-30, click=-20),
            clap(800, 650),
            cowbell(480, 1.3, 90, filter=1400, res=0.05),
            hats(60, 600, tune=0.42, noise=40, bpf=6000, hpf=4000, open_curve=-0.3),
            cymbal(2600, tuning=0.45, body=5200, noise=-24, ding=-10, ding_freq=3400,
                   ding_decay=50),
            rim(0.35, 400)),
        mix={"KD": (0, 0.5), "S9": (-5, 0.5), "S8": (-12, 0.45), "CL": (-8, 0.55),
             "LT": (-9, 0.3), "MT": (-9, 0.5), "HT": (-9, 0.7), "CH": (-8, 0.6),
             "OH": (-8, 0.62), "CY": (-11, 0.7), "RS": (-9, 0.4), "CB": (-13, 0.65)},
        reference=5,
    )
    a = P("Main groove: laid-back kick, snare on two and four, swung hats",
          KD="9... ...6 ..8. ....", S9=".... 8... .... 8...",
          CH="6.4. 6.4. 6.4. 6.45")
    a2 = a.but("Main groove with rim clicks and a softer second kick",
               RS="...3 .... .3.. ..4.", KD="9... ...5 ..7. ...4")
    b = P("Groove B: ride instead of hats, ghost notes on the snare",
          KD="9... ...6 ..8. ....", S9=".... 8..3 .3.. 8...", CY="6.4. 6.4. 6.4. 6.4.",
          S8="..2. .... ...2 ..2.")
    b2 = b.but("Groove B with a dark clap doubling the snare", CL=".... 6... .... 6...")
    c = P("Groove C: open hats breathing, snare and clap together",
          KD="9... ...6 ..8. ..5.", S9=".... 8... .... 8...", CL=".... 6... .... 6...",
          CH="6.4. 6.4. 6.4. 6...", OH=".... .... .... ..5.", RS="...3 .... .3.. ....")
    g = {"a": a, "a2": a2, "b": b, "b2": b2, "c": c, "snare": "S9", "roll": "S8",
         "turn": a2.but("", S9=".... 8... .... 8.35", KD="9... ...6 ..8. .6.."),
         "alt": P("Triplet feel: the groove on 16th triplets", "1 x 16T",
                  KD="9..... ....6. ..8... ......", S9="...... 8..... ...... 8.....",
                  CH="6.46.4 6.46.4 6.46.4 6.46.5", RS="...... ...3.. ...... ..3..."),
         "break": P("Break: rim and ride over the bass line's space",
                    RS="...3 .... .3.. ..4.", CY="6.4. 6.4. 6.4. 6.4.",
                    S9=".... 6... .... 6..."),
         "break2": P("Break: soft toms and bell",
                     LT="7... ..5. .... ....", MT=".... .... 6... ....",
                     HT=".... .... ..5. 5...", CB="...4 .... .... ..4.",
                     CH="4.3. 4.3. 4.3. 4.3."),
         "trip_kick": "9..... ....6. ..8... ......"}
    kit_patterns = standard_kit(g)
    breakdown = [
        P("Breakdown: ride and rim, the rim drifting across the stereo field",
          RS="...3 .... .3.. ..4.", CY="6.4. 6.4. 6.4. 6.4.", S9=".... 5... .... 5...")
        .randomlane("Rimshot Pan").randvel("CY"),
        P("Breakdown 2: soft toms tuned per step, bell at random",
          LT="7... ..5. .... ....", MT=".... .... 6... ....", HT=".... .... ..5. 5...")
        .lane("Low Tom Freq", "5... ..3. .... ....").lane("High Tom Freq", ".... .... ..6. 4...")
        .tool("CB", rnd=8, size="1/8T", vel=45),
    ]
    fills = [
        kit_patterns[12].copy("Fill 1: soft tom run, decays lengthening")
        .lane("Mid Tom Tone 2 Decay Time", ".... .... 6.7. ....")
        .lane("Low Tom Tone 2 Decay Time", ".... .... .... 6.8."),
        P("Fill 2: brushed snare swirl on 16th triplets", "1 x 16T",
          KD="9..... ...... ...... ......", S9="...... 8..... ..3434 4567.9",
          S8="..2..2 ..2..2 ..2..2 ......")
        .lane("Snare9 Noise Decay", "...... ...... ..3456 7899.9"),
    ]
    ideas = set_ideas(
        "CH", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("snare tail longer on the four",
          lambda p: p.lane("Snare9 Noise Decay", ".... 4... .... 8...")),
         ("ride ping per step",
          lambda p: p.lane("Cymbal Ding Level", "7.3. 6.3. 7.3. 8.3.")),
         ("hat tone darkening and brightening per step",
          lambda p: p.lane("CHH BPF Freq", "6.4. 5.3. 6.4. 7.3."))],
        [("ghost snares at random on the 16ths",
          lambda p: p.tool("S8", rnd=12, size="1/16", vel=30)),
         ("rim clicks at random on triplets, hat velocities re-rolled",
          lambda p: p.tool("RS", rnd=10, size="1/16T", vel=40).randvel("CH"))],
        g["alt"].copy("Alternate: triplet feel with snare ghosts played at random")
        .tool("S8", rnd=10, size="1/16T", vel=30),
        ("CH", "RS", "S9"), intro_randvel=False)
    set_patterns = standard_set(kit.title, a2, b2, c, breakdown, fills, ideas)
    return {"kit": kit, "kit_patterns": kit_patterns, "set_patterns": set_patterns,
            "set_summary": "a slow-jam set: snare tails and hat tone moving per step, "
                           "ghost snares and rim clicks at random, heavy swing"}
