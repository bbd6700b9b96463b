#!/usr/bin/env python3
"""Measures the factory bank: renders every pattern of every program and checks that the bank
is fit to ship.

    python3 scripts/measure-bank.py [--build DIR] [--jobs N] [--report FILE]

It renders each of the 16 patterns of the 48 programs for 4 bars, INT sync at the program's
own tempo, 44.1 kHz, a fixed seed, with kavrel-render from the build (default: build/), and
fails (exit 1) unless
  - no pattern is silent, and no two patterns of a program render the same audio;
  - no output pair goes above -0.3 dBFS;
  - pattern 1 of every program measures -16 +/- 3 LUFS (integrated, ffmpeg's ebur128), so
    switching programs does not jump in level;
  - every voice plays in at least half of the 24 kits, and every Set program uses lanes,
    probabilities, random beats, random velocities or re-randomised rows in at least half of
    its patterns (read from the program sources in resources/factory/).
It prints a table and writes it to docs/factory-bank.md. Exit 2 means it could not measure
(no renderer, no ffmpeg, a source it cannot read).
"""

import argparse
import array
import concurrent.futures
import hashlib
import math
import os
import re
import shlex
import subprocess
import sys
import tempfile

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
VOICES = ["KD", "S8", "S9", "LT", "MT", "HT", "CH", "OH", "CY", "RS", "CL", "CB"]
LEVEL_NAMES = ["Kickdrum Level", "Snare 8 Level", "Snare 9 Level", "Low Tom Level",
               "Mid Tom Level", "High Tom Level", "Closed High Hat Level",
               "Open High Hat Level", "Cymbal Level", "Rimshot Level", "Clap Level",
               "Cowbell Level"]
MUTE_NAMES = [n.replace("Level", "Mute") for n in LEVEL_NAMES]
GRID_SHORT = {"1 x 32": "1x32", "2 x 16": "2x16", "1 x 16T": "1x16T", "1 x 16": "1x16",
              "1 x 8T": "1x8T"}

BARS = 4
SEED = 1
RATE = 44100
PEAK_LIMIT_DB = -0.3
LOUDNESS_TARGET = -16.0
LOUDNESS_TOLERANCE = 3.0
SILENCE_DB = -70.0


# ---------------------------------------------------------------------------------------------
# Program sources


def words(line):
    return [a if a else b for a, b in re.findall(r'"([^"]*)"|(\S+)', line)]


def uncomment(line):
    quoted = False
    for i, c in enumerate(line):
        if c == '"':
            quoted = not quoted
        elif c == "#" and not quoted:
            return line[:i]
    return line


class Source:
    """What the checks need from one program source: its settings and, per pattern, which
    voices have steps and which sequencer tools it uses."""

    def __init__(self, path):
        self.path = path
        self.name = None
        self.values = {}                       # program-wide "set" values, as written
        self.patterns = [self._blank() for _ in range(16)]
        self.pattern_values = [{} for _ in range(16)]
        current = None
        with open(path) as f:
            for number, raw in enumerate(f, start=1):
                w = words(uncomment(raw))
                if not w:
                    continue
                key = w[0]
                try:
                    if key == "name":
                        self.name = w[1]
                    elif key == "set" and current is None:
                        self.values[w[1]] = w[2]
                    elif key == "set":
                        self.pattern_values[current][w[1]] = w[2]
                    elif key == "pattern":
                        current = int(w[1]) - 1
                    elif key == "copy":
                        src = int(w[1]) - 1
                        self.patterns[current] = {k: (set(v) if isinstance(v, set) else v)
                                                  for k, v in self.patterns[src].items()}
                        self.pattern_values[current] = dict(self.pattern_values[src])
                    elif key in VOICES:
                        steps = "".join(w[1:])
                        if steps.strip("."):
                            self.patterns[current]["voices"].add(key)
                        else:
                            self.patterns[current]["voices"].discard(key)
                    elif key == "velrandom":
                        self.patterns[current]["velrandom"].add(w[1])
                    elif key in ("lane", "lanerandom"):
                        self.patterns[current]["lanes"].add(w[1])
                except (IndexError, ValueError, TypeError):
                    raise SystemExit(f"{path}:{number}: cannot read '{raw.strip()}'")
        if self.name is None:
            raise SystemExit(f"{path}: no name")

    @staticmethod
    def _blank():
        return {"voices": set(), "velrandom": set(), "lanes": set()}

    def value(self, pattern, name, default):
        text = self.pattern_values[pattern].get(name, self.values.get(name, default))
        return text

    def number(self, pattern, name, default):
        try:
            return float(self.value(pattern, name, default))
        except ValueError:
            return default

    @property
    def tempo(self):
        return float(self.values.get("Tempo", 120))

    def grid(self, pattern):
        return self.value(pattern, "Pattern Step Size", "1 x 32")

    def random_beats(self, pattern, voice):
        return self.number(pattern, f"{voice} Random Beats", 0.0)

    def random_reset(self, pattern, voice):
        return self.value(pattern, f"{voice} Random Reset", "Off") in ("On", "1")

    def audible(self, voice):
        i = VOICES.index(voice)
        level = float(self.values.get(LEVEL_NAMES[i], 0))
        muted = self.values.get(MUTE_NAMES[i], "Off") in ("On", "1")
        return level > -60 and not muted

    def voices_played(self):
        played = set()
        for p in range(16):
            for voice in VOICES:
                if not self.audible(voice):
                    continue
                if voice in self.patterns[p]["voices"] or self.random_beats(p, voice) > 0 \
                        or self.random_reset(p, voice):
                    played.add(voice)
        return [v for v in VOICES if v in played]

    def uses_tools(self, p):
        info = self.patterns[p]
        if info["lanes"] or info["velrandom"]:
            return True
        for voice in VOICES:
            if self.number(p, f"{voice} Selected Beats", 100.0) < 100:
                return True
            if self.random_beats(p, voice) > 0 or self.random_reset(p, voice):
                return True
        return False


