"""Building blocks for the factory bank: patterns, kits and the writer of program sources.

A pattern is a grid plus one row of step characters per voice ('.' off, '1'..'9' velocity n/9,
'x' 0.7), optional per-step lanes and the per-pattern tool settings (Selected Beats, Random
Beats, Random Size, Random Velocity, Random Reset). Rows are written without blanks here; the
writer groups them by beat so the generated sources read like a drum machine's grid.
"""

import copy

VOICES = ["KD", "S8", "S9", "LT", "MT", "HT", "CH", "OH", "CY", "RS", "CL", "CB"]

# Mixer parameter names in voice order.
LEVEL = {
    "KD": "Kickdrum Level", "S8": "Snare 8 Level", "S9": "Snare 9 Level",
    "LT": "Low Tom Level", "MT": "Mid Tom Level", "HT": "High Tom Level",
    "CH": "Closed High Hat Level", "OH": "Open High Hat Level", "CY": "Cymbal Level",
    "RS": "Rimshot Level", "CL": "Clap Level", "CB": "Cowbell Level",
}
PAN = {
    "KD": "Kickdrum Pan", "S8": "Snare 8 Pan", "S9": "Snare 9 Pan",
    "LT": "Low Tom Pan", "MT": "Mid Tom Pan", "HT": "High Tom Pan",
    "CH": "Closed High Hat Pan", "OH": "Open High Hat Pan", "CY": "Cymbal Pan",
    "RS": "Rimshot Pan", "CL": "Clap Pan", "CB": "Cowbell Pan",
}
OUTPUT = {
    "KD": "Kickdrum Output", "S8": "Snare 8 Output", "S9": "Snare 9 Output",
    "LT": "Low Tom Output", "MT": "Mid Tom Output", "HT": "High Tom Output",
    "CH": "Closed High Hat Output", "OH": "Open High Hat Output", "CY": "Cymbal Output",
    "RS": "Rimshot Output", "CL": "Clap Output", "CB": "Cowbell Output",
}

# Sound parameters per voice, in the order the writer lists them.
SOUND = {
    "KD": ["Kickdrum Tune", "Kickdrum Saturation", "Kickdrum Amp Attack",
           "Kickdrum Amp Attack Curve", "Kickdrum Amp Decay", "Kickdrum Amp Decay Curve",
           "Kickdrum Pitch Attack", "Kickdrum Pitch Attack Curve", "Kickdrum Pitch Decay",
           "Kickdrum Pitch Decay Curve", "Kickdrum Pitch Mod", "Kickdrum Noise Freq",
           "Kickdrum Click Level", "Kickdrum Waveform"],
    "S8": ["Snare8 Tune", "Snare8 Noise Color", "Snare8 Noise Decay", "Snare8 Noise Level"],
    "S9": ["Snare9 Tune", "Snare9 Tone Decay", "Snare9 Tone Decay Curve", "Snare9 Noise Color",
           "Snare9 Noise Decay", "Snare9 Noise Decay Curve", "Snare9 Noise Level"],
    "CL": ["Clap Tone", "Clap Reverb"],
    "CB": ["Cowbell Tune", "Cowbell Ratio", "Cowbell Decay", "Cowbell Decay Curve",
           "Cowbell Filter Freq", "Cowbell Filter Resonance"],
    "CH": ["CHH BPF Freq", "CHH HPF Freq", "CHH Tune", "CHH Noise Mix", "CHH Decay"],
    "OH": ["OHH BPF Freq", "OHH HPF Freq", "OHH Tune", "OHH Noise Mix", "OHH Decay",
           "OHH Decay Curve"],
    "CY": ["Cymbal Tuning", "Cymbal Noise Level", "Cymbal Ding Level", "Cymbal Freq",
           "Cymbal Attack Time", "Cymbal Attack Curvature", "Cymbal Decay Time",
           "Cymbal Decay Curvature", "Cymbal Ding Freq", "Cymbal Ding Attack Time",
           "Cymbal Ding Attack Curvature", "Cymbal Ding Decay Time",
           "Cymbal Ding Decay Curvature"],
    "RS": ["Rimshot Tune", "Rimshot HPF Freq"],
}
for _name, _prefix in (("LT", "Low Tom"), ("MT", "Mid Tom"), ("HT", "High Tom")):
    SOUND[_name] = [
        f"{_prefix} Freq", f"{_prefix} Pitch Depth", f"{_prefix} Click Level",
        f"{_prefix} Noise Level", f"{_prefix} Tone Level", f"{_prefix} Saturation",
        f"{_prefix} Tone 1 Attack Time", f"{_prefix} Tone 1 Attack Curvature",
        f"{_prefix} Tone 1 Decay Time", f"{_prefix} Tone 1 Decay Curvature",
        f"{_prefix} Tone 2 Attack Time", f"{_prefix} Tone 2 Attack Curvature",
        f"{_prefix} Tone 2 Decay Time", f"{_prefix} Tone 2 Decay Curvature"]

