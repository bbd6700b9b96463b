"""Electro, breaks and IDM kits: Tiny IDM, Gritchy IDM, Electrotron, Oddities, High Flyer,
Snappy, Rhythm Spitter, Saturated."""

from design import Pattern as P
from idioms import roll32
from kits_hiphop import _hiphop
from voicing import clap, cowbell, cymbal, hats, kick, merge, rim, snare8, snare9, toms


def tiny_idm():
    a = P("Main groove: tiny clicks on the 32nd grid, a short kick stuttering", "1 x 32",
          KD="9....... ...7.... ..9..... ........",
          RS="........ 8....... ........ 8..5....",
          CH="6.3.6.3. 6.3.6.3. 6.3.6.36 6.3.6.3.")
    return _hiphop(
        "Tiny IDM", 108, 0, 10,
        "tiny IDM: everything short and tuned high, a little sine kick, rims and pinged "
        "bells as melody, hats cut to ticks, on fine grids",
        {"KD": "tiny sine blip with a quick chirp", "RS": "high, pitched click",
         "CB": "high resonant ping", "HT": "toms tuned up into blips",
         "CH": "very short tick"},
        merge(kick(90, 200, sweep=80, sweep_time=12, click=-22, sat=0.0, sine=True,
                   attack=0.1, decay_curve=-0.4),
              snare9(290, 40, 70, color=17000, noise=-3, noise_curve=-0.8),
              snare8(200, 60, color=6000, noise=-4),
              toms(78, 98, 120, depth=70, decay=90, body=50, noise=-40, click=-3),
              clap(2800, 40),
              cowbell(950, 1.95, 60, filter=6500, res=0.5, curve=-0.8),
              hats(6, 60, tune=1.0, noise=25, bpf=15000, hpf=11000, open_curve=-0.8),
              cymbal(300, tuning=1.0, body=9000, noise=-30, ding=-3, ding_freq=8500,
                     ding_decay=8),
              rim(0.9, 1800)),
        {"KD": (0, 0.5), "RS": (-6, 0.4), "CB": (-8, 0.65), "CH": (-4, 0.7),
         "OH": (-6, 0.3), "S9": (-6, 0.55), "S8": (-8, 0.45), "CL": (-7, 0.5),
         "LT": (-7, 0.2), "MT": (-7, 0.5), "HT": (-7, 0.8), "CY": (-9, 0.85)},
        a,
        a.but("Main groove with a pinged bell melody",
              CB="..6..... .....5.. ...6.... .5......"),
        P("Groove B: triplet ticks and blips", "1 x 16T",
          KD="9..... ..7... 9..... ......", RS="...... 8..... ...... 8..5..",
          CH="6.36.3 6.36.3 6.36.3 6.3666", HT="....5. ...... ...5.. ......"),
        P("Groove B with snare crumbs", "1 x 16T",
          KD="9..... ..7... 9..... ......", RS="...... 8..... ...... 8..5..",
          CH="6.36.3 6.36.3 6.36.3 6.3666", S9="..3... .....3 ..3... ....3."),
        P("Groove C: everything tiny at once", "1 x 32",
          KD="9....... ...7.... ..9..... ......7.",
          RS="........ 8....... ........ 8..5....",
          CB="..6..... .....5.. ...6.... .5......",
          CH="6.3.6.3. 6.3.6.3. 6.3.6.36 6.3.6.3.",
          S8="......3. ........ ....3... ........", CY="9....... ........ ........ ........"),
        P("", "1 x 16", KD="9..7 ..9. ..97 ....", RS=".... 8... .... 8585",
          CH="6363 6363 6363 6363"),
        P("Eighth-triplet skeleton", "1 x 8T",
          KD="9.. .7. 9.. ...", RS="... 8.. ... 8.5", CH="636 636 636 636",
          CB=".5. ... ..6 ..."),
        P("Break: ticks and bell, no kick", "1 x 32",
          CB="..6..... .....5.. ...6.... .5......",
          CH="6.3.6.3. 6.3.6.3. 6.3.6.36 6.3.6.3."),
        P("Break: blip toms", HT="6..5 ..6. .5.. 6...", MT="..5. .5.. ...5 ..5.",
          LT="5... .... 5... ...."),
        "9..... ..7... 9..... ......", "RS", "Rimshot Tune", None,
        [("rim pitch per step (a melody)",
          lambda p: p.lane("Rimshot Tune", "........ 7....... ........ 3..9....")),
         ("blip pitches per step",
          lambda p: p.lane("High Tom Freq", "....7. ...... ...2.. ......")),
         ("bell pitch and ping per step",
          lambda p: p.lane("Cowbell Tune", "..6..... .....3.. ...8.... .4......")
          .lane("Cowbell Filter Resonance", "..9..... .....4.. ...9.... .2......"))],
        [("32nd ticks and rims at random",
          lambda p: p.tool("CH", rnd=15, size="1/32", vel=45)
          .tool("RS", rnd=8, size="1/32", vel=50).randomlane("Rimshot Tune")),
         ("blips at random, their pitch re-rolled every bar",
          lambda p: p.tool("HT", rnd=10, size="1/16T", vel=55).randomlane("High Tom Freq"))],
        [P("Breakdown: a rim melody re-rolled every bar", "1 x 32",
           RS="..5..5.. 5..5..5. ..5..5.. 5.5.5...")
         .randomlane("Rimshot Tune").randomlane("Rimshot Pan"),
         P("Breakdown 2: bells and ticks drawn by probability", "1 x 32",
           CB="..6..... .....5.. ...6.... .5......")
         .tool("CB", rnd=8, size="1/32", vel=50).tool("CH", rnd=25, size="1/32", vel=40)
         .randomlane("Cowbell Tune")],
        P("Fill 2: rim ratchet falling in pitch", "1 x 32",
          KD="9....... ........ 9....... ........",
          RS="........ ........ 56565656 67676789")
        .lane("Rimshot Tune", "........ ........ 98765432 98765432"),
        "a tiny IDM set: rim and bell melodies drawn per step and re-rolled each bar, "
        "32nd ticks and blips by probability", roll="RS", reference=2, intro_randvel=False)