def load_sources():
    folder = os.path.join(ROOT, "resources", "factory")
    found = {}
    for name in sorted(os.listdir(folder)):
        m = re.match(r"(\d\d)-.*\.txt$", name)
        if m:
            found[int(m.group(1))] = Source(os.path.join(folder, name))
    missing = [i for i in range(48) if i not in found]
    if missing:
        raise SystemExit(f"no source for program(s) {missing}")
    return [found[i] for i in range(48)]


# ---------------------------------------------------------------------------------------------
# Rendering and measuring


def read_float_wav(path):
    """(channels, samples as array('f')) of a 32-bit float WAV (plain RIFF)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise RuntimeError(f"{path}: not a WAV file")
    pos = 12
    channels = None
    while pos + 8 <= len(data):
        chunk, size = data[pos:pos + 4], int.from_bytes(data[pos + 4:pos + 8], "little")
        body = data[pos + 8:pos + 8 + size]
        if chunk == b"fmt ":
            fmt = int.from_bytes(body[0:2], "little")
            channels = int.from_bytes(body[2:4], "little")
            bits = int.from_bytes(body[14:16], "little")
            if fmt == 0xFFFE:
                fmt = int.from_bytes(body[24:26], "little")
            if fmt != 3 or bits != 32:
                raise RuntimeError(f"{path}: not 32-bit float")
        elif chunk == b"data":
            samples = array.array("f")
            samples.frombytes(body[:len(body) - len(body) % 4])
            if sys.byteorder != "little":
                samples.byteswap()
            return channels, samples
        pos += 8 + size + (size & 1)
    raise RuntimeError(f"{path}: no audio data")


def db(value):
    return 20 * math.log10(value) if value > 0 else -math.inf


def render(renderer, program, pattern, tempo, out, outputs):
    cmd = [renderer, "--program", str(program), "--pattern", str(pattern + 1), "--bars",
           str(BARS), "--sync", "int", "--tempo", f"{tempo:g}", "--rate", str(RATE), "--seed",
           str(SEED), "--format", "float", "--outputs", outputs, "--quiet", "--out", out]
    result = subprocess.run(cmd, capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(shlex.quote(c) for c in cmd)} failed:\n"
                           f"{result.stderr.strip()}")


def measure_pattern(renderer, program, pattern, tempo, workdir):
    """Peak per output pair (dBFS) and a digest of the audio."""
    path = os.path.join(workdir, f"p{program:02d}-{pattern:02d}.wav")
    render(renderer, program, pattern, tempo, path, "all")
    try:
        channels, samples = read_float_wav(path)
    finally:
        os.remove(path)
    # One pass over all channels finds the loudest sample; only a bank that goes over the
    # limit needs the slower look at each pair.
    top = max(max(samples), -min(samples)) if len(samples) else 0.0
    pairs = [db(top)] * ((channels + 1) // 2)
    if db(top) > PEAK_LIMIT_DB:
        pairs = []
        for c in range(0, channels, 2):
            peak = 0.0
            for ch in (c, c + 1):
                column = samples[ch::channels] if ch < channels else []
                if len(column):
                    peak = max(peak, max(column), -min(column))
            pairs.append(db(peak))
    digest = hashlib.sha1(samples.tobytes()).hexdigest()
    return pairs, digest


def loudness(renderer, ffmpeg, program, tempo, workdir):
    """Integrated loudness (LUFS) of pattern 1, all outputs mixed to stereo."""
    path = os.path.join(workdir, f"mix{program:02d}.wav")
    render(renderer, program, 0, tempo, path, "mix")
    try:
        result = subprocess.run([ffmpeg, "-nostats", "-hide_banner", "-i", path, "-af",
                                 "ebur128", "-f", "null", "-"], capture_output=True, text=True)
    finally:
        os.remove(path)
    summary = result.stderr[result.stderr.rfind("Summary:"):]
    m = re.search(r"I:\s+(-?[\d.]+|-inf)\s+LUFS", summary)
    if result.returncode != 0 or not m:
        raise RuntimeError(f"ffmpeg could not measure program {program}:\n"
                           f"{result.stderr[-500:]}")
    return float(m.group(1)) if m.group(1) != "-inf" else -math.inf


# ---------------------------------------------------------------------------------------------


def grid_summary(source):
    counts = {}
    for p in range(16):
        g = GRID_SHORT.get(source.grid(p), source.grid(p))
        counts[g] = counts.get(g, 0) + 1
    return ", ".join(f"{g} x{n}" if n > 1 else g
                     for g, n in sorted(counts.items(), key=lambda kv: -kv[1]))


def fmt_db(value):
    return "-inf" if value == -math.inf else f"{value:.1f}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"),
                        help="build folder holding bin/kavrel-render and bin/Kavrel.so "
                             "(default: build/)")
    parser.add_argument("--report-only", action="store_true",
                        help="print the table and the problems, but exit 0 when the bar is missed")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2,
                        help="renders run at once (default: one per core)")
    parser.add_argument("--report", default=os.path.join(ROOT, "docs", "factory-bank.md"),
                        help="Markdown report to write (default: docs/factory-bank.md)")
    parser.add_argument("--programs", default="",
                        help="measure only these programs, e.g. 0,1,24 (for designing; the "
                             "bank-wide checks and the report need all 48)")
    args = parser.parse_args()

    renderer = os.path.join(args.build, "bin", "kavrel-render")
    if not os.access(renderer, os.X_OK):
        print(f"measure-bank: no {renderer}; build it first (ninja kavrel-render Kavrel)",
              file=sys.stderr)
        return 2
    ffmpeg = "ffmpeg"
    try:
        subprocess.run([ffmpeg, "-version"], capture_output=True, check=True)
    except (OSError, subprocess.CalledProcessError):
        print("measure-bank: ffmpeg is needed for the loudness measurement", file=sys.stderr)
        return 2

    sources = load_sources()
    selected = list(range(48))
    if args.programs:
        selected = [int(x) for x in args.programs.split(",") if x.strip()]
    failures = []

    peaks = {}
    digests = {}
    louds = {}
    with tempfile.TemporaryDirectory(prefix="measure-bank-") as workdir:
        with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
            jobs = {}
            for prog in selected:
                tempo = sources[prog].tempo
                for pat in range(16):
                    jobs[pool.submit(measure_pattern, renderer, prog, pat, tempo, workdir)] = \
                        (prog, pat)
                jobs[pool.submit(loudness, renderer, ffmpeg, prog, tempo, workdir)] = \
                    (prog, None)
            for future in concurrent.futures.as_completed(jobs):
                prog, pat = jobs[future]
                try:
                    result = future.result()
                except RuntimeError as error:
                    print(f"measure-bank: {error}", file=sys.stderr)
                    return 2
                if pat is None:
                    louds[prog] = result
                else:
                    peaks[(prog, pat)], digests[(prog, pat)] = result

    rows = []
    for prog in selected:
        src = sources[prog]
        label = f"{prog:02d} \"{src.name}\""
        worst = max(max(peaks[(prog, p)]) for p in range(16))
        for p in range(16):
            top = max(peaks[(prog, p)])
            if top < SILENCE_DB:
                failures.append(f"{label}: pattern {p + 1} is silent")
            for pair, value in enumerate(peaks[(prog, p)]):
                if value > PEAK_LIMIT_DB:
                    failures.append(f"{label}: pattern {p + 1} peaks at {value:.2f} dBFS on "
                                    f"output {'ABCDEF'[pair]}")
        seen = {}
        for p in range(16):
            d = digests[(prog, p)]
            if d in seen:
                failures.append(f"{label}: patterns {seen[d] + 1} and {p + 1} sound the same")
            seen.setdefault(d, p)
        lufs = louds[prog]
        if not abs(lufs - LOUDNESS_TARGET) <= LOUDNESS_TOLERANCE:
            failures.append(f"{label}: pattern 1 measures {fmt_db(lufs)} LUFS, outside "
                            f"{LOUDNESS_TARGET:g} +/- {LOUDNESS_TOLERANCE:g}")
        tools = sum(1 for p in range(16) if src.uses_tools(p))
        if prog >= 24 and tools < 8:
            failures.append(f"{label}: only {tools} of 16 patterns use lanes, probabilities "
                            "or random beats")
        rows.append((prog, src, worst, lufs, tools))

    if len(selected) == 48:
        for voice in VOICES:
            kits = sum(1 for prog in range(24) if voice in sources[prog].voices_played())
            if kits < 12:
                failures.append(f"voice {voice} plays in only {kits} of the 24 kits")

    header = ["Program", "Tempo", "Step sizes", "Peak dBFS", "Pattern 1 LUFS",
              "Tool patterns", "Voices used"]
    table = ["| " + " | ".join(header) + " |",
             "|" + "|".join("---" for _ in header) + "|"]
    for prog, src, worst, lufs, tools in rows:
        used = src.voices_played()
        table.append("| " + " | ".join([
            src.name.rstrip(), f"{src.tempo:g}", grid_summary(src), fmt_db(worst),
            fmt_db(lufs), f"{tools}/16", f"{len(used)}: {' '.join(used)}"]) + " |")

    print("\n".join(table))
    print()
    if failures:
        print(f"FAILED: {len(failures)} problem(s)")
        for line in failures:
            print("  " + line)
    else:
        print(f"ok: {len(selected) * 16} patterns of {len(selected)} programs rendered; "
              "none silent, none repeated, no peak above "
              f"{PEAK_LIMIT_DB:g} dBFS, pattern 1 loudness within "
              f"{LOUDNESS_TARGET:g} +/- {LOUDNESS_TOLERANCE:g} LUFS")

    if len(selected) == 48 and args.report:
        kits_per_voice = ", ".join(
            f"{v} {sum(1 for p in range(24) if v in sources[p].voices_played())}"
            for v in VOICES)
        lines = [
            "# Factory bank measurements",
            "",
            "Written by `scripts/measure-bank.py`; do not edit by hand. Every pattern of every",
            f"program is rendered for {BARS} bars with `kavrel-render` (INT sync at the "
            f"program's own tempo, {RATE} Hz, seed {SEED}).",
            "",
            f"- Peak: the highest sample of any output pair over the 16 patterns (limit "
            f"{PEAK_LIMIT_DB:g} dBFS).",
            f"- Pattern 1 LUFS: integrated loudness of pattern 1, outputs mixed to stereo "
            f"(target {LOUDNESS_TARGET:g} +/- {LOUDNESS_TOLERANCE:g}).",
            "- Tool patterns: patterns that use lanes, Selected Beats below 100 %, Random "
            "Beats, random velocities or re-randomised rows.",
            "- Voices used: voices that play in at least one pattern.",
            "",
            f"Kits each voice plays in (of 24): {kits_per_voice}.",
            "",
        ] + table + ["", "Result: " + ("failed, " + str(len(failures)) + " problem(s)"
                                         if failures else "all checks passed"), ""]
        os.makedirs(os.path.dirname(args.report), exist_ok=True)
        with open(args.report, "w") as f:
            f.write("\n".join(lines))
    return 1 if failures and not args.report_only else 0


if __name__ == "__main__":
    sys.exit(main())
