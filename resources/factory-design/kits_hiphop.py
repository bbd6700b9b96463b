"""Hip hop and breaks kits: Paid In Full, Slow And Low, Dig It, Old School, Heavy Hitter,
Thwacker."""

from design import Kit, Pattern as P
from idioms import roll32, set_ideas, standard_kit, standard_set
from voicing import clap, cowbell, cymbal, hats, kick, merge, rim, snare8, snare9, toms


def _package(kit, kit_patterns, set_patterns, summary):
    return {"kit": kit, "kit_patterns": kit_patterns, "set_patterns": set_patterns,
            "set_summary": summary}


def _hiphop(title, tempo, swing, comp, character, notes, sound, mix, a, a2, b, b2, c, turn,
            alt, brk, brk2, trip_kick, snare, snare_tune, snare_decay, lanes, random,
            breakdown, fill2, summary, roll=None, reference=0.0, intro_randvel=False,
            comp_attack=0.004, alt_randvel=True):
    kit = Kit(title, tempo=tempo, swing=swing, compressor=comp, comp_attack=comp_attack,
              character=character, notes=notes, sound=sound, mix=mix, reference=reference)
    g = {"a": a, "a2": a2, "b": b, "b2": b2, "c": c, "snare": snare, "roll": roll or snare,
         "turn": turn, "alt": alt, "break": brk, "break2": brk2, "trip_kick": trip_kick}
    kit_patterns = standard_kit(g)
    fills = [kit_patterns[12].copy("Fill 1: tom run, each tom pitched down as it lands")
             .lane("Mid Tom Freq", ".... .... 7.5. ....")
             .lane("Low Tom Freq", ".... .... .... 6.3."),
             fill2]
    if alt_randvel:
        alt_set = alt.copy("Alternate: " + alt.title.split(":")[0].lower() +
                           " with the hats' velocities re-rolled each bar").randvel("CH")
    else:
        # Re-rolled velocities bring full-velocity hats, which some kits' hats cannot take
        # on top of the kick and snare; those re-roll the hats' length instead.
        alt_set = alt.copy("Alternate: " + alt.title.split(":")[0].lower() +
                           " with the hats' length re-rolled each bar").randomlane("CHH Decay")
    ideas = set_ideas("CH", snare, snare_tune, snare_decay, lanes, random, alt_set,
                      ("CH", snare, "OH"), intro_randvel=intro_randvel)
    set_patterns = standard_set(title, a2, b2, c, breakdown, fills, ideas)
    return _package(kit, kit_patterns, set_patterns, summary)