def gritchy_idm():
    a = P("Main groove: broken kick, gritty snare, glitching hats", "1 x 32",
          KD="9.....7. ........ ..9..... ....7...",
          S8="........ 9....... ........ 9.....5.",
          CH="7.5.7.57 7.5.7.5. 7.5.7577 7.5.7.5.")
    return _hiphop(
        "Gritchy IDM", 140, 0, 30,
        "gritty, glitchy IDM: a driven kick, a noisy crushed snare, glitching hats, "
        "detuned toms and a harsh bell, meant to be broken up by the sequencer",
        {"KD": "short, driven, gritty", "S8": "crushed noise snare",
         "CB": "harsh, detuned bell", "LT": "detuned, saturated toms"},
        merge(kick(56, 260, sweep=100, sweep_time=20, click=-6, sat=0.7, sine=False,
                   attack=0.1, decay_curve=-0.5),
              snare9(170, 70, 150, color=17000, noise=0, noise_curve=-0.6),
              snare8(120, 120, color=3000, noise=0),
              toms(45, 71, 111, depth=90, decay=200, noise=-8, click=-2, sat=0.5),
              clap(2500, 80),
              cowbell(433, 1.93, 90, filter=4200, res=0.45),
              hats(15, 150, tune=0.8, noise=70, bpf=12000, hpf=8000, open_curve=-0.7),
              cymbal(700, tuning=0.8, body=8500, noise=-6, ding=-10, ding_decay=15),
              rim(0.8, 1500)),
        {"KD": (0, 0.5), "S8": (-5, 0.5), "S9": (-8, 0.4), "CL": (-8, 0.6),
         "LT": (-6, 0.2), "MT": (-6, 0.5), "HT": (-6, 0.8), "CH": (-5, 0.65),
         "OH": (-7, 0.35), "CY": (-10, 0.7), "RS": (-7, 0.3), "CB": (-9, 0.75)},
        a,
        a.but("Main groove with a harsh bell", CB="....6... ........ .6...... ........"),
        P("Groove B: half-time grit", "1 x 16",
          KD="9..7 .... ..9. ....", S8=".... .... 9... ....", CH="7577 7.5. 7577 7.5.",
          LT="...6 .... .... .6.."),
        P("Groove B with clap glitches", "1 x 16",
          KD="9..7 .... ..9. ....", S8=".... .... 9... ....", CL=".... ..6. .... ...6",
          CH="7577 7.5. 7577 7.5.", LT="...6 .... .... .6.."),
        P("Groove C: everything grinding", "1 x 32",
          KD="9.....7. ........ ..9..... ....7.7.",
          S8="........ 9....... ........ 9.....5.",
          S9="....4... ......4. ....4... ........",
          CH="7.5.7.57 7.5.7.5. 7.5.7577 7.5.7.5.",
          CB="....6... ........ .6...... ........", CY="9....... ........ ........ ........"),
        P("", "1 x 16", KD="9..7 ...9 ..9. 9.9.", S8=".... 9... .... 9999",
          CH="7577 7577 7577 7577"),
        P("Triplet grit", "1 x 16T",
          KD="9....7 ...... ..9... ......", S8="...... 9..... ...... 9..5..",
          CH="757757 757757 757757 757757"),
        P("Break: snare and hats, no kick", "1 x 32",
          S8="........ 9....... ........ 9.....5.",
          CH="7.5.7.57 7.5.7.5. 7.5.7577 7.5.7.5."),
        P("Break: detuned toms", LT="7..6 .... 6... ....", MT="...6 .6.. ...6 ....",
          HT=".... ...6 .... 6.6."),
        "9....7 ...... ..9... ......", "S8", "Snare8 Noise Color", "Snare8 Noise Decay",
        [("kick sweep per step",
          lambda p: p.lane("Kickdrum Pitch Mod", "9.....3. ........ ..6..... ....2...")),
         ("snare colour per step", lambda p: p.lane("Snare8 Noise Color", ".... .... 3... ....")),
         ("hat length re-rolled every bar, bell pitch per step",
          lambda p: p.randomlane("CHH Decay")
          .lane("Cowbell Tune", "....8... ........ .2...... ........"))],
        [("the hat row re-randomised every bar, thinned by probability",
          lambda p: p.tool("CH", reset=True, sel=60).randvel("CH")),
         ("toms and kicks at random on 32nds, tom pitch re-rolled",
          lambda p: p.tool("LT", rnd=6, size="1/32", vel=60)
          .tool("KD", rnd=5, size="1/16", vel=70).randomlane("Low Tom Freq"))],
        [P("Breakdown: detuned toms, pitch re-rolled each bar",
           LT="7..6 .... 6... ....", MT="...6 .6.. ...6 ....", HT=".... ...6 .... 6.6.")
         .randomlane("Low Tom Freq").randomlane("High Tom Freq"),
         P("Breakdown 2: snare row re-randomised each bar", "1 x 16",
           S8="9... ..9. .... 9...", CH="7.5. 7.5. 7.5. 7.5.")
         .tool("S8", reset=True, sel=40).randvel("S8")],
        P("Fill 2: 32nd snare grind, noise colour opening", "1 x 32",
          KD="9....... ........ 9....... ........",
          S8="........ ....5555 66667777 88889999")
        .lane("Snare8 Noise Color", "........ ....2233 44556677 88999999"),
        "a glitch set: re-randomised hat and snare rows, lanes re-rolled each bar, "
        "32nd toms and kicks by probability")


