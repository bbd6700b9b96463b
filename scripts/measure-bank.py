#!/usr/bin/env python3
"""Measures the factory bank: renders every pattern of every program and checks that the bank
is fit to ship.

    python3 scripts/measure-bank.py [--build DIR] [--jobs N] [--report FILE] [--long]

It renders each of the 16 patterns of the 48 programs, INT sync at the program's own tempo,
44.1 kHz, with kavrel-render from the build (default: build/), and fails (exit 1) unless
  - no pattern is silent, and no two patterns of a program render the same audio (4 bars,
    seed 1);
  - no output pair goes above -0.3 dBFS in any bar of any of the takes a producer may hear:
    a pattern that rolls dice (probabilities, Random Beats, random velocities or lanes,
    re-randomised rows) plays 32 bars with each of the seeds 1..8; one that rolls none plays
    as many bars in one take, 256, and a second seed checks that it really does not depend
    on the dice; over those takes no pattern may go above the design margin of -2 dBFS
    either, since longer takes find higher peaks. The report gives the highest peak with the
    pattern, output, seed and bar it happened in, so it can be heard again with
    `kavrel-render --seed S --bars B`;
  - pattern 1 of every program measures -16 +/- 3 LUFS (integrated, ffmpeg's ebur128), so
    switching programs does not jump in level;
  - every voice plays in at least half of the 24 kits, and every Set program uses lanes,
    probabilities, random beats, random velocities or re-randomised rows in at least half of
    its patterns (read from the program sources in resources/factory/).
It prints a table and writes it to docs/factory-bank.md. --long (64 seeds x 64 bars) and
--seeds/--bars are for design work: they look further into the dice than the test command
can afford, and write no report unless --report is given. Exit 2 means it could not measure
(no renderer, no ffmpeg, a source it cannot read).
"""

import argparse
import concurrent.futures
import hashlib
import math
import os
import re
import shlex
import subprocess
import sys
import tempfile
import time

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
VOICES = ["KD", "S8", "S9", "LT", "MT", "HT", "CH", "OH", "CY", "RS", "CL", "CB"]
LEVEL_NAMES = ["Kickdrum Level", "Snare 8 Level", "Snare 9 Level", "Low Tom Level",
               "Mid Tom Level", "High Tom Level", "Closed High Hat Level",
               "Open High Hat Level", "Cymbal Level", "Rimshot Level", "Clap Level",
               "Cowbell Level"]
MUTE_NAMES = [n.replace("Level", "Mute") for n in LEVEL_NAMES]
GRID_SHORT = {"1 x 32": "1x32", "2 x 16": "2x16", "1 x 16T": "1x16T", "1 x 16": "1x16",
              "1 x 8T": "1x8T"}

BARS = 4             # the loudness and sameness renders
SEED = 1
# Takes of a pattern that rolls dice, and the bars of each take; a pattern that rolls none
# plays the same number of bars in one take. Longer looks find more. A pattern without dice
# changes from bar to bar only in where the free-running hat and cymbal waves stand when a
# hit lands, and they line up with a kick or a snare only every few hundred bars: 32 bars
# showed up to 2 dB less than 10,000 bars (about six hours), 256 bars up to 1.6 dB less.
# With dice, 8 x 32 showed up to 1.1 dB less than 64 seeds x 64 bars. Longer takes than these
# do not fit the test command, so it holds every pattern to a design margin 1.7 dB under the
# bar (DESIGN_MARGIN_DB), and a longer look at design time (--long, or --bars 10000 for one
# without dice) checks the loudest against the bar itself.
PEAK_SEEDS = 8
PEAK_BARS = 32
LONG_SEEDS = 64
LONG_BARS = 64
RATE = 44100
PEAK_LIMIT_DB = -0.3
# The peak a pattern may reach in the takes above: the bar less the most the longer study found
# beyond them, and a little more for the patterns it did not play.
DESIGN_MARGIN_DB = -2.0
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


def db(value):
    return 20 * math.log10(value) if value > 0 else -math.inf


def render(renderer, program, pattern, tempo, out, outputs, bars=BARS, seed=SEED, extra=()):
    cmd = [renderer, "--program", str(program), "--pattern", str(pattern + 1), "--bars",
           str(bars), "--sync", "int", "--tempo", f"{tempo:g}", "--rate", str(RATE), "--seed",
           str(seed), "--format", "float", "--outputs", outputs, "--quiet",
           *(["--out", out] if out else []), *extra]
    result = subprocess.run(cmd, capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(shlex.quote(c) for c in cmd)} failed:\n"
                           f"{result.stderr.strip()}")
    # A sample that is not a number is a fault whatever the peaks say.
    if "not numbers" in result.stderr:
        raise RuntimeError(f"{' '.join(shlex.quote(c) for c in cmd)}:\n{result.stderr.strip()}")
    return result.stdout