def paid_in_full():
    a = P("Main groove: boom-bap kick, cracking snare on two and four",
          KD="9... ...7 ..8. ....", S9=".... 9... .... 9...",
          CH="7.5. 7.5. 7.5. 7.5.")
    return _hiphop(
        "Paid In Full", 94, 30, 18,
        "golden-era boom bap: a thick kick with a short boom, a hard cracking snare, "
        "swung hats, rimshots and a shaker-like open hat",
        {"KD": "thick, short boom with a knock", "S9": "hard crack with a bright tail",
         "RS": "wooden rim", "OH": "short, shaker-like"},
        merge(kick(52, 440, sweep=55, sweep_time=45, click=-12, sat=0.3, sine=False,
                   attack=0.4),
              snare9(195, 120, 230, color=10000, noise=0),
              snare8(150, 180, color=1300, noise=-5),
              toms(56, 74, 96, depth=35, decay=380, noise=-22, click=-8),
              clap(1100, 180),
              cowbell(560, 1.5, 150, filter=2400, res=0.1),
              hats(45, 180, tune=0.5, noise=55, bpf=8500, hpf=6000, open_curve=-0.6),
              cymbal(2000, tuning=0.5, body=7000, noise=-12, ding=-12),
              rim(0.45, 700)),
        {"KD": (0, 0.5), "S9": (-6, 0.5), "S8": (-10, 0.46), "CL": (-7, 0.54),
         "LT": (-8, 0.3), "MT": (-8, 0.5), "HT": (-8, 0.7), "CH": (-17, 0.62),
         "OH": (-7, 0.4), "CY": (-11, 0.68), "RS": (-9, 0.38), "CB": (-11, 0.64)},
        a,
        a.but("Main groove with a rim knock and a late kick", RS="...5 .... .... .5..",
              KD="9... ...7 ..8. ...6"),
        P("Groove B: double kick and a ghost snare",
          KD="9.6. ...7 ..8. .6..", S9=".... 9..3 .... 9...", CH="7.5. 7.5. 7.5. 7.57"),
        P("Groove B with the shaker hat on the offbeats",
          KD="9.6. ...7 ..8. .6..", S9=".... 9..3 .... 9...", CH="7... 7... 7... 7...",
          OH="..5. ..5. ..5. ..5."),
        P("Groove C: snare and clap together, rim ghosts, crash on the one",
          KD="9... ...7 ..8. ..6.", S9=".... 9... .... 9...", CL=".... 7... .... 7...",
          RS="..3. ...3 .3.. ....", CH="7.5. 7.5. 7.5. 7.5.", CY="6... .... .... ...."),
        a.but("", S9=".... 9... .... 9.56", KD="9... ...7 ..8. .7.."),
        P("Triplet bounce on 16th triplets", "1 x 16T",
          KD="9..... ....7. ..8... ......", S9="...... 9..... ...... 9.....",
          CH="7.57.5 7.57.5 7.57.5 7.57.5"),
        P("Break: snare and hats only", S9=".... 9... .... 9...", CH="7.5. 7.5. 7.5. 7.5.",
          RS="...5 .... .... .5.."),
        P("Break: toms and cowbell", LT="8... ..6. .... ....", MT=".... ...6 ..6. ....",
          HT=".... .... .... 6.6.", CB="..5. .... ..5. ....", CH="5.3. 5.3. 5.3. 5.3."),
        "9..... ....7. ..8... ......", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("snare tail longer on the four",
          lambda p: p.lane("Snare9 Noise Decay", ".... 4... .... 8...")),
         ("kick pitch sweep per step",
          lambda p: p.lane("Kickdrum Pitch Mod", "5.3. ...6 ..4. .7..")),
         ("hat length per step", lambda p: p.lane("CHH Decay", "5.3. 6.3. 5.3. 8.3."))],
        [("ghost snares at random", lambda p: p.tool("S8", rnd=12, size="1/16", vel=35)),
         # Re-rolled hat velocities put full-velocity hats on the snare and clip.
         ("rims at random, hat length re-rolled each bar",
          lambda p: p.tool("RS", rnd=12, size="1/16", vel=45).randomlane("CHH Decay"))],
        [P("Breakdown: rim and hats, rim pitch per step",
           RS="...5 ..4. .5.. ..6.", CH="7.5. 7.5. 7.5. 7.5.")
         .lane("Rimshot Tune", "...6 ..3. .7.. ..4."),
         P("Breakdown 2: cowbell and toms at random over the snare",
           S9=".... 7... .... 7...", CB="..5. .... ..5. ....")
         .tool("LT", rnd=8, size="1/8", vel=60).tool("HT", rnd=8, size="1/8", vel=60)],
        roll32("Fill 2: snare roll", a, "S9", tune="Snare9 Tune"),
        "a boom-bap set: kick sweep and snare tail per step, ghost snares and rims by "
        "probability, heavy swing", intro_randvel=False, alt_randvel=False)