VOICE_TITLE = {
    "KD": "Kick", "S8": "Snare 8", "S9": "Snare 9", "LT": "Low tom", "MT": "Mid tom",
    "HT": "High tom", "CH": "Closed hat", "OH": "Open hat", "CY": "Cymbal",
    "RS": "Rimshot", "CL": "Clap", "CB": "Cowbell",
}

# Steps per pattern for each grid, and how many characters make one beat in the source.
GRIDS = {"1 x 32": (32, 8), "2 x 16": (32, 4), "1 x 16T": (24, 6), "1 x 16": (16, 4),
         "1 x 8T": (12, 3)}

RANDOM_SIZES = ["1/32", "1/16T", "1/16", "1/8T", "1/8", "1/4", "1/2"]


def _clean(row):
    return "".join(row.split())


class Pattern:
    """One of a program's 16 patterns."""

    def __init__(self, title, grid="1 x 16", **rows):
        if grid not in GRIDS:
            raise ValueError(f"{title}: unknown grid {grid}")
        self.title = title
        self.grid = grid
        self.rows = {}
        self.velrandom = set()
        self.lanes = {}          # parameter -> string of lane characters or list of 32 floats
        self.lanerandom = set()
        self.tools = {}          # voice -> {"sel": %, "rnd": %, "size": "1/16", "vel": 0..127,
        #                                    "reset": bool}
        for voice, row in rows.items():
            self.set_row(voice, row)

    @property
    def steps(self):
        return GRIDS[self.grid][0]

    def set_row(self, voice, row):
        if voice not in VOICES:
            raise ValueError(f"{self.title}: unknown voice {voice}")
        row = _clean(row or "")
        if len(row) > self.steps:
            raise ValueError(f"{self.title}: {voice} row has {len(row)} steps, "
                             f"the grid {self.grid} has {self.steps}")
        if row.strip("."):
            self.rows[voice] = row.ljust(self.steps, ".")
        else:
            self.rows.pop(voice, None)

    def copy(self, title=None):
        other = copy.deepcopy(self)
        if title:
            other.title = title
        return other

    # Derivations: each returns a new pattern.
    def but(self, title, **rows):
        """A copy with some rows replaced ('' or None removes a row)."""
        other = self.copy(title)
        for voice, row in rows.items():
            other.set_row(voice, row)
        return other

    def without(self, title, *voices):
        other = self.copy(title)
        for voice in voices:
            other.rows.pop(voice, None)
            other.velrandom.discard(voice)
            other.tools.pop(voice, None)
        return other

    def splice(self, title, at, **rows):
        """Overwrites the steps from `at` on with the given rows; voices not named keep their
        steps before `at` and fall silent after it unless listed in keep=."""
        keep = rows.pop("keep", "")
        other = self.copy(title)
        keep = set(keep.split()) if keep else set()
        for voice in list(other.rows):
            if voice not in rows and voice not in keep:
                other.rows[voice] = other.rows[voice][:at] + "." * (other.steps - at)
                if not other.rows[voice].strip("."):
                    del other.rows[voice]
        for voice, row in rows.items():
            row = _clean(row)
            base = other.rows.get(voice, "." * other.steps)
            merged = base[:at] + row + base[at + len(row):]
            other.set_row(voice, merged[:other.steps])
        return other

    def lane(self, parameter, values):
        if isinstance(values, str):
            values = _clean(values)
            if len(values) > 32:
                raise ValueError(f"{self.title}: lane {parameter} too long")
        elif len(values) > 32:
            raise ValueError(f"{self.title}: lane {parameter} too long")
        self.lanes[parameter] = values
        return self

    def randomlane(self, parameter):
        self.lanerandom.add(parameter)
        return self

    def randvel(self, *voices):
        self.velrandom.update(voices)
        return self

    def tool(self, voice, sel=None, rnd=None, size=None, vel=None, reset=None):
        entry = self.tools.setdefault(voice, {})
        for key, value in (("sel", sel), ("rnd", rnd), ("size", size), ("vel", vel),
                           ("reset", reset)):
            if value is not None:
                entry[key] = value
        if size is not None and size not in RANDOM_SIZES:
            raise ValueError(f"{self.title}: random size {size}")
        return self

    def uses_sequencer_tools(self):
        """Lanes, probabilities, random beats, random velocities or re-randomised rows."""
        if self.lanes or self.lanerandom or self.velrandom:
            return True
        for entry in self.tools.values():
            if entry.get("sel", 100) < 100 or entry.get("rnd", 0) > 0 or entry.get("reset"):
                return True
        return False


