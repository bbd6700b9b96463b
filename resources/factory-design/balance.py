#!/usr/bin/env python3
"""A mixing aid for designing kits: renders one pattern of a program with each voice soloed and
prints every voice's share (peak and integrated loudness) next to the whole pattern's.

    python3 resources/factory-design/balance.py PROGRAM [PATTERN] [--build DIR]

PATTERN counts from 1 (default 1). Run the build first: the plug-in plays the bank built from
the current sources.
"""

import argparse
import concurrent.futures
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
VOICES = ["KD", "S8", "S9", "LT", "MT", "HT", "CH", "OH", "CY", "RS", "CL", "CB"]
SOLO_FIRST = 166


def tempo_of(program):
    folder = os.path.join(ROOT, "resources", "factory")
    for name in os.listdir(folder):
        if name.startswith(f"{program:02d}-"):
            m = re.search(r'^set "Tempo" ([\d.]+)', open(os.path.join(folder, name)).read(),
                          re.M)
            return float(m.group(1)) if m else 120.0
    return 120.0


def measure(renderer, program, pattern, tempo, solo, workdir):
    out = os.path.join(workdir, f"{solo}.wav")
    cmd = [renderer, "--program", str(program), "--pattern", str(pattern), "--bars", "4",
           "--sync", "int", "--tempo", f"{tempo:g}", "--seed", "1", "--format", "float",
           "--out", out]
    if solo is not None:
        cmd += ["--param", f"{SOLO_FIRST + solo}=1"]
    text = subprocess.run(cmd, capture_output=True, text=True, check=True).stdout
    peak = re.search(r"^mix\s+(\S+)", text, re.M).group(1)
    ff = subprocess.run(["ffmpeg", "-nostats", "-hide_banner", "-i", out, "-af", "ebur128",
                         "-f", "null", "-"], capture_output=True, text=True).stderr
    summary = ff[ff.rfind("Summary:"):]
    lufs = re.search(r"I:\s+(\S+)\s+LUFS", summary).group(1)
    os.remove(out)
    return peak, lufs


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", type=int)
    parser.add_argument("pattern", type=int, nargs="?", default=1)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    args = parser.parse_args()
    renderer = os.path.join(args.build, "bin", "kavrel-render")
    tempo = tempo_of(args.program)
    with tempfile.TemporaryDirectory() as workdir, \
            concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        solos = [None] + list(range(12))
        results = list(pool.map(lambda s: measure(renderer, args.program, args.pattern, tempo,
                                                  s, workdir), solos))
    print(f"program {args.program} pattern {args.pattern} at {tempo:g} BPM")
    print(f"{'voice':6} {'peak dBFS':>10} {'LUFS':>8}")
    for solo, (peak, lufs) in zip(solos, results):
        name = "all" if solo is None else VOICES[solo]
        if solo is not None and peak == "-inf":
            continue
        print(f"{name:6} {peak:>10} {lufs:>8}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