def slow_and_low():
    a = P("Main groove: long low kick, slow snare with a long tail",
          KD="9... .... ..8. ....", S9=".... .... 9... ....",
          CH="6.4. 6.4. 6.4. 6.4.")
    return _hiphop(
        "Slow And Low", 72, 20, 14,
        "slow and low: everything tuned down with long tails, a booming sub kick, a deep "
        "snare that rings, dark hats and a low, long crash",
        {"KD": "sub boom, long tail, slow sweep", "S9": "tuned low, long tail",
         "LT": "low, long toms", "CY": "dark, long wash"},
        merge(kick(42, 1600, sweep=40, sweep_time=120, click=-22, sat=0.1, sine=True,
                   attack=1.0, decay_curve=-0.15, sweep_curve=-0.3),
              snare9(110, 300, 450, color=5000, noise=-4, tone_curve=-0.2,
                     noise_curve=-0.2),
              snare8(85, 420, color=500, noise=-4),
              toms(42, 62, 82, depth=30, decay=1200, noise=-26, click=-14, curve=-0.3),
              clap(600, 900),
              cowbell(410, 1.15, 450, filter=900, res=0.1, curve=-0.3),
              hats(90, 1200, tune=0.3, noise=45, bpf=5000, hpf=3000, open_curve=-0.2),
              cymbal(4000, tuning=0.3, body=4000, noise=-10, ding=-18, curve=-0.4),
              rim(0.3, 300)),
        {"KD": (0, 0.5), "S9": (-4, 0.5), "S8": (-10, 0.45), "CL": (-8, 0.55),
         "LT": (-7, 0.3), "MT": (-7, 0.5), "HT": (-7, 0.7), "CH": (-6, 0.6),
         "OH": (-8, 0.4), "CY": (-11, 0.66), "RS": (-8, 0.38), "CB": (-12, 0.64)},
        a,
        a.but("Main groove with a low rim and a second kick", RS="..3. .... .... ..4.",
              KD="9... .... ..8. ..6."),
        P("Groove B: half-time triplet hats over the boom",
          KD="9... .... ..8. ....", S9=".... .... 9... ....", CH="6664 6664 6664 6664"),
        P("Groove B with the deep snare doubled by a dark clap",
          KD="9... .... ..8. ....", S9=".... .... 9... ....", CL=".... .... 9... ....",
          CH="6664 6664 6664 6664"),
        P("Groove C: open hat sighs, tom drops, crash",
          KD="9... .... ..8. ..6.", S9=".... .... 9... ....", OH=".... ..5. .... ....",
          CH="6.4. 6... 6.4. 6.4.", LT=".... .... .... .6..", CY="6... .... .... ...."),
        a.but("", S9=".... .... 9... .556", KD="9... .... ..8. ...."),
        P("Slow triplets on the 8th triplet grid", "1 x 8T",
          KD="9.. ... 8.. ...", S9="... ... 9.. ...", CH="6.4 6.4 6.4 6.4",
          RS="... .3. ... ..3"),
        P("Break: snare and hats, the boom gone", S9=".... .... 9... ....",
          CH="6.4. 6.4. 6.4. 6.4.", OH=".... ..5. .... ...."),
        P("Break: long toms and bell", LT="8... .... .... ....", MT=".... ..6. .... ....",
          HT=".... .... ..6. ....", CB="...4 .... .... .4.."),
        "9..... ...... ..8... ......", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("kick length per step", lambda p: p.lane("Kickdrum Amp Decay", "7... .... ..4. ....")),
         ("snare pitch per step", lambda p: p.lane("Snare9 Tune", ".... .... 3... ....")),
         ("hat tone darkening and kick sweep per step",
          lambda p: p.lane("CHH BPF Freq", "6.4. 5.3. 6.4. 7.2.")
          .lane("Kickdrum Pitch Decay", "6... .... ..3. ..8."))],
        [("hats rolling at random on triplets",
          lambda p: p.tool("CH", rnd=15, size="1/16T", vel=45)),
         ("rims and sub kicks at random",
          lambda p: p.tool("RS", rnd=8, size="1/8", vel=45).tool("KD", rnd=5, size="1/8",
                                                                   vel=70))],
        [P("Breakdown: long toms, pitch per step",
           LT="8... .... .... ....", MT=".... ..6. .... ....", HT=".... .... ..6. ....")
         .lane("Low Tom Freq", "3... .... .... ....").lane("High Tom Freq", ".... .... ..8. ....")
         .randomlane("Mid Tom Pan"),
         P("Breakdown 2: dark hats and bell by probability",
           CH="6.4. 6.4. 6.4. 6.4.", CB="...4 .... .... .4..")
         .tool("CH", sel=70).tool("CB", rnd=6, size="1/8T", vel=40)],
        P("Fill 2: triplet snare drag", "1 x 16T",
          KD="9..... ...... ..8... ......", S9="...... ...... 9..... ..3456")
        .lane("Snare9 Tune", "...... ...... ...... ..5678"),
        "a slow, low set: kick length, snare pitch and hat tone per step, triplet hats "
        "and sub kicks by probability", reference=2, alt_randvel=False)


