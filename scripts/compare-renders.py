#!/usr/bin/env python3
"""Renders the same scenes with two builds of the plug-in and reports how far apart they are.

    scripts/compare-renders.py OLD.so NEW.so [--render build/bin/kavrel-render]
                               [--bars 4] [--seed 1234] [--limit -90] [--programs 0-47]

Scenes: pattern 1 of every factory program at the program's own tempo on the internal clock,
and the busiest pattern (every voice on every 32nd note at 250 BPM, full velocity, with factory
program 0's kit). Both builds render with the same seed, all twelve outputs in float. For each
scene the script prints the peak and RMS of the difference in dBFS (over all twelve outputs),
and exits 1 when a peak difference reaches --limit. Use it for any change meant to leave the
sound as it is.
"""

import argparse
import math
import os
import struct
import subprocess
import sys
import tempfile

BUSIEST = (
    ["--program", "0", "--sync", "int", "--tempo", "250", "--param", "108=0"]
    # Random Beats 100 %, Random Size 1/32, Random Velocity 127: a hit on every 32nd.
    + [a for v in range(12) for a in ("--param", f"{190 + v}=1")]
    + [a for v in range(12) for a in ("--param", f"{202 + v}=0")]
    + [a for v in range(12) for a in ("--param", f"{214 + v}=1")]
)


def read_float_wav(path):
    """Interleaved samples and channel count of a 32-bit float WAV file."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(f"{path}: not a WAV file")
    at, channels, samples = 12, None, None
    while at + 8 <= len(data):
        tag, size = data[at : at + 4], struct.unpack_from("<I", data, at + 4)[0]
        body = data[at + 8 : at + 8 + size]
        if tag == b"fmt ":
            fmt, channels = struct.unpack_from("<HH", body)
            bits = struct.unpack_from("<H", body, 14)[0]
            if bits != 32 or fmt not in (3, 0xFFFE):
                raise ValueError(f"{path}: not 32-bit float")
        elif tag == b"data":
            samples = struct.unpack(f"<{size // 4}f", body[: size - size % 4])
        at += 8 + size + (size & 1)
    if channels is None or samples is None:
        raise ValueError(f"{path}: no format or data chunk")
    return samples, channels


def render(tool, plugin, scene_args, seconds_or_bars, seed, out):
    cmd = [tool, "--plugin", plugin, "--out", out, "--outputs", "all", "--format", "float",
           "--seed", str(seed), "--quiet"] + seconds_or_bars + scene_args
    subprocess.run(cmd, check=True)
    return read_float_wav(out)


def db(x):
    return -math.inf if x <= 0.0 else 20.0 * math.log10(x)


def compare(a, b):
    if len(a) != len(b):
        raise ValueError(f"renders differ in length: {len(a)} and {len(b)} samples")
    peak, energy = 0.0, 0.0
    for x, y in zip(a, b):
        d = abs(x - y)
        if d > peak:
            peak = d
        energy += d * d
    return db(peak), db(math.sqrt(energy / max(1, len(a))))


def program_range(text):
    first, _, last = text.partition("-")
    return range(int(first), int(last or first) + 1)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--render", default=os.path.join(root, "build", "bin", "kavrel-render"))
    parser.add_argument("--bars", type=int, default=4)
    parser.add_argument("--seed", type=int, default=1234)
    parser.add_argument("--limit", type=float, default=-90.0, help="largest peak difference, dBFS")
    parser.add_argument("--programs", type=program_range, default=range(48))
    args = parser.parse_args()

    scenes = [(f"program {p:2d} pattern 1", ["--program", str(p), "--pattern", "1",
                                             "--sync", "int"]) for p in args.programs]
    scenes.append(("busiest pattern", BUSIEST))
    worst = -math.inf
    print(f"{'scene':<24} {'peak diff dBFS':>15} {'RMS diff dBFS':>15}")
    with tempfile.TemporaryDirectory() as tmp:
        for name, scene in scenes:
            length = ["--bars", str(args.bars)]
            a, channels = render(args.render, args.old, scene, length, args.seed,
                                 os.path.join(tmp, "old.wav"))
            b, _ = render(args.render, args.new, scene, length, args.seed,
                          os.path.join(tmp, "new.wav"))
            peak, rms = compare(a, b)
            worst = max(worst, peak)
            print(f"{name:<24} {peak:>15.1f} {rms:>15.1f}", flush=True)
    print(f"worst peak difference {worst:.1f} dBFS (limit {args.limit:.1f})")
    return 0 if worst < args.limit else 1


if __name__ == "__main__":
    sys.exit(main())