def bar_peaks(renderer, program, pattern, tempo, bars, seed):
    """Per bar, the peak of each output pair (dBFS), of one take; nothing is written."""
    text = render(renderer, program, pattern, tempo, None, "all", bars, seed, ["--bar-peaks"])
    rows = []
    for line in text.splitlines():
        m = re.match(r"bar (\d+):((?: \S+)+)$", line)
        if m:
            rows.append([float(v) for v in m.group(2).split()])
    if len(rows) != bars:
        raise RuntimeError(f"program {program} pattern {pattern + 1} seed {seed}: "
                           f"{len(rows)} bar peaks for {bars} bars")
    return rows


def peak_takes(rolls_dice, seeds=PEAK_SEEDS, bars=PEAK_BARS):
    """(seed, bars) of each take a pattern's peak is measured over. One without dice gets as
    many bars in one take as one with dice gets in all of its takes: what changes from bar to
    bar there is where the free-running hat and cymbal waves stand when a hit lands, and only
    time moves them on."""
    if rolls_dice:
        return [(seed, bars) for seed in range(1, seeds + 1)]
    return [(1, seeds * bars)]


def worst_take(rows, seed):
    """(peak dBFS, output pair, seed, bar) of the loudest bar of a take."""
    best = (-math.inf, 0, seed, 1)
    for bar, pairs in enumerate(rows, start=1):
        for pair, value in enumerate(pairs):
            if value > best[0]:
                best = (value, pair, seed, bar)
    return best