def dig_it():
    a = P("Main groove: funky break, kick skipping around a fat snare",
          KD="9.8. ..8. .9.. ....", S9=".... 9..4 .4.. 9..4",
          CH="7575 7575 7575 7575")
    return _hiphop(
        "Dig It", 100, 22, 16,
        "crate-digger funk breaks: a punchy, woody kick, a fat snare with ghost notes, "
        "busy 16th hats, open hat barks and a cowbell",
        {"KD": "punchy, woody, short", "S9": "fat, mid-tuned, ghost-friendly",
         "CB": "funky, bright bell", "OH": "barking open hat"},
        merge(kick(58, 300, sweep=45, sweep_time=30, click=-10, sat=0.2, sine=False,
                   attack=0.3, decay_curve=-0.45),
              snare9(205, 130, 210, color=9000, noise=-1),
              snare8(170, 160, color=1500, noise=-5),
              toms(60, 80, 104, depth=35, decay=300, noise=-20, click=-8),
              clap(1200, 200),
              cowbell(660, 1.48, 160, filter=3000, res=0.12),
              hats(40, 260, tune=0.55, noise=45, bpf=9000, hpf=6500, open_curve=-0.55),
              cymbal(2200, tuning=0.55, body=7200, noise=-12, ding=-10),
              rim(0.5, 800)),
        {"KD": (0, 0.5), "S9": (-3, 0.5), "S8": (-10, 0.46), "CL": (-8, 0.54),
         "LT": (-7, 0.28), "MT": (-7, 0.48), "HT": (-7, 0.68), "CH": (-5, 0.62),
         "OH": (-7, 0.62), "CY": (-10, 0.35), "RS": (-8, 0.4), "CB": (-9, 0.7)},
        a,
        a.but("Main groove with an open hat bark", OH="..6. .... ..6. ....",
              CH="75.5 7575 75.5 7575"),
        P("Groove B: cowbell funk over a syncopated kick",
          KD="9..8 ..8. 9... ..8.", S9=".... 9... .... 9...", CB="9.6. 6.6. 9.6. 6.6.",
          CH="7.5. 7.5. 7.5. 7.5."),
        P("Groove B with ghost snares and a rim",
          KD="9..8 ..8. 9... ..8.", S9=".... 9.3. .3.. 9..3", CB="9.6. 6.6. 9.6. 6.6.",
          RS="...4 .... .... ....", CH="7.5. 7.5. 7.5. 7.5."),
        P("Groove C: break with crash, clap and tom pickups",
          KD="9.8. ..8. .9.. ..6.", S9=".... 9..4 .4.. 9..4", CL=".... 7... .... 7...",
          CH="7575 7575 7575 75..", OH=".... .... .... ..6.", HT=".... .... .... ...5",
          CY="7... .... .... ...."),
        a.but("", S9=".... 9..4 .4.. 9.79", KD="9.8. ..8. .9.. .8.."),
        P("Shuffled break on 16th triplets", "1 x 16T",
          KD="9..8.. ....8. .9.... ......", S9="...... 9....4 ..4... 9.....",
          CH="7.57.5 7.57.5 7.57.5 7.57.5"),
        P("Break: snare, hats and bell only", S9=".... 9..4 .4.. 9..4",
          CH="7575 7575 7575 7575", CB="9.6. 6.6. 9.6. 6.6."),
        P("Break: toms and congas-style figures", LT="8..6 .... 8... ....",
          MT="..6. ..6. ..6. ..6.", HT=".... 7... .... 7.6.", CH="5.5. 5.5. 5.5. 5.5."),
        "9..8.. ....8. .9.... ......", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("snare pitch per step", lambda p: p.lane("Snare9 Tune", ".... 5..3 .3.. 6..3")),
         ("bell pitch per step", lambda p: p.lane("Cowbell Tune", "6.4. 4.5. 7.4. 4.3.")),
         ("hat length per step", lambda p: p.lane("CHH Decay", "3535 3535 3535 3598"))],
        [("ghost snares at random", lambda p: p.tool("S8", rnd=14, size="1/16", vel=35)),
         ("open hats and toms at random", lambda p: p.tool("OH", rnd=8, size="1/8", vel=55)
          .tool("MT", rnd=6, size="1/16", vel=50))],
        [P("Breakdown: bell and hats, bell pitch per step",
           CB="9.6. 6.6. 9.6. 6.6.", CH="7.5. 7.5. 7.5. 7.5.")
         .lane("Cowbell Tune", "6.4. 4.5. 7.4. 4.3."),
         P("Breakdown 2: toms played by probability over the hats",
           CH="7575 7575 7575 7575", LT="8... .... .... ....")
         .tool("MT", rnd=12, size="1/16", vel=55).tool("HT", rnd=10, size="1/16", vel=55)
         .randvel("CH")],
        roll32("Fill 2: snare roll", a, "S9", tune="Snare9 Tune"),
        "a funk-break set: snare and bell pitches per step, ghost snares, barking hats and "
        "toms by probability", alt_randvel=False)