def regrid16to32(pattern, title=None, grid="1 x 32"):
    """The same groove on a 32-step grid (1 x 32: every other step), so 32nd-note rolls can be
    written over it."""
    if pattern.grid != "1 x 16":
        raise ValueError("only 1 x 16 patterns are spread")
    other = pattern.copy(title)
    other.grid = grid
    for voice, row in pattern.rows.items():
        other.rows[voice] = "".join(c + "." for c in row)
    for parameter, values in pattern.lanes.items():
        if isinstance(values, str):
            other.lanes[parameter] = "".join(c + "." for c in values.ljust(16, "."))
        else:
            other.lanes[parameter] = [v for value in values[:16] for v in (value, 0.5)]
    return other


def two_bars(title, first, second):
    """A "2 x 16" pattern: two 1 x 16 bars one after the other."""
    if first.grid != "1 x 16" or second.grid != "1 x 16":
        raise ValueError("two_bars joins 1 x 16 patterns")
    other = first.copy(title)
    other.grid = "2 x 16"
    voices = set(first.rows) | set(second.rows)
    other.rows = {}
    for voice in voices:
        other.set_row(voice, first.rows.get(voice, "." * 16) + second.rows.get(voice, "." * 16))
    other.velrandom = first.velrandom | second.velrandom
    for parameter in set(first.lanes) | set(second.lanes):
        a = first.lanes.get(parameter, "." * 16)
        b = second.lanes.get(parameter, "." * 16)
        if isinstance(a, str) and isinstance(b, str):
            other.lanes[parameter] = a.ljust(16, ".") + b.ljust(16, ".")
        else:
            def floats(values):
                if isinstance(values, str):
                    return [0.5 if c == "." else int(c) / 9 for c in values.ljust(16, ".")]
                return list(values[:16])
            other.lanes[parameter] = floats(a) + floats(b)
    other.lanerandom = first.lanerandom | second.lanerandom
    other.tools = copy.deepcopy(first.tools)
    return other


class Kit:
    """The sound of a kit and its programs' shared settings."""

    def __init__(self, title, tempo, character, sound, mix, swing=0, compressor=0,
                 comp_attack=0.001, output=0.0, set_swing=None, notes=None, reference=0.0):
        self.title = title
        self.tempo = tempo
        self.character = character
        self.sound = sound          # parameter name -> value in its unit
        self.mix = mix              # voice -> (balance dB against the kick, pan 0..1)
        self.reference = reference  # moves the whole balance up or down (dB)
        self.levels = {v: b for v, (b, _) in mix.items()}   # faders, set by the generator
        self.swing = swing
        self.set_swing = swing if set_swing is None else set_swing
        self.compressor = compressor
        self.comp_attack = comp_attack
        self.output = output
        self.notes = notes or {}    # voice -> a line on how it is voiced
        known = {name for names in SOUND.values() for name in names}
        for name in sound:
            if name not in known:
                raise ValueError(f"{title}: unknown sound parameter {name}")
        for voice in mix:
            if voice not in VOICES:
                raise ValueError(f"{title}: unknown voice {voice}")