def digest_pattern(renderer, program, pattern, tempo, workdir):
    """A digest of the audio of the first bars (the same length for every pattern of a
    program, so the file headers agree too)."""
    path = os.path.join(workdir, f"p{program:02d}-{pattern:02d}.wav")
    render(renderer, program, pattern, tempo, path, "all")
    try:
        with open(path, "rb") as f:
            return hashlib.sha1(f.read()).hexdigest()
    finally:
        os.remove(path)


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
    parser.add_argument("--seeds", type=int, default=PEAK_SEEDS,
                        help=f"takes of each pattern that rolls dice (default {PEAK_SEEDS})")
    parser.add_argument("--bars", type=int, default=PEAK_BARS,
                        help=f"bars of each take (default {PEAK_BARS})")
    parser.add_argument("--long", action="store_true",
                        help=f"design work: {LONG_SEEDS} seeds x {LONG_BARS} bars; writes no "
                             "report unless --report is given")
    argv = sys.argv[1:]
    args = parser.parse_args(argv)
    if args.long:
        args.seeds, args.bars = LONG_SEEDS, LONG_BARS
        if "--report" not in argv and not any(a.startswith("--report=") for a in argv):
            args.report = ""
    if args.seeds < 1 or args.bars < 1:
        parser.error("--seeds and --bars must be at least 1")

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

    # A pattern that rolls no dice plays the same whatever the seed (the voices' noise does
    # not take it), so one take of it is every take; a short second one checks that claim.
    dice = {(prog, pat): sources[prog].uses_tools(pat) for prog in selected for pat in range(16)}
    check_bars = min(args.bars, BARS)
    worst = {}          # (prog, pat) -> (dBFS, pair, seed, bar)
    pair_peaks = {}     # (prog, pat) -> highest peak per output pair
    first_bars = {}     # (prog, pat, seed) -> bar peaks of the first bars, for the dice check
    digests = {}
    louds = {}
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="measure-bank-") as workdir:
        with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
            jobs = {}
            for prog in selected:
                tempo = sources[prog].tempo
                for pat in range(16):
                    # Without dice a second seed's first bars check that the dice play no part.
                    takes = peak_takes(dice[(prog, pat)], args.seeds, args.bars) \
                        + ([] if dice[(prog, pat)] else [(2, check_bars)])
                    for seed, bars in takes:
                        jobs[pool.submit(bar_peaks, renderer, prog, pat, tempo, bars, seed)] = \
                            ("peaks", prog, pat, seed)
                    jobs[pool.submit(digest_pattern, renderer, prog, pat, tempo, workdir)] = \
                        ("digest", prog, pat, None)
                jobs[pool.submit(loudness, renderer, ffmpeg, prog, tempo, workdir)] = \
                    ("loudness", prog, None, None)
            for future in concurrent.futures.as_completed(jobs):
                kind, prog, pat, seed = jobs[future]
                try:
                    result = future.result()
                except RuntimeError as error:
                    print(f"measure-bank: {error}", file=sys.stderr)
                    return 2
                if kind == "loudness":
                    louds[prog] = result
                elif kind == "digest":
                    digests[(prog, pat)] = result
                else:
                    key = (prog, pat)
                    first_bars[(prog, pat, seed)] = result[:check_bars]
                    take = worst_take(result, seed)
                    if key not in worst or take[0] > worst[key][0] or \
                            (take[0] == worst[key][0] and take[2:] < worst[key][2:]):
                        worst[key] = take
                    top = [max(col) for col in zip(*result)]
                    pair_peaks[key] = [max(a, b) for a, b in zip(pair_peaks.get(key, top), top)]
    elapsed = time.monotonic() - started

    # The margin stands for what longer takes add; a longer look is held to the bar alone.
    margin = args.seeds <= PEAK_SEEDS and args.bars <= PEAK_BARS
    rows = []
    for prog in selected:
        src = sources[prog]
        label = f"{prog:02d} \"{src.name}\""
        loudest = max((worst[(prog, p)] + (p,) for p in range(16)), key=lambda w: w[0])
        for p in range(16):
            if worst[(prog, p)][0] < SILENCE_DB:
                failures.append(f"{label}: pattern {p + 1} is silent")
            value, pair, seed, bar = worst[(prog, p)]
            if value > PEAK_LIMIT_DB:
                over = [("ABCDEF"[i], v) for i, v in enumerate(pair_peaks[(prog, p)])
                        if v > PEAK_LIMIT_DB]
                failures.append(f"{label}: pattern {p + 1} peaks at {value:.2f} dBFS on "
                                f"output {'ABCDEF'[pair]} (seed {seed}, bar {bar})" +
                                ("" if len(over) < 2 else "; also over on " +
                                 ", ".join(f"{o} {v:.2f}" for o, v in over
                                           if o != "ABCDEF"[pair])))
            elif value > DESIGN_MARGIN_DB and margin:
                failures.append(f"{label}: pattern {p + 1} peaks at {value:.2f} dBFS on "
                                f"output {'ABCDEF'[pair]} (seed {seed}, bar {bar}), above the "
                                f"design margin of {DESIGN_MARGIN_DB:g} dBFS that longer takes "
                                "need")
            if not dice[(prog, p)] and first_bars[(prog, p, 1)] != first_bars[(prog, p, 2)]:
                failures.append(f"{label}: pattern {p + 1} rolls no dice in its source but "
                                "sounds different with another seed; measure it with every "
                                "seed")
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
        rows.append((prog, src, loudest, lufs, tools))

    if len(selected) == 48:
        for voice in VOICES:
            kits = sum(1 for prog in range(24) if voice in sources[prog].voices_played())
            if kits < 12:
                failures.append(f"voice {voice} plays in only {kits} of the 24 kits")

    header = ["Program", "Tempo", "Step sizes", "Peak dBFS", "Where (pattern, output, seed, bar)",
              "Pattern 1 LUFS", "Tool patterns", "Voices used"]
    table = ["| " + " | ".join(header) + " |",
             "|" + "|".join("---" for _ in header) + "|"]
    for prog, src, loudest, lufs, tools in rows:
        used = src.voices_played()
        value, pair, seed, bar, pat = loudest
        where = f"{pat + 1}, {'ABCDEF'[pair]}, seed {seed}, bar {bar}"
        table.append("| " + " | ".join([
            src.name.rstrip(), f"{src.tempo:g}", grid_summary(src), f"{value:.2f}", where,
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
              f"{PEAK_LIMIT_DB:g} dBFS" +
              (f" (none above the design margin, {DESIGN_MARGIN_DB:g})" if margin else "") +
              ", pattern 1 loudness within "
              f"{LOUDNESS_TARGET:g} +/- {LOUDNESS_TOLERANCE:g} LUFS")

    takes = sum(args.seeds if dice[k] else 1 for k in dice)
    print(f"{takes} takes ({args.bars} bars with dice, {args.seeds * args.bars} without) "
          f"measured in {elapsed:.0f} s")

    if len(selected) == 48 and args.report:
        kits_per_voice = ", ".join(
            f"{v} {sum(1 for p in range(24) if v in sources[p].voices_played())}"
            for v in VOICES)
        lines = [
            "# Factory bank measurements",
            "",
            "Written by `scripts/measure-bank.py`; do not edit by hand. Every pattern of every",
            f"program is rendered with `kavrel-render` (INT sync at the program's own tempo, "
            f"{RATE} Hz): a pattern that rolls dice for {args.bars} bars with "
            + (f"each of the seeds 1..{args.seeds}" if args.seeds > 1 else "seed 1")
            + f", one that rolls none for {args.seeds * args.bars} bars once (it sounds the "
            "same with any seed, which a second seed checks).",
            "",
            f"- Peak: the highest sample of any output pair over the 16 patterns and all their "
            f"takes (limit {PEAK_LIMIT_DB:g} dBFS; over these takes no pattern may pass "
            f"{DESIGN_MARGIN_DB:g} dBFS, room for what longer takes find). "
            "Where says which pattern, output, seed and "
            "bar, to hear it again: `kavrel-render --program N --pattern P --sync int --seed S "
            "--bars B --format float`.",
            f"- Pattern 1 LUFS: integrated loudness of pattern 1 over {BARS} bars, seed {SEED}, "
            f"outputs mixed to stereo (target {LOUDNESS_TARGET:g} +/- {LOUDNESS_TOLERANCE:g}).",
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