def old_school():
    a = P("Main groove: electro-era kick, clap on two and four, 8th hats",
          KD="9... ...8 ..9. ....", CL=".... 9... .... 9...",
          CH="7.7. 7.7. 7.7. 7.7.")
    return _hiphop(
        "Old School", 104, 12, 15,
        "early hip hop and electro: a long sine boom kick, a hand clap, a snappy snare, "
        "cowbell, cymbal and deep toms",
        {"KD": "long sine boom", "CL": "classic dry clap", "CB": "two-tone bell",
         "LT": "deep, long toms for the rolls"},
        merge(kick(47, 900, sweep=45, sweep_time=70, click=-20, sat=0.0, sine=True,
                   attack=0.5, decay_curve=-0.2),
              snare9(190, 110, 200, color=11000, noise=-2),
              snare8(160, 180, color=1800, noise=-4),
              toms(50, 68, 90, depth=45, decay=600, noise=-22, click=-10),
              clap(1050, 260),
              cowbell(587, 1.44, 220, filter=2640, res=0.05),
              hats(50, 400, tune=0.5, noise=50, bpf=9000, hpf=6000, open_curve=-0.5),
              cymbal(2500, tuning=0.5, body=7000, noise=-10, ding=-12),
              rim(0.5, 1000)),
        {"KD": (0, 0.5), "CL": (-8, 0.5), "S8": (-6, 0.5), "S9": (-9, 0.5),
         "LT": (-6, 0.3), "MT": (-6, 0.5), "HT": (-6, 0.7), "CH": (-5, 0.62),
         "OH": (-7, 0.4), "CY": (-10, 0.68), "RS": (-8, 0.38), "CB": (-8, 0.6)},
        a,
        a.but("Main groove with the cowbell", CB="..7. .... ..7. .6.."),
        P("Groove B: 16th hats, snare and clap, open hat on the and-of-four",
          KD="9... ...8 ..9. ..8.", CL=".... 9... .... 9...", S8=".... 7... .... 7...",
          CH="7575 7575 7575 75..", OH=".... .... .... ..6."),
        P("Groove B with a rim knock", KD="9... ...8 ..9. ..8.", CL=".... 9... .... 9...",
          S8=".... 7... .... 7...", CH="7575 7575 7575 75..", OH=".... .... .... ..6.",
          RS="..5. .... .5.. ...."),
        P("Groove C: everything, with a tom answer",
          KD="9... ...8 ..9. ....", CL=".... 9... .... 9...", S8=".... 7... .... 7..5",
          CH="7.7. 7.7. 7.7. 7.7.", CB="..7. .... ..7. .6..", LT=".... .... .... ..6.",
          MT=".... .... .... ...6", CY="7... .... .... ...."),
        a.but("", CL=".... 9... .... 9.99"),
        P("Half-time on the 2 x 16 grid", "2 x 16",
          KD="9... .... ..9. .... 9... .... ..9. ..8.",
          CL=".... .... 9... .... .... .... 9... ....",
          CH="7.7. 7.7. 7.7. 7.7. 7.7. 7.7. 7.7. 7.77"),
        P("Break: clap and cowbell", CL=".... 9... .... 9...", CB="..7. .... ..7. .6..",
          CH="7.7. 7.7. 7.7. 7.7."),
        P("Break: deep tom rolls", LT="8... ..6. .... ..6.", MT=".... 7... ..6. ....",
          HT="..6. .... 7... ....", CL=".... 9... .... 9..."),
        "9..... ....8. ..9... ......", "CL", "Clap Tone", "Clap Reverb",
        [("cowbell pitch per step", lambda p: p.lane("Cowbell Tune", "..7. .... ..4. .6..")),
         ("kick length per step", lambda p: p.lane("Kickdrum Amp Decay", "7... ...3 ..5. ....")),
         ("tom pitch and clap room per step",
          lambda p: p.lane("Low Tom Freq", ".... .... .... ..3.")
          .lane("Clap Reverb", ".... 3... .... 8..."))],
        [("16th hats at random", lambda p: p.tool("CH", rnd=20, size="1/16", vel=50)),
         ("claps and rims at random", lambda p: p.tool("CL", rnd=6, size="1/16", vel=60)
          .tool("RS", rnd=8, size="1/16", vel=50))],
        [P("Breakdown: deep toms, pitch per step",
           LT="8... ..6. .... ..6.", MT=".... 7... ..6. ....", HT="..6. .... 7... ....")
         .lane("Low Tom Freq", "6... ..4. .... ..2.").lane("High Tom Freq", "..7. .... 5... ...."),
         P("Breakdown 2: bell and claps by probability",
           CB="..7. .... ..7. .6..", CL=".... 9... .... 9...")
         .tool("CB", rnd=10, size="1/16", vel=60).randomlane("Cowbell Pan")],
        roll32("Fill 2: clap roll", a, "CL", tune="Clap Tone"),
        "an old-school set: bell pitch, kick length and tom pitch per step, hats and "
        "claps by probability, a clap roll", intro_randvel=False)