def _number(value):
    if isinstance(value, str):
        return f'"{value}"'
    if isinstance(value, bool):
        return "1" if value else "0"
    if float(value).is_integer():
        return str(int(value))
    return f"{value:.4f}".rstrip("0").rstrip(".")


def _grouped(row, per_beat):
    return " ".join(row[i:i + per_beat] for i in range(0, len(row), per_beat))


TOOL_NAMES = {"sel": "Selected Beats", "rnd": "Random Beats", "size": "Random Size",
              "vel": "Random Velocity", "reset": "Random Reset"}


def _softened(row, scale):
    """The row with every hit's velocity scaled (a hit stays a hit)."""
    if scale >= 1.0:
        return row
    out = []
    for c in row:
        if c == "x":
            c = "6.3"
        if c[0].isdigit():
            c = str(max(1, min(9, round(float(c) * scale))))
        out.append(c)
    return "".join(out)


def render_program(number, kind, kit, patterns, summary):
    """The source text of one program."""
    if len(patterns) != 16:
        raise ValueError(f"{kit.title} {kind}: {len(patterns)} patterns")
    name = f"{number:02d} {kind} - {kit.title}"
    out = []
    out.append(f"# {name.strip()}: {summary}")
    out.append("# Generated from resources/factory-design/ (generate.py); change the design there")
    out.append("# and run it again, or edit this file by hand and keep the two in step.")
    out.append(f'name "{name}"')
    out.append("")
    out.append("# Clock, swing and master")
    swing = kit.swing if kind == "Kit" else kit.set_swing
    out.append(f'set "Tempo" {_number(kit.tempo)}')
    out.append(f'set "Swing" {_number(swing)}')
    out.append(f'set "Compressor" {_number(kit.compressor)}')
    out.append(f'set "Compressor Attack" {_number(kit.comp_attack)}')
    out.append(f'set "Output A" {_number(kit.output)}')
    for voice in VOICES:
        names = [n for n in SOUND[voice] if n in kit.sound]
        if not names:
            continue
        out.append("")
        note = kit.notes.get(voice)
        out.append(f"# {VOICE_TITLE[voice]}" + (f": {note}" if note else ""))
        for n in names:
            out.append(f'set "{n}" {_number(kit.sound[n])}')
    out.append("")
    out.append("# Mixer: level (dB) and pan of every voice, all on output A")
    for voice in VOICES:
        pan = kit.mix.get(voice, (-60, 0.5))[1]
        level = kit.levels.get(voice, -60)
        out.append(f'set "{LEVEL[voice]}" {_number(level)}')
        out.append(f'set "{PAN[voice]}" {_number(pan)}')
    out.append("")
    out.append("# Random beats play at this velocity unless a pattern says otherwise")
    for voice in VOICES:
        out.append(f'set "{voice} Random Velocity" 80')
    for index, pattern in enumerate(patterns, start=1):
        out.append("")
        out.append(f"pattern {index}   # {pattern.title}")
        out.append(f'set "Pattern Step Size" "{pattern.grid}"')
        for voice in VOICES:
            entry = pattern.tools.get(voice)
            if not entry:
                continue
            for key in ("sel", "rnd", "size", "vel", "reset"):
                if key in entry:
                    value = entry[key]
                    if key == "reset":
                        value = "On" if value else "Off"
                    out.append(f'set "{voice} {TOOL_NAMES[key]}" {_number(value)}')
        per_beat = GRIDS[pattern.grid][1]
        scale = getattr(kit, "pattern_scale", {}).get(kind, [1.0] * 16)[index - 1]
        for voice in VOICES:
            if voice in pattern.rows:
                row = _softened(pattern.rows[voice], scale)
                out.append(f"{voice} {_grouped(row, per_beat)}")
        for voice in sorted(pattern.velrandom, key=VOICES.index):
            out.append(f"velrandom {voice}")
        for parameter, values in pattern.lanes.items():
            if isinstance(values, str):
                out.append(f'lane "{parameter}" {_grouped(values, per_beat)}')
            else:
                padded = list(values) + [0.5] * (32 - len(values))
                out.append(f'lane "{parameter}" ' + " ".join(_number(round(v, 3))
                                                             for v in padded))
        for parameter in sorted(pattern.lanerandom):
            out.append(f'lanerandom "{parameter}"')
    return "\n".join(out) + "\n"