def _simple_sets(snare, tune, decay, lanes, random, breakdown, fill2):
    return dict(snare=snare, tune=tune, decay=decay, lanes=lanes, random=random,
                breakdown=breakdown, fill2=fill2)


def electrotron():
    a = P("Main groove: electro kick pattern, clap on two and four, 16th hats",
          KD="9... ..9. ..9. ....", CL=".... 9... .... 9...", CH="7575 7575 7575 7575")
    return _hiphop(
        "Electrotron", 126, 4, 18,
        "electro: a long, pitched sine boom, a snappy clap and snare, robotic 16th hats, "
        "a cowbell hook and zapping toms",
        {"KD": "long sine boom with a deep sweep", "LT": "zapping toms, deep pitch sweep",
         "CB": "bright hook bell"},
        merge(kick(46, 1000, sweep=90, sweep_time=90, click=-18, sat=0.1, sine=True,
                   attack=0.4, decay_curve=-0.25),
              snare9(215, 90, 170, color=12000, noise=-1),
              snare8(175, 140, color=2500, noise=-3),
              toms(48, 66, 86, depth=95, decay=350, noise=-30, click=-10),
              clap(1250, 200),
              cowbell(700, 1.44, 140, filter=3100, res=0.1),
              hats(28, 280, tune=0.6, noise=30, bpf=10000, hpf=7500),
              cymbal(2000, tuning=0.6, body=7800, noise=-10, ding=-12),
              rim(0.6, 1000)),
        {"KD": (0, 0.5), "CL": (-5, 0.5), "S8": (-8, 0.5), "S9": (-9, 0.5),
         "LT": (-7, 0.25), "MT": (-7, 0.5), "HT": (-7, 0.75), "CH": (-5, 0.64),
         "OH": (-7, 0.38), "CY": (-10, 0.68), "RS": (-8, 0.4), "CB": (-8, 0.62)},
        a, a.but("Main groove with the cowbell hook", CB="..7. .6.. ..7. ...6"),
        P("Groove B: syncopated kick, snare and clap, zap toms",
          KD="9..9 ..9. .... ..9.", CL=".... 9... .... 9...", S8=".... 7... .... 7...",
          CH="7575 7575 7575 7575", LT=".... .... .7.. ...."),
        P("Groove B with an open hat", KD="9..9 ..9. .... ..9.", CL=".... 9... .... 9...",
          S8=".... 7... .... 7...", CH="7575 75.5 7575 75.5", OH=".... ..6. .... ..6.",
          LT=".... .... .7.. ...."),
        P("Groove C: hook, zaps and crash",
          KD="9... ..9. ..9. ..9.", CL=".... 9... .... 9...", CB="..7. .6.. ..7. ...6",
          CH="7575 7575 7575 7575", HT=".... ...6 .... ....", MT=".... .... .... .6..",
          CY="7... .... .... ...."),
        a.but("", CL=".... 9... .... 9.99", KD="9... ..9. ..9. .9.."),
        P("Electro on 16th triplets", "1 x 16T",
          KD="9..... ...9.. ...9.. ......", CL="...... 9..... ...... 9.....",
          CH="757575 757575 757575 757575"),
        P("Break: hats, clap and bell", CL=".... 9... .... 9...", CH="7575 7575 7575 7575",
          CB="..7. .6.. ..7. ...6"),
        P("Break: zap toms", LT="8... ..7. .... ....", MT="...7 .... 7... ....",
          HT=".... .... ..7. 7.7.", CH="5.5. 5.5. 5.5. 5.5."),
        "9..... ...9.. ...9.. ......", "CL", "Clap Tone", "Clap Reverb",
        [("kick sweep depth per step", lambda p: p.lane("Kickdrum Pitch Mod", "5... ..8. ..3. ....")),
         ("tom zap depth per step", lambda p: p.lane("Low Tom Pitch Depth", ".... .... .9.. ....")),
         ("bell pitch per step", lambda p: p.lane("Cowbell Tune", "..7. .4.. ..8. ...3"))],
        # Re-rolled hat velocities reach full velocity, and these hats clip there.
        [("16th hats thinned by probability, their length re-rolled",
          lambda p: p.tool("CH", sel=75).randomlane("CHH Decay")),
         ("zap toms and rims at random", lambda p: p.tool("MT", rnd=8, size="1/16", vel=60)
          .tool("RS", rnd=8, size="1/16", vel=50))],
        [P("Breakdown: zap toms with pitch per step",
           LT="8... ..7. .... ....", MT="...7 .... 7... ....", HT=".... .... ..7. 7.7.")
         .lane("Low Tom Pitch Depth", "9... ..3. .... ....")
         .lane("High Tom Freq", ".... .... ..2. 5.9."),
         P("Breakdown 2: bell hook panned at random",
           CB="..7. .6.. ..7. ...6", CH="7575 7575 7575 7575")
         .randomlane("Cowbell Pan").tool("CH", sel=60)],
        roll32("Fill 2: clap roll, tone rising", a, "CL", tune="Clap Tone"),
        "an electro set: kick sweep, zap depth and bell pitch per step, hats thinned by "
        "probability, a clap roll", alt_randvel=False)