def heavy_hitter():
    a = P("Main groove: big beat, heavy kick and a huge snare-clap",
          KD="9... ..8. 9.8. ....", S9=".... 9... .... 9...", CL=".... 8... .... 8...",
          CH="7575 7575 7575 7575")
    return _hiphop(
        "Heavy Hitter", 108, 6, 30,
        "big-beat breaks that hit hard: a saturated kick with weight, a huge snare layered "
        "with a clap, loud crashes and driven toms",
        {"KD": "heavy, driven, mid-long", "S9": "huge, full, long noise",
         "CY": "loud trashy crash", "LT": "driven toms"},
        merge(kick(50, 520, sweep=70, sweep_time=45, click=-8, sat=0.5, sine=False,
                   attack=0.2),
              snare9(180, 160, 320, color=12000, noise=0, noise_curve=-0.35),
              snare8(150, 260, color=1100, noise=-2),
              toms(52, 70, 94, depth=50, decay=500, noise=-14, click=-5, sat=0.3),
              clap(1000, 380),
              cowbell(540, 1.6, 180, filter=2400, res=0.2),
              hats(45, 420, tune=0.5, noise=50, bpf=8500, hpf=5500, open_curve=-0.4),
              cymbal(2600, tuning=0.45, body=6000, noise=-4, ding=-16, curve=-0.55),
              rim(0.45, 700)),
        {"KD": (0, 0.5), "S9": (-3, 0.5), "CL": (-7, 0.5), "S8": (-9, 0.48),
         "LT": (-5, 0.28), "MT": (-5, 0.5), "HT": (-5, 0.72), "CH": (-5, 0.62),
         "OH": (-7, 0.4), "CY": (-9, 0.35), "RS": (-9, 0.4), "CB": (-11, 0.64)},
        a,
        a.but("Main groove with open hats and a kick pickup", OH="..6. .... ..6. ....",
              KD="9... ..8. 9.8. ...6"),
        P("Groove B: rolling toms under the break",
          KD="9... ..8. 9... ....", S9=".... 9... .... 9...", LT="...6 .... ..6. .6..",
          MT="..6. .... .... ....", CH="7.5. 7.5. 7.5. 7.5."),
        P("Groove B with a rim and the clap layered",
          KD="9... ..8. 9... ....", S9=".... 9... .... 9...", CL=".... 8... .... 8...",
          LT="...6 .... ..6. .6..", RS=".5.. .... .... ...5", CH="7.5. 7.5. 7.5. 7.5."),
        P("Groove C: crash on every bar, open hats, ghost snares",
          KD="9... ..8. 9.8. ...6", S9=".... 9..3 .3.. 9...", CL=".... 8... .... 8...",
          CH="7575 75.5 7575 75.5", OH=".... ..6. .... ..6.", CY="8... .... .... ...."),
        a.but("", S9=".... 9... .... 9999", KD="9... ..8. 9.8. ...."),
        P("Double-time on the 1 x 32 grid", "1 x 32",
          KD="9....... ....8... 9...8... ........",
          S9="........ 9....... ........ 9.......",
          CH="7.5.7.5. 7.5.7.5. 7.5.7.5. 7.5.7575"),
        P("Break: snare and hats, no kick", S9=".... 9... .... 9...",
          CH="7575 7575 7575 7575", OH="..6. .... ..6. ...."),
        P("Break: driven toms and crash", LT="8..6 .... 8... ....", MT="...6 ..6. ...6 ....",
          HT=".... .7.. .... 7.7.", CY="8... .... .... ...."),
        "9..... ....8. 9..8.. ......", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("snare length per step", lambda p: p.lane("Snare9 Noise Decay", ".... 5... .... 9...")),
         ("tom drive per step", lambda p: p.lane("Low Tom Saturation", "...5 .... ..9. .7..")),
         ("kick drive and crash tone per step",
          lambda p: p.lane("Kickdrum Saturation", "5... ..7. 5.9. ...6")
          .lane("Cymbal Freq", "6... .... .... ...."))],
        [("extra kicks at random", lambda p: p.tool("KD", rnd=8, size="1/16", vel=65)),
         ("toms at random, hat velocities re-rolled",
          lambda p: p.tool("LT", rnd=8, size="1/8", vel=65).randvel("CH"))],
        [P("Breakdown: toms, pitch per step, crash on the one",
           LT="8..6 .... 8... ....", MT="...6 ..6. ...6 ....", CY="8... .... .... ....")
         .lane("Low Tom Freq", "6..4 .... 3... ....").lane("Mid Tom Freq", "...7 ..5. ...3 ...."),
         P("Breakdown 2: snare and hats by probability",
           S9=".... 9... .... 9...", CH="7575 7575 7575 7575")
         .tool("S9", rnd=6, size="1/16", vel=40).tool("CH", sel=75).randvel("CH")],
        roll32("Fill 2: snare roll into the crash", a, "S9", tune="Snare9 Tune"),
        "a big-beat set: snare length, tom and kick drive per step, extra kicks and toms "
        "by probability, a crash on every drop")


