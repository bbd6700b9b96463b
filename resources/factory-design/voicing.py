"""Voicing helpers: each returns a voice's complete set of sound parameters from the few
choices that define its character, so a kit reads as decisions rather than forty numbers.
Times are in milliseconds, frequencies in Hz, levels in dB, curves -1..1 (negative: a fast,
exponential-like fall)."""


def kick(tune, decay, sweep=50, sweep_time=40, click=-18, sat=0.0, sine=True, attack=0.5,
         decay_curve=-0.3, sweep_curve=-0.5, click_tone=3000, sweep_attack=0.1):
    return {
        "Kickdrum Tune": tune, "Kickdrum Saturation": sat, "Kickdrum Amp Attack": attack,
        "Kickdrum Amp Attack Curve": 0.3, "Kickdrum Amp Decay": decay,
        "Kickdrum Amp Decay Curve": decay_curve, "Kickdrum Pitch Attack": sweep_attack,
        "Kickdrum Pitch Attack Curve": 0, "Kickdrum Pitch Decay": sweep_time,
        "Kickdrum Pitch Decay Curve": sweep_curve, "Kickdrum Pitch Mod": sweep,
        "Kickdrum Noise Freq": click_tone, "Kickdrum Click Level": click,
        "Kickdrum Waveform": 1 if sine else 0,
    }


def snare9(tune, tone_decay, noise_decay, color=9000, noise=-3, tone_curve=-0.4,
           noise_curve=-0.5):
    return {
        "Snare9 Tune": tune, "Snare9 Tone Decay": tone_decay,
        "Snare9 Tone Decay Curve": tone_curve, "Snare9 Noise Color": color,
        "Snare9 Noise Decay": noise_decay, "Snare9 Noise Decay Curve": noise_curve,
        "Snare9 Noise Level": noise,
    }


def snare8(tune, noise_decay, color=1500, noise=-4):
    return {"Snare8 Tune": tune, "Snare8 Noise Color": color,
            "Snare8 Noise Decay": noise_decay, "Snare8 Noise Level": noise}


def toms(low, mid, high, depth=30, decay=300, body=None, click=-12, noise=-20, sat=0.0,
         tone=0, curve=-0.45, attack=0.5):
    """Three toms tuned low/mid/high; `decay` is the fundamental's, `body` the upper
    partial's (shorter by default, so the pitch settles into the fundamental)."""
    body = decay * 0.55 if body is None else body
    out = {}
    for prefix, freq, scale in (("Low Tom", low, 1.15), ("Mid Tom", mid, 1.0),
                                ("High Tom", high, 0.85)):
        out.update({
            f"{prefix} Freq": freq, f"{prefix} Pitch Depth": depth,
            f"{prefix} Click Level": click, f"{prefix} Noise Level": noise,
            f"{prefix} Tone Level": tone, f"{prefix} Saturation": sat,
            f"{prefix} Tone 1 Attack Time": attack, f"{prefix} Tone 1 Attack Curvature": 0.3,
            f"{prefix} Tone 1 Decay Time": round(body * scale),
            f"{prefix} Tone 1 Decay Curvature": curve,
            f"{prefix} Tone 2 Attack Time": attack, f"{prefix} Tone 2 Attack Curvature": 0.3,
            f"{prefix} Tone 2 Decay Time": round(decay * scale),
            f"{prefix} Tone 2 Decay Curvature": curve,
        })
    return out


def clap(tone, room):
    return {"Clap Tone": tone, "Clap Reverb": room}


def cowbell(tune, ratio=1.5, decay=200, filter=2640, res=0.05, curve=-0.5):
    return {"Cowbell Tune": tune, "Cowbell Ratio": ratio, "Cowbell Decay": decay,
            "Cowbell Decay Curve": curve, "Cowbell Filter Freq": filter,
            "Cowbell Filter Resonance": res}


def hats(closed_decay, open_decay, tune=0.5, noise=50, bpf=9000, hpf=6000, open_curve=-0.5,
         open_tune=None, open_noise=None, open_bpf=None, open_hpf=None):
    return {
        "CHH BPF Freq": bpf, "CHH HPF Freq": hpf, "CHH Tune": tune, "CHH Noise Mix": noise,
        "CHH Decay": closed_decay,
        "OHH BPF Freq": open_bpf or bpf, "OHH HPF Freq": open_hpf or hpf,
        "OHH Tune": tune if open_tune is None else open_tune,
        "OHH Noise Mix": noise if open_noise is None else open_noise,
        "OHH Decay": open_decay, "OHH Decay Curve": open_curve,
    }


def cymbal(decay, tuning=0.5, body=7000, noise=-14, ding=-12, ding_freq=5000, ding_decay=30,
           curve=-0.7, attack=0.1):
    """A crash (noise up, ding down, long) or a ride (ding up, noise down)."""
    return {
        "Cymbal Tuning": tuning, "Cymbal Noise Level": noise, "Cymbal Ding Level": ding,
        "Cymbal Freq": body, "Cymbal Attack Time": attack, "Cymbal Attack Curvature": -0.5,
        "Cymbal Decay Time": decay, "Cymbal Decay Curvature": curve,
        "Cymbal Ding Freq": ding_freq, "Cymbal Ding Attack Time": 0.05,
        "Cymbal Ding Attack Curvature": -0.5, "Cymbal Ding Decay Time": ding_decay,
        "Cymbal Ding Decay Curvature": -0.8,
    }


def rim(tune=0.5, hpf=1000):
    return {"Rimshot Tune": tune, "Rimshot HPF Freq": hpf}


def merge(*parts):
    out = {}
    for part in parts:
        out.update(part)
    return out