def oddities():
    a = P("Main groove: five against four, a pitched kick and wrong-footed rims",
          "1 x 16T",
          KD="9....7 ....9. ...7.. 9.....", RS="..6... .6.... 6..... ..6.6.",
          CB="....5. ...... ..5... ......", CH="6..6.. 6..6.. 6..6.. 6..6..")
    return _hiphop(
        "Oddities ", 112, 0, 15,
        "oddities: strange tunings and ratios everywhere, a bent kick, clanging bells at "
        "odd ratios, detuned metallic hats, toms off the scale, played on odd grids",
        {"KD": "bent: a slow upward pitch attack before the fall",
         "CB": "clanging, odd ratio", "CH": "detuned, all metal",
         "LT": "tuned far apart", "CY": "strange, low tuned"},
        merge(kick(68, 300, sweep=100, sweep_time=120, click=-20, sat=0.2, sine=False,
                   attack=1.0, sweep_attack=25, sweep_curve=0.4),
              snare9(120, 200, 90, color=3000, noise=-8, tone_curve=0.3),
              snare8(88, 50, color=9000, noise=-6),
              toms(41, 97, 83, depth=100, decay=260, noise=-30, click=0, sat=0.2),
              clap(3000, 500),
              cowbell(420, 1.07, 260, filter=9000, res=0.5, curve=0.2),
              hats(40, 320, tune=0.15, noise=0, bpf=4000, hpf=2000, open_tune=0.95,
                   open_noise=10),
              cymbal(1200, tuning=0.1, body=2000, noise=-30, ding=-4, ding_freq=1500,
                     ding_decay=120),
              rim(0.1, 200)),
        {"KD": (0, 0.5), "RS": (-5, 0.3), "CB": (-9, 0.7), "CH": (-5, 0.62),
         "OH": (-7, 0.4), "S9": (-6, 0.55), "S8": (-8, 0.45), "CL": (-8, 0.5),
         "LT": (-7, 0.15), "MT": (-7, 0.5), "HT": (-7, 0.85), "CY": (-10, 0.75)},
        a,
        a.but("Main groove with a low snare that sighs", S9="...... 8..... ...... 8....."),
        P("Groove B: threes over the 8th triplets", "1 x 8T",
          KD="9.. .9. ..9 ...", S8="... 8.. ... 8..", CH="6.6 6.6 6.6 6.6",
          CB="..5 ... .5. ..."),
        P("Groove B with odd toms", "1 x 8T",
          KD="9.. .9. ..9 ...", S8="... 8.. ... 8..", CH="6.6 6.6 6.6 6.6",
          LT=".6. ... ... .6.", HT="... ..6 6.. ..."),
        P("Groove C: the whole odd orchestra", "1 x 32",
          KD="9....7.. ....9... ..7..... 9.......",
          RS="..6...6. .6.....6 6....... ..6.6...",
          CB="....5... ........ ..5..... .....5..",
          S9="........ 8....... ........ 8.......",
          CH="6..6..6. .6..6..6 ..6..6.. 6..6..6.", CY="7....... ........ ........ ........"),
        P("", "1 x 16T", KD="9....7 ....9. ...7.. 9.9.9.", RS="..6... .6.... 6..... 666666"),
        P("Seven steps then a gap on the 2 x 16 grid", "2 x 16",
          KD="9..9..9 ..9..9.. ..9..9..9..9.. ..",
          CH="6.6.6.6 .6.6.6.6 .6.6.6.6.6.6.6 6.",
          RS="...6... ....6... ...6.......6.. ..",
          CL="....... 8....... ....... 8...... .."),
        P("Break: bells and rims only", "1 x 16T", RS="..6... .6.... 6..... ..6.6.",
          CB="....5. ...... ..5... ......", CH="6..6.. 6..6.. 6..6.. 6..6.."),
        P("Break: toms tuned off the scale", LT="6... ..6. .... ....",
          MT="...6 .... .6.. ....", HT=".... .6.. ...6 .6.6"),
        "9....7 ....9. ...7.. ......", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("rim pitch per step", lambda p: p.lane("Rimshot Tune", "..7... .2.... 9..... ..4.6.")),
         ("kick tuning per step", lambda p: p.lane("Kickdrum Tune", "6.. .3. ..8 ...")),
         ("bell ratio and hat tuning per step",
          lambda p: p.lane("Cowbell Ratio", "....9... ........ ..1..... .....6..")
          .lane("CHH Tune", "3..7..2. .8..4..6 ..9..1.. 5..3..7."))],
        [("rim pitches re-rolled every bar",
          lambda p: p.randomlane("Rimshot Tune").tool("RS", rnd=6, size="1/16T", vel=50)),
         ("bell ratio re-rolled, toms at random on 8th triplets",
          lambda p: p.randomlane("Cowbell Ratio").tool("MT", rnd=10, size="1/8T", vel=60))],
        [P("Breakdown: bells whose tune and ratio change per step", "1 x 16T",
           CB="5..5.. ..5..5 5..5.. ..5...")
         .lane("Cowbell Tune", "2..7.. ..4..9 1..6.. ..8...")
         .lane("Cowbell Ratio", "9..1.. ..6..3 7..2.. ..9..."),
         P("Breakdown 2: metal hats with tuning re-rolled, thinned by probability",
           "1 x 16T", CH="666666 666666 666666 666666", OH="...... 5..... ...... 5.....")
         .randomlane("CHH Tune").tool("CH", sel=55)],
        P("Fill 2: tom glissando on 32nds", "1 x 32",
          KD="9....... ........ ........ ........",
          LT="........ ........ ....6666 66666666")
        .lane("Low Tom Freq", "........ ........ ....9876 54321000"),
        "a set of oddities: kick tuning, bell ratio and hat tuning per step, rim pitches "
        "and bell ratios re-rolled every bar, odd grids throughout")