def thwacker():
    a = P("Main groove: dembow bounce, the snare thwacking on the off-beats",
          KD="9... 9... 9... 9...", S9="...8 ..8. ...8 ..8.",
          CH="7.5. 7.5. 7.5. 7.5.")
    return _hiphop(
        "Thwacker", 98, 10, 20,
        "dancehall and dembow: a round kick on every beat, a loud thwacking snare and "
        "rim, tight hats, a timbale-like high tom and a hand clap",
        {"KD": "round, mid-length", "S9": "loud, high, thwacking", "RS": "cracking rim",
         "HT": "timbale-like, high and short"},
        merge(kick(54, 420, sweep=50, sweep_time=35, click=-14, sat=0.15, sine=True,
                   attack=0.4),
              snare9(250, 90, 170, color=14000, noise=0, noise_curve=-0.6),
              snare8(195, 140, color=2500, noise=-2),
              toms(62, 88, 120, depth=40, decay=220, noise=-18, click=-4),
              clap(1500, 240),
              cowbell(760, 1.35, 110, filter=3400, res=0.15),
              hats(30, 250, tune=0.6, noise=40, bpf=10000, hpf=7000, open_curve=-0.55),
              cymbal(1800, tuning=0.6, body=7600, noise=-12, ding=-10),
              rim(0.7, 1100)),
        {"KD": (0, 0.5), "S9": (-2, 0.5), "RS": (-6, 0.42), "CL": (-7, 0.55),
         "S8": (-9, 0.46), "LT": (-8, 0.32), "MT": (-8, 0.52), "HT": (-7, 0.72),
         "CH": (-5, 0.62), "OH": (-7, 0.38), "CY": (-10, 0.68), "CB": (-10, 0.6)},
        a,
        a.but("Main groove with the rim doubling the snare", RS="...6 ..6. ...6 ..6."),
        P("Groove B: one-drop feel, the kick and snare together on three",
          KD=".... .... 9... ....", S9=".... .... 9... ....", RS="..6. ..6. ..6. ..6.",
          CH="7.5. 7.5. 7.5. 7.5.", HT=".... .... .... .6.6"),
        P("Groove B with a clap and bell",
          KD=".... .... 9... ....", S9=".... .... 9... ....", CL=".... .... 7... ....",
          RS="..6. ..6. ..6. ..6.", CB="6... .... .... ..5.", CH="7.5. 7.5. 7.5. 7.5."),
        P("Groove C: dembow with timbales and an open hat",
          KD="9... 9... 9... 9...", S9="...8 ..8. ...8 ..8.", RS="...6 ..6. ...6 ..6.",
          HT=".... .... .6.6 ....", MT=".... .... .... 6...", OH="..5. .... ..5. ....",
          CH="7... 7.5. 7... 7.5."),
        a.but("", S9="...8 ..8. ...8 8888"),
        P("Dembow on 16th triplets", "1 x 16T",
          KD="9..... 9..... 9..... 9.....", S9="....8. ...8.. ....8. ...8..",
          CH="7.5... 7.5... 7.5... 7.5..."),
        P("Break: snare and rim without the kick", S9="...8 ..8. ...8 ..8.",
          RS="...6 ..6. ...6 ..6.", CH="7.5. 7.5. 7.5. 7.5."),
        P("Break: timbale run", HT="6.6. .6.6 6.6. .6..", MT="...6 .... ...6 ..6.",
          LT=".... 6... .... ...6"),
        "9..... 9..... 9..... ......", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("snare pitch per step", lambda p: p.lane("Snare9 Tune", "...6 ..4. ...7 ..5.")),
         ("rim pitch per step", lambda p: p.lane("Rimshot Tune", "..6. ..4. ..7. ..3.")),
         ("timbale pitch and snare length per step",
          lambda p: p.lane("High Tom Freq", ".... .... .7.4 ....")
          .lane("Snare9 Noise Decay", "...4 ..6. ...4 ..8."))],
        [("rims at random", lambda p: p.tool("RS", rnd=12, size="1/16", vel=55)),
         # Re-rolled hat velocities put full-velocity hats on the kick and snare and clip.
         ("timbales at random, hat length re-rolled each bar",
          lambda p: p.tool("HT", rnd=10, size="1/16", vel=60).randomlane("CHH Decay"))],
        [P("Breakdown: timbales with pitch per step",
           HT="6.6. .6.6 6.6. .6..", MT="...6 .... ...6 ..6.")
         .lane("High Tom Freq", "7.5. .3.6 8.4. .2..").randomlane("High Tom Pan"),
         P("Breakdown 2: snare and rim by probability",
           S9="...8 ..8. ...8 ..8.", RS="...6 ..6. ...6 ..6.")
         .tool("S9", sel=70).tool("RS", sel=60, rnd=8, size="1/16", vel=50)],
        roll32("Fill 2: snare roll", a, "S9", tune="Snare9 Tune"),
        "a dancehall set: snare, rim and timbale pitches per step, rims and timbales by "
        "probability", intro_randvel=False)
