#!/usr/bin/env python3
"""Meters the kits so their mix can be written as a balance instead of raw fader values.

    python3 resources/factory-design/calibrate.py voices [--kits 0,3] [--build DIR]
    python3 resources/factory-design/calibrate.py output [--kits 0,3] [--build DIR]

`voices` plays each voice of each kit alone through MIDI (HITS hits, fader at 0 dB, master
compressor off) and stores its loudness and peak; the generator then sets each fader so the
voice meets the balance the kit asks for (kits.py: mix = voice -> (balance dB, pan)). It plays
each voice once more at full velocity the way the program does (its fader, the kit's
compressor and Output A) and stores how far that peak lands above what the fader and trim
alone would give: the compressor's gain on a hit shorter than its attack, which the
generator's peak cap must allow for. `output`
measures pattern 1 of the Kit and the Set program and stores the "Output A" trim that brings
them to -16 LUFS. Both write calibration.json beside this file; regenerate and rebuild after
each step:

    calibrate.py voices && generate.py && (build) && calibrate.py output && generate.py && (build)

The generator caps a voice's fader by the kit's trim, so a new trim moves the capped faders
and with them the loudness: `output` wants a few rounds before it settles (`all` runs three).
`peaks` then plays every pattern as the bank measurement does, softens fills and endings that
stack above the groove and stores the loudest peak the trim has to allow for.
"""

import argparse
import array
import concurrent.futures
import json
import math
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, HERE)
CALIBRATION = os.path.join(HERE, "calibration.json")

VOICES = ["KD", "S8", "S9", "LT", "MT", "HT", "CH", "OH", "CY", "RS", "CL", "CB"]
NOTES = [36, 38, 40, 41, 43, 45, 42, 46, 49, 37, 39, 51]
SOLO_FIRST, LEVEL_FIRST, COMPRESSOR = 166, 118, 116
VELOCITY = 64          # keeps the loudest kick clear of the compressor's threshold
# Hats, bells and cymbals are summed pulse waves whose edges line up only now and then, so
# one hit's peak says little: a minute of a groove plays hundreds. The voice's peak is the
# loudest of this many hits.
HITS = 128
TARGET_LUFS = -16.0
SOFTEST_UNHEARD = 8.5 / 9     # a pattern scale at or above this changes no velocity


def velocity_db():
    return 40 * math.log10(127 / VELOCITY)   # velocity is squared into gain