def high_flyer():
    a = P("Main groove: two-step, skipping kick, rim and snare up high",
          KD="9... .... ..9. ...7", S9=".... 9... .... 9...", RS="..6. ...5 .... .5..",
          CH="7.57 7.57 7.57 7.57")
    return _hiphop(
        "High Flyer", 132, 28, 16,
        "everything tuned high: a tight high kick, a ringing high snare, toms up at the "
        "top of their range, bright hats and a shimmering ride, for swung two-step",
        {"KD": "tuned high and tight", "S9": "high, ringing", "HT": "toms at the top",
         "CY": "bright shimmer", "CB": "high bell"},
        merge(kick(78, 260, sweep=70, sweep_time=25, click=-12, sat=0.05, sine=True,
                   attack=0.2),
              snare9(295, 150, 180, color=16000, noise=-2),
              snare8(200, 120, color=4000, noise=-4),
              toms(80, 100, 120, depth=60, decay=240, noise=-26, click=-6),
              clap(2600, 220),
              cowbell(990, 1.5, 100, filter=7000, res=0.2),
              hats(35, 300, tune=0.95, noise=40, bpf=14000, hpf=10000),
              cymbal(1800, tuning=0.95, body=8800, noise=-18, ding=-6, ding_freq=8000,
                     ding_decay=30),
              rim(0.98, 1600)),
        {"KD": (0, 0.5), "S9": (-4, 0.5), "RS": (-6, 0.4), "CL": (-7, 0.55),
         "S8": (-9, 0.45), "LT": (-7, 0.3), "MT": (-7, 0.5), "HT": (-7, 0.7),
         "CH": (-5, 0.62), "OH": (-7, 0.38), "CY": (-10, 0.7), "CB": (-9, 0.65)},
        a, a.but("Main groove with an open hat lift", OH="..6. .... ..6. ...."),
        P("Groove B: shuffled 2-step with high toms",
          KD="9... .... ..9. ....", S9=".... 9... .... 9...", HT="...6 .... .... ..6.",
          CH="7.57 7.57 7.57 7.57", CY="..6. ..6. ..6. ..6."),
        P("Groove B with a clap and bell", KD="9... .... ..9. ....",
          S9=".... 9... .... 9...", CL=".... 7... .... 7...", CB=".... ..6. .... ....",
          HT="...6 .... .... ..6.", CH="7.57 7.57 7.57 7.57"),
        P("Groove C: bright peak with crash", KD="9... .... ..9. ...7",
          S9=".... 9... .... 9...", RS="..6. ...5 .... .5..", CH="7.57 7.57 7.57 7.57",
          OH="..6. .... ..6. ....", CY="8... .... .... ...."),
        a.but("", S9=".... 9... .... 9.89"),
        P("Triplet skip", "1 x 16T", KD="9..... ...... ..9... ....7.",
          S9="...... 9..... ...... 9.....", CH="7.57.5 7.57.5 7.57.5 7.57.5"),
        P("Break: ride, rim and snare", S9=".... 9... .... 9...", RS="..6. ...5 .... .5..",
          CY="..6. ..6. ..6. ..6."),
        P("Break: high toms", HT="6.6. ..6. .... 6...", MT="...6 .... .6.. ....",
          LT=".... .... ...6 ..6.", CH="5.5. 5.5. 5.5. 5.5."),
        "9..... ...... ..9... ......", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("snare pitch per step", lambda p: p.lane("Snare9 Tune", ".... 5... .... 7...")),
         ("tom pitch per step", lambda p: p.lane("High Tom Freq", "...4 .... .... ..8.")),
         ("ride ping and hat tune per step",
          lambda p: p.lane("Cymbal Ding Level", "..5. ..7. ..5. ..9.")
          .lane("CHH Tune", "6.47 6.47 6.47 6.49"))],
        [("16th hats at random", lambda p: p.tool("CH", rnd=18, size="1/16", vel=45)),
         ("rims and high toms at random",
          lambda p: p.tool("RS", rnd=10, size="1/16", vel=50)
          .tool("HT", rnd=6, size="1/16", vel=55))],
        [P("Breakdown: high toms, pitch per step",
           HT="6.6. ..6. .... 6...", MT="...6 .... .6.. ....")
         .lane("High Tom Freq", "7.3. ..9. .... 5..."),
         P("Breakdown 2: ride and rims by probability",
           CY="..6. ..6. ..6. ..6.", RS="..6. ...5 .... .5..")
         .tool("RS", sel=70, rnd=8, size="1/16", vel=45).randomlane("Rimshot Pan")],
        roll32("Fill 2: snare roll tuning up", a, "S9", tune="Snare9 Tune"),
        "a high-tuned garage set: snare and tom pitch per step, hats, rims and toms by "
        "probability, heavy swing")


