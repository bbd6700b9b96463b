#!/usr/bin/env python3
"""Writes the 48 factory program sources, resources/factory/NN-kind-title.txt, from the kit
designs in this folder. Run it from anywhere:

    python3 resources/factory-design/generate.py            # writes the sources
    python3 resources/factory-design/generate.py --check    # fails if a source is out of date

The build turns those sources into the bank embedded in the plug-in.
"""

import argparse
import json
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from design import render_program  # noqa: E402
import kits  # noqa: E402

FACTORY = os.path.normpath(os.path.join(HERE, "..", "factory"))
CALIBRATION = os.path.join(HERE, "calibration.json")

# Loudness (LUFS) of eight full-velocity hits of a voice whose balance is 0 dB: the kick's
# usual place. A kit's other voices sit at their balance relative to it.
REFERENCE = -21.0
# No voice may peak above this on its own (a full-velocity hit as the program plays it: through
# its fader, the compressor and Output A), and no pattern of a program above PEAK_TARGET:
# short, clicky voices are quiet by loudness but their peaks add up in fills, and the factory
# bank must never clip. The compressor lets a hit shorter than its attack through with all of
# its make-up gain, and a kit may raise Output A, so the cap counts both: the voice's peak
# with the fader at 0 dB, the kit's trim, and the compressor's measured overshoot.
VOICE_PEAK_CAP = -6.0
# The kick leads: it carries most of a groove's loudness and sets the kit's level, so it may
# stand above the rest.
KICK_PEAK_CAP = -3.0
PEAK_TARGET = -2.1


def apply_calibration(kit, calibration):
    """Turns the kit's balance into fader values with the voices' measured loudness, and
    takes the measured master trim."""
    if kit.title in calibration.get("output", {}):
        kit.output = min(3.0, max(-60.0, calibration["output"][kit.title]))
    # The caps count the trim that levels the kit; a further trim for its loudest pattern (below)
    # must take the capped voices down with the rest, not free them to rise.
    trim = kit.output
    measured = calibration.get("voices", {}).get(kit.title)
    peaks = calibration.get("voice_peaks", {}).get(kit.title, {})
    overshoot = calibration.get("voice_overshoot", {}).get(kit.title, {})
    levels = {}
    for voice, (balance, pan) in kit.mix.items():
        if measured and voice in measured:
            level = REFERENCE + kit.reference + balance - measured[voice]
        else:
            level = balance - 6.0
        if voice in peaks:
            cap = KICK_PEAK_CAP if voice == "KD" else VOICE_PEAK_CAP
            level = min(level, cap - peaks[voice] - trim -
                        overshoot.get(voice, 0.0))
        if level > 0.0:
            print(f"{kit.title}: {voice} wants {level:+.1f} dB; it stays at 0 dB",
                  file=sys.stderr)
        levels[voice] = round(min(0.0, max(-59.0, level)), 1)
    kit.levels = levels
    if kit.title in calibration.get("peaks", {}):
        kit.output = min(kit.output, round(PEAK_TARGET - calibration["peaks"][kit.title], 1))
    kit.pattern_scale = calibration.get("pattern_scale", {}).get(kit.title, {})


def file_name(number, kind, title):
    slug = re.sub(r"[^a-z0-9]+", "-", title.lower()).strip("-")
    return f"{number:02d}-{kind.lower()}-{slug}.txt"


def programs():
    designs = kits.all_kits()
    calibration = json.load(open(CALIBRATION)) if os.path.exists(CALIBRATION) else {}
    for design in designs:
        if design:
            apply_calibration(design["kit"], calibration)
    if len(designs) != 24:
        raise SystemExit(f"expected 24 kits, found {len(designs)}")
    out = []
    for kind, offset in (("Kit", 0), ("Set", 24)):
        for index, design in enumerate(designs):
            if design is None:
                print(f"kit {index} is not designed yet", file=sys.stderr)
                continue
            number = index + offset
            patterns = design["kit_patterns"] if kind == "Kit" else design["set_patterns"]
            summary = design["kit"].character if kind == "Kit" else design["set_summary"]
            text = render_program(number, kind, design["kit"], patterns, summary)
            out.append((file_name(number, kind, design["kit"].title), text))
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="report sources that differ from the design and exit 1")
    args = parser.parse_args()
    stale = []
    for name, text in programs():
        path = os.path.join(FACTORY, name)
        current = open(path).read() if os.path.exists(path) else None
        if current == text:
            continue
        if args.check:
            stale.append(name)
        else:
            with open(path, "w") as f:
                f.write(text)
    if stale:
        print("out of date: " + ", ".join(stale))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