def midi_file(path, note, velocity=VELOCITY):
    """HITS quarter-note hits at 120 BPM, then a bar of room for the tails."""
    ticks = 96

    def delta(value):
        out = [value & 0x7F]
        value >>= 7
        while value:
            out.insert(0, 0x80 | (value & 0x7F))
            value >>= 7
        return bytes(out)
    track = bytearray(b"\x00\xff\x51\x03\x07\xa1\x20")     # 500000 us per quarter
    for i in range(HITS):
        track += delta(0 if i == 0 else ticks - ticks // 4) + bytes([0x90, note, velocity])
        track += delta(ticks // 4) + bytes([0x80, note, 0])
    track += delta(ticks * 4) + b"\xff\x2f\x00"
    with open(path, "wb") as f:
        f.write(b"MThd" + (6).to_bytes(4, "big") + (0).to_bytes(2, "big") +
                (1).to_bytes(2, "big") + ticks.to_bytes(2, "big"))
        f.write(b"MTrk" + len(track).to_bytes(4, "big") + bytes(track))


def lufs(path):
    err = subprocess.run(["ffmpeg", "-nostats", "-hide_banner", "-i", path, "-af", "ebur128",
                          "-f", "null", "-"], capture_output=True, text=True).stderr
    m = re.search(r"I:\s+(\S+)\s+LUFS", err[err.rfind("Summary:"):])
    value = m.group(1)
    return -math.inf if value == "-inf" else float(value)


def peak(path):
    """Largest sample magnitude of a 32-bit float WAV, in dBFS."""
    data = open(path, "rb").read()
    at = data.find(b"data")
    samples = array.array("f")
    body = data[at + 8:]
    samples.frombytes(body[:len(body) - len(body) % 4])
    top = max(max(samples), -min(samples)) if len(samples) else 0.0
    return 20 * math.log10(top) if top > 0 else -math.inf


def measurement():
    """scripts/measure-bank.py as a module."""
    import importlib.util
    found = importlib.util.spec_from_file_location(
        "measure_bank", os.path.join(ROOT, "scripts", "measure-bank.py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def render(renderer, args, out):
    subprocess.run([renderer, "--format", "float", "--seed", "1", "--quiet", "--out", out] + args,
                   check=True, capture_output=True)


def fader_db(kit_index, voice):
    """The fader of a voice as the program's source sets it (dB)."""
    folder = os.path.join(ROOT, "resources", "factory")
    name = {"KD": "Kickdrum", "S8": "Snare 8", "S9": "Snare 9", "LT": "Low Tom",
            "MT": "Mid Tom", "HT": "High Tom", "CH": "Closed High Hat", "OH": "Open High Hat",
            "CY": "Cymbal", "RS": "Rimshot", "CL": "Clap", "CB": "Cowbell"}[voice]
    for file in os.listdir(folder):
        if file.startswith(f"{kit_index:02d}-"):
            text = open(os.path.join(folder, file)).read()
            m = re.search(rf'^set "{name} Level" (\S+)', text, re.M)
            return float(m.group(1)) if m else 0.0
    raise SystemExit(f"no source for program {kit_index}")


def output_db(kit_index):
    folder = os.path.join(ROOT, "resources", "factory")
    for name in os.listdir(folder):
        if name.startswith(f"{kit_index:02d}-"):
            text = open(os.path.join(folder, name)).read()
            out = re.search(r'^set "Output A" (\S+)', text, re.M)
            tempo = re.search(r'^set "Tempo" (\S+)', text, re.M)
            return float(out.group(1)), float(tempo.group(1))
    raise SystemExit(f"no source for program {kit_index}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("step", choices=["voices", "output", "peaks", "all"],
                        help="all: the three steps, regenerating and rebuilding around each")
    parser.add_argument("--kits", default="")
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    args = parser.parse_args()
    if args.step == "all":
        here = [sys.executable, os.path.abspath(__file__)]
        extra = ["--build", args.build] + (["--kits", args.kits] if args.kits else [])
        for step in (None, ["voices"], None, ["output"], None, ["output"], None, ["output"],
                     None, ["peaks"], None):
            if step:
                subprocess.run(here + step + extra, check=True)
            else:
                subprocess.run([sys.executable, os.path.join(HERE, "generate.py")], check=True)
                subprocess.run(["ninja", "-C", args.build, "Kavrel", "kavrel-render"],
                               check=True, capture_output=True)
        return 0
    renderer = os.path.join(args.build, "bin", "kavrel-render")
    import kits
    titles = [d["kit"].title if d else None for d in kits.all_kits()]
    selected = [int(k) for k in args.kits.split(",") if k] if args.kits else \
        [i for i, t in enumerate(titles) if t]
    data = json.load(open(CALIBRATION)) if os.path.exists(CALIBRATION) else {}
    data.setdefault("voices", {})
    data.setdefault("output", {})
    data.setdefault("voice_peaks", {})
    data.setdefault("peaks", {})

    with tempfile.TemporaryDirectory() as work, \
            concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        if args.step == "voices":
            for v, note in enumerate(NOTES):
                midi_file(os.path.join(work, f"{v}.mid"), note)
                midi_file(os.path.join(work, f"{v}-full.mid"), note, 127)

            def one(kit, v):
                out = os.path.join(work, f"{kit}-{v}.wav")
                render(renderer, ["--program", str(kit), "--sync", "midi", "--midi",
                                  os.path.join(work, f"{v}.mid"),
                                  "--seconds", str(HITS // 2 + 2),
                                  "--param", f"{SOLO_FIRST + v}=1",
                                  "--param", f"{LEVEL_FIRST + v}=1",
                                  "--param", f"{COMPRESSOR}=0"], out)
                value = lufs(out)
                top = peak(out)
                os.remove(out)
                # The same hits at full velocity through the program's own fader, compressor
                # and trim: what a pattern really plays.
                render(renderer, ["--program", str(kit), "--sync", "midi", "--midi",
                                  os.path.join(work, f"{v}-full.mid"),
                                  "--seconds", str(HITS // 2 + 2),
                                  "--param", f"{SOLO_FIRST + v}=1"], out)
                real = peak(out)
                os.remove(out)
                return kit, v, value, top, real
            jobs = [pool.submit(one, k, v) for k in selected for v in range(12)]
            for job in jobs:
                kit, v, value, top, real = job.result()
                master, _ = output_db(kit)
                data["voices"].setdefault(titles[kit], {})[VOICES[v]] = \
                    round(value + velocity_db() - master, 2)
                alone = round(top + velocity_db() - master, 2)
                data["voice_peaks"].setdefault(titles[kit], {})[VOICES[v]] = alone
                # A muted or silent voice has nothing to say about the compressor.
                linear = alone + fader_db(kit, VOICES[v]) + master
                overshoot = real - linear if math.isfinite(real) and fader_db(
                    kit, VOICES[v]) > -59 else 0.0
                data.setdefault("voice_overshoot", {}).setdefault(
                    titles[kit], {})[VOICES[v]] = round(max(0.0, overshoot), 2)
        elif args.step == "peaks":
            # The same takes the bank measurement plays: a pattern's peak is its worst bar
            # over every seed, not one lucky take.
            bank = measurement()
            sources = bank.load_sources()

            def loudest(program, pattern, tempo):
                src = sources[program]
                return max(bank.worst_take(bank.bar_peaks(renderer, program, pattern - 1, tempo,
                                                          bars, seed), seed)[0]
                           for seed, bars in bank.peak_takes(src.uses_tools(pattern - 1)))
            scales_all = data.setdefault("pattern_scale", {})
            for kit in selected:
                master, tempo = output_db(kit)
                jobs = {(kind, program, pattern): pool.submit(loudest, program, pattern, tempo)
                        for kind, program in (("Kit", kit), ("Set", kit + 24))
                        for pattern in range(1, 17)}
                scales = scales_all.setdefault(titles[kit], {"Kit": [1.0] * 16, "Set": [1.0] * 16})
                expected = []
                for kind, program in (("Kit", kit), ("Set", kit + 24)):
                    peaks = [jobs[(kind, program, n)].result() for n in range(1, 17)]
                    # A fill or an ending that stacks hits may peak no higher than the
                    # pattern the program is levelled by; louder ones play softer (velocity
                    # is squared into gain, hence the 40).
                    for i, top in enumerate(peaks):
                        excess = top - peaks[0]
                        softened_before = scales[kind][i] < 1.0
                        if excess > 0:
                            # Velocities are whole steps of 1/9 and are rounded after scaling:
                            # anything above 8.5/9 leaves a full-velocity hit where it was.
                            scales[kind][i] = round(min(SOFTEST_UNHEARD - 0.001, scales[kind][i]
                                                        * 10 ** (-excess / 40)), 3)
                        # A pattern that is still too loud after an earlier softening did not
                        # follow it: its velocities are whole steps, or re-rolled by the
                        # sequencer, or a lane or the compressor sets its peak. The trim has
                        # to allow for the peak it really has.
                        expected.append(top if excess > 0 and softened_before
                                        else min(top, peaks[0]))
                top = max(expected)
                # Stored for Output A at 0 dB, so the generator can place the trim.
                data["peaks"][titles[kit]] = round(top - master, 2)
                print(f"{kit:2d} {titles[kit]:16} loudest pattern peaks at {top:+.1f} dBFS "
                      f"with Output A {master:+.1f} dB; softened "
                      f"{sum(1 for k in scales for v in scales[k] if v < 1.0)} patterns")
        else:
            def pattern_one(program, tempo):
                out = os.path.join(work, f"p{program}.wav")
                render(renderer, ["--program", str(program), "--pattern", "1", "--bars", "4",
                                  "--sync", "int", "--tempo", f"{tempo:g}"], out)
                value = lufs(out)
                os.remove(out)
                return value
            for kit in selected:
                master, tempo = output_db(kit)
                a = pool.submit(pattern_one, kit, tempo)
                b = pool.submit(pattern_one, kit + 24, tempo)
                la, lb = a.result(), b.result()
                # The Kit's groove sets the level; the Set's intro may sit a little lower.
                trim = TARGET_LUFS - (0.75 * la + 0.25 * lb)
                data["output"][titles[kit]] = round(master + trim, 1)
                print(f"{kit:2d} {titles[kit]:16} kit {la:6.1f}  set {lb:6.1f} LUFS  "
                      f"Output A {master:+.1f} -> {master + trim:+.1f} dB")
    with open(CALIBRATION, "w") as f:
        json.dump(data, f, indent=1, sort_keys=True)
        f.write("\n")
    if args.step == "voices":
        for kit in selected:
            row = data["voices"][titles[kit]]
            print(f"{kit:2d} {titles[kit]:16} " +
                  " ".join(f"{v} {row[v]:6.1f}" for v in VOICES))
    return 0


if __name__ == "__main__":
    sys.exit(main())