def snappy():
    a = P("Main groove: two-step drum and bass break, snappy snare on two and four",
          "2 x 16",
          KD="9... .... ..9. .... 9... .... ..9. ..7.",
          S9=".... 9... .... 9... .... 9... .... 9..4",
          CH="7575 7575 7575 7575 7575 7575 7575 7575")
    turn = P("", "1 x 16", KD="9... .... ..9. ....", S9=".... 9... .... 9.99",
             CH="7575 7575 7575 7575")
    return _hiphop(
        "Snappy ", 172, 0, 20,
        "snappy drum and bass: every decay cut short, a tight punchy kick, a cracking "
        "short snare, tight hats, short toms and a dry clap",
        {"KD": "tight, short punch", "S9": "short crack", "LT": "short toms",
         "CH": "very tight", "CL": "dry"},
        merge(kick(57, 220, sweep=60, sweep_time=20, click=-8, sat=0.2, sine=False,
                   attack=0.1, decay_curve=-0.5),
              snare9(230, 60, 110, color=14000, noise=0, noise_curve=-0.7),
              snare8(185, 70, color=3000, noise=-2),
              toms(60, 82, 106, depth=45, decay=120, body=60, noise=-20, click=-4),
              clap(1600, 60),
              cowbell(720, 1.5, 50, filter=3600, res=0.2, curve=-0.7),
              hats(14, 140, tune=0.65, noise=45, bpf=11000, hpf=8000, open_curve=-0.7),
              cymbal(900, tuning=0.65, body=8000, noise=-12, ding=-10, curve=-0.8),
              rim(0.7, 1300)),
        {"KD": (0, 0.5), "S9": (-2, 0.5), "S8": (-9, 0.46), "CL": (-7, 0.54),
         "LT": (-7, 0.3), "MT": (-7, 0.5), "HT": (-7, 0.7), "CH": (-5, 0.62),
         "OH": (-7, 0.38), "CY": (-10, 0.68), "RS": (-8, 0.4), "CB": (-10, 0.64)},
        a,
        a.but("Main groove with ghost snares and a rim",
              S8="..3. ...3 .3.. .... ..3. ...3 .3.. ..3.",
              RS=".... .... .... ..5. .... .... .... ...."),
        P("Groove B: rolling amen-style one-bar break", KD="9.9. .... ..9. ....",
          S9=".... 9..4 .4.9 ..4.", CH="7575 7575 7575 7575"),
        P("Groove B with ride and open hat", KD="9.9. .... ..9. ....",
          S9=".... 9..4 .4.9 ..4.", CY="7.5. 7.5. 7.5. 7.5.", OH="..6. .... .... ...."),
        P("Groove C: break with crash, toms and clap", KD="9.9. .... ..9. ..7.",
          S9=".... 9..4 .4.9 ..4.", CL=".... 7... .... 7...", CH="7575 7575 7575 7575",
          HT=".... .... .... .6..", MT=".... .... .... ..6.", CY="8... .... .... ...."),
        turn,
        P("Half-time on 32nds", "1 x 32",
          KD="9....... ........ ....9... ........",
          S9="........ ........ 9....... ........",
          CH="7.5.7.5. 7.5.7.5. 7.5.7.5. 7.5.7575"),
        P("Break: snare and hats", S9=".... 9..4 .4.9 ..4.", CH="7575 7575 7575 7575"),
        P("Break: short toms and rims", LT="7... ..6. .... ....", MT="...6 .... 6... ....",
          HT=".... .... ..6. 6.6.", RS="..5. .... .5.. ...."),
        "9.9... ...... ..9... ......", "S9", "Snare9 Tune", "Snare9 Noise Decay",
        [("snare length per step", lambda p: p.lane(
            "Snare9 Noise Decay", ".... 4... .... 7... .... 4... .... 8..3")),
         ("snare pitch per step", lambda p: p.lane("Snare9 Tune", ".... 6..3 .3.8 ..3.")),
         ("hat length and kick click per step",
          lambda p: p.lane("CHH Decay", "3535 3535 3535 3598")
          .lane("Kickdrum Click Level", "7.4. .... ..6. ...."))],
        [("ghost snares on 16ths at random",
          lambda p: p.tool("S8", rnd=14, size="1/16", vel=35)),
         ("hats thinned, open hats at random",
          lambda p: p.tool("CH", sel=80).tool("OH", rnd=6, size="1/8", vel=50)
          .randvel("CH"))],
        [P("Breakdown: ride and rims, rim pitch per step",
           CY="7.5. 7.5. 7.5. 7.5.", RS="..5. .... .5.. ..5.")
         .lane("Rimshot Tune", "..7. .... .3.. ..5."),
         P("Breakdown 2: the snare row re-randomised each bar", S9="9... .... .... ....",
           CH="7575 7575 7575 7575").tool("S9", reset=True, sel=35).randvel("S9")],
        roll32("Fill 2: snare roll", P("tmp", KD="9... .... ..9. ...."), "S9",
               tune="Snare9 Tune"),
        "a drum and bass set: snare length and pitch per step, ghost snares by "
        "probability, a re-randomised snare row for the breakdown")


def rhythm_spitter():
    a = P("Main groove: footwork triplets, kicks spitting in threes", "1 x 16T",
          KD="9..9.. 9..... 9..9.. 9..9..", CL="...... 9..... ...... 9.....",
          CH="7.57.5 7.57.5 7.57.5 7.57.5", RS="....5. ...... ....5. ..5...")
    return _hiphop(
        "Rhythm Spitter", 160, 0, 22,
        "rapid-fire footwork: a short booming kick for machine-gun rolls, a sharp clap, "
        "rims and toms spitting triplets and 32nds",
        {"KD": "short boom that rolls cleanly", "CL": "sharp, dry", "RS": "sharp rim"},
        merge(kick(50, 350, sweep=55, sweep_time=30, click=-10, sat=0.15, sine=True,
                   attack=0.1, decay_curve=-0.5),
              snare9(225, 70, 120, color=13000, noise=-1, noise_curve=-0.7),
              snare8(180, 90, color=2500, noise=-3),
              toms(55, 76, 100, depth=50, decay=180, noise=-22, click=-4),
              clap(1700, 90),
              cowbell(680, 1.45, 80, filter=3300, res=0.15),
              hats(18, 180, tune=0.6, noise=40, bpf=11000, hpf=8000),
              cymbal(1400, tuning=0.6, body=7800, noise=-14, ding=-10),
              rim(0.72, 1200)),
        {"KD": (0, 0.5), "CL": (-5, 0.5), "RS": (-6, 0.4), "S9": (-8, 0.52),
         "S8": (-9, 0.48), "LT": (-7, 0.28), "MT": (-7, 0.5), "HT": (-7, 0.72),
         "CH": (-5, 0.62), "OH": (-7, 0.38), "CY": (-10, 0.68), "CB": (-10, 0.64)},
        a,
        a.but("Main groove with tom triplets", HT="...... ...6.6 ...... ....6.",
              LT="...... ...... ...6.6 ......"),
        P("Groove B: machine-gun kicks on 32nds", "1 x 32",
          KD="9..9..9. ........ 9.9.9.9. ........",
          CL="........ 9....... ........ 9.......",
          CH="7.5.7.5. 7.5.7.5. 7.5.7.5. 7.5.7.5."),
        P("Groove B with snare spits", "1 x 32",
          KD="9..9..9. ........ 9.9.9.9. ........",
          CL="........ 9....... ........ 9.......",
          S9="......5. ..5..... ......5. ..5.5...",
          CH="7.5.7.5. 7.5.7.5. 7.5.7.5. 7.5.7.5."),
        P("Groove C: triplet kicks, toms, clap and crash", "1 x 16T",
          KD="9..9.. 9..... 9..9.. 9.9.9.", CL="...... 9..... ...... 9.....",
          HT="...... ...6.6 ...... ......", MT="...... ...... ...6.6 ......",
          CH="7.57.5 7.57.5 7.57.5 7.57.5", CY="8..... ...... ...... ......"),
        P("", "1 x 16T", KD="9..9.. 9..... 9..9.. 999999", CL="...... 9..... ...... 9....."),
        P("Eighth-triplet stomp", "1 x 8T", KD="9.9 9.. 9.9 9.9", CL="... 9.. ... 9..",
          CH="757 757 757 757"),
        P("Break: clap and rims", "1 x 16T", CL="...... 9..... ...... 9.....",
          RS="..5..5 ....5. ..5..5 ..5...", CH="7.57.5 7.57.5 7.57.5 7.57.5"),
        P("Break: toms spitting", "1 x 16T", HT="6.6... ...6.6 ...... 6.6...",
          MT="...6.6 ...... 6.6... ......", LT="...... 6.6... ...6.6 ...6.6"),
        "9..9.. 9..... 9..9.. ......", "CL", "Clap Tone", "Clap Reverb",
        [("kick pitch per step",
          lambda p: p.lane("Kickdrum Tune", "5..7.. 4..... 6..8.. 3..9..")),
         ("kick length per step",
          lambda p: p.lane("Kickdrum Amp Decay", "7..3..3. ........ 3.3.3.8. ........")),
         ("tom pitch and clap tone per step",
          lambda p: p.lane("High Tom Freq", "...... ...3.9 ...... ......")
          .lane("Clap Tone", "...... 4..... ...... 8....."))],
        [("kicks spitting at random on 16th triplets",
          lambda p: p.tool("KD", rnd=10, size="1/16T", vel=70)),
         ("rims on 32nds at random, hats thinned",
          lambda p: p.tool("RS", rnd=12, size="1/32", vel=55).tool("CH", sel=75))],
        [P("Breakdown: spitting toms, pitch per step", "1 x 16T",
           HT="6.6... ...6.6 ...... 6.6...", MT="...6.6 ...... 6.6... ......")
         .lane("High Tom Freq", "9.5... ...7.3 ...... 8.2...")
         .lane("Mid Tom Freq", "...7.3 ...... 6.2... ......"),
         P("Breakdown 2: rims and claps by probability", "1 x 16T",
           CL="...... 9..... ...... 9.....", RS="..5..5 ....5. ..5..5 ..5...")
         .tool("RS", rnd=10, size="1/16T", vel=55).randomlane("Rimshot Tune")],
        P("Fill 2: kick and clap 32nd machine gun", "1 x 32",
          KD="9....... ........ 9.9.9.9. 99999999",
          CL="........ 9....... ........ ....9999")
        .lane("Kickdrum Tune", "........ ........ 3.4.5.6. 56677889"),
        "a footwork set: kick pitch and length per step, triplet kicks spat at random, "
        "32nd rims by probability, every grid")


def saturated():
    a = P("Main groove: saturated breakbeat, driven kick and snare",
          KD="9... ..9. ..9. ....", S8=".... 9... .... 9...", CH="7575 7575 7575 7575")
    return _hiphop(
        "Saturated", 128, 10, 35,
        "saturated breaks: a kick and toms driven hard into saturation, a thick snare with "
        "lots of noise, gritty hats and a dirty clap",
        {"KD": "saturated, thick", "S8": "thick, noisy", "LT": "driven toms",
         "CH": "gritty, noisy"},
        merge(kick(52, 450, sweep=65, sweep_time=40, click=-8, sat=0.75, sine=True,
                   attack=0.2),
              snare9(190, 120, 220, color=8000, noise=0),
              snare8(145, 240, color=900, noise=0),
              toms(54, 72, 96, depth=45, decay=380, noise=-12, click=-4, sat=0.45),
              clap(900, 300),
              cowbell(520, 1.7, 160, filter=2200, res=0.3),
              hats(38, 360, tune=0.45, noise=75, bpf=8000, hpf=5000),
              cymbal(2200, tuning=0.45, body=6500, noise=-4, ding=-16),
              rim(0.4, 600)),
        {"KD": (0, 0.5), "S8": (-6, 0.5), "S9": (-8, 0.5), "CL": (-7, 0.54),
         "LT": (-6, 0.28), "MT": (-6, 0.5), "HT": (-6, 0.72), "CH": (-14, 0.62),
         "OH": (-7, 0.38), "CY": (-9, 0.66), "RS": (-8, 0.4), "CB": (-10, 0.64)},
        a, a.but("Main groove with a dirty clap", CL=".... 7... .... 7..."),
        P("Groove B: broken break with ghosts", KD="9..9 ..9. .9.. ....",
          S8=".... 9..4 .4.. 9...", CH="7575 7575 7575 7575"),
        P("Groove B with driven toms", KD="9..9 ..9. .9.. ....",
          S8=".... 9..4 .4.. 9...", LT=".... .... .... ..6.", MT=".... .... .... ...6",
          CH="7575 7575 7575 7575"),
        P("Groove C: everything driven, crash on the one", KD="9... ..9. ..9. ..7.",
          S8=".... 9... .... 9...", S9=".... 7... .... 7...", CL=".... 7... .... 7...",
          CH="7575 7575 7575 75..", OH=".... .... .... ..6.", CY="8... .... .... ...."),
        a.but("", S8=".... 9... .... 9999"),
        P("Triplet break", "1 x 16T", KD="9..... ...9.. ...9.. ......",
          S8="...... 9..... ...... 9.....", CH="757575 757575 757575 757575"),
        P("Break: snare and gritty hats", S8=".... 9..4 .4.. 9...", CH="7575 7575 7575 7575",
          OH="..6. .... ..6. ...."),
        P("Break: driven toms and bell", LT="8..6 .... 8... ....", MT="...6 ..6. ...6 ....",
          HT=".... .7.. .... 7.7.", CB="..6. .... ..6. ...."),
        # The set's builds raise the snare's pitch: its noise colour opened to the top makes
        # every hit peak through the fast compressor.
        "9..... ...9.. ...9.. ......", "S8", "Snare8 Tune", "Snare8 Noise Decay",
        [("kick drive per step", lambda p: p.lane("Kickdrum Saturation", "5... ..9. ..3. ....")),
         ("snare noise colour per step",
          lambda p: p.lane("Snare8 Noise Color", ".... 4..7 .7.. 5...")),
         ("tom drive and hat tone per step",
          lambda p: p.lane("Low Tom Saturation", ".... .... .... ..9.")
          .lane("CHH BPF Freq", "7373 7373 7373 7393"))],
        [("ghost snares at random", lambda p: p.tool("S9", rnd=10, size="1/16", vel=35)),
         ("toms and rims at random", lambda p: p.tool("LT", rnd=6, size="1/8", vel=60)
          .tool("RS", rnd=8, size="1/16", vel=50))],
        [P("Breakdown: driven toms, drive per step",
           LT="8..6 .... 8... ....", MT="...6 ..6. ...6 ....", HT=".... .7.. .... 7.7.")
         .lane("Mid Tom Saturation", "...9 ..3. ...9 ....")
         .lane("High Tom Saturation", ".... .2.. .... 9.5."),
         P("Breakdown 2: gritty hats and bell by probability",
           CH="7575 7575 7575 7575", CB="..6. .... ..6. ....")
         .tool("CH", sel=65).tool("CB", rnd=8, size="1/8", vel=55).randvel("CH")],
        roll32("Fill 2: snare roll, noise opening", a, "S8", tune="Snare8 Noise Color"),
        "a saturated breaks set: kick drive, snare colour and tom drive per step, ghost "
        "snares, toms and rims by probability", comp_attack=0.001)
