"""Synthesises the game's seven sound effects as 16-bit mono WAV files at 22050 Hz.

Each effect is built from a few primitives (phase-accumulating oscillators with pitch
sweeps, filtered noise, exponential envelopes), then peak-normalised to -3 dBFS and given
short fades so it starts and ends on zero. Standard library only; the noise comes from
our own fixed-seed generator, so every run writes the same bytes.

Usage: sfx.py OUTDIR   (writes OUTDIR/0.wav .. OUTDIR/6.wav)
"""

import math
import os
import struct
import sys
import wave

from compose import Rng

RATE = 22050
PEAK_DBFS = -3.0
# Loudest 50 ms window of every effect, so they sound about equally loud side by side.
LOUDNESS_DBFS = -10.0
TAU = 2.0 * math.pi


class Noise:
    """White noise in -1..1 from the music's generator: deterministic for a given seed."""

    def __init__(self, seed):
        self.rng = Rng(seed)

    def next(self):
        return self.rng.next() / 2147483648.0 - 1.0


def length(seconds):
    return int(round(seconds * RATE))


def sweep(n, f0, f1, curve=1.0):
    """Per-sample frequency going from f0 to f1 (exponentially, shaped by curve)."""
    out = []
    for i in range(n):
        t = (i / max(1, n - 1)) ** curve
        out.append(f0 * (f1 / f0) ** t)
    return out


def osc(freqs, shape="sine", phase=0.0):
    """Oscillator following a per-sample frequency list. 'soft' is a rounded square
    (few harmonics, no aliasing at our rate); 'tri' a triangle."""
    out = []
    for f in freqs:
        phase += f / RATE
        phase -= math.floor(phase)
        s = math.sin(TAU * phase)
        if shape == "soft":
            s = math.tanh(3.0 * s) / math.tanh(3.0)
        elif shape == "tri":
            s = 1.0 - 4.0 * abs(phase - 0.5)
        elif shape == "saw":
            # A few partials of a sawtooth: buzzy but band-limited.
            s = sum(math.sin(TAU * k * phase) / k for k in range(1, 7) if f * k < RATE / 2.2)
            s *= 0.6
        out.append(s)
    return out


def envelope(n, attack, decay_rate, hold=0.0, release=0.008):
    """Linear attack (seconds), optional hold, then exponential decay (1/seconds). The
    last `release` seconds bend smoothly to zero, so a part that is cut short clicks not."""
    a = max(1, length(attack))
    h = length(hold)
    r = max(1, length(release))
    out = []
    for i in range(n):
        if i < a:
            v = i / a
        elif i < a + h:
            v = 1.0
        else:
            v = math.exp(-decay_rate * (i - a - h) / RATE)
        left = n - 1 - i
        if left < r:
            v *= math.sin(0.5 * math.pi * left / r) ** 2
        out.append(v)
    return out


def mul(*signals):
    n = min(len(s) for s in signals)
    out = [1.0] * n
    for s in signals:
        for i in range(n):
            out[i] *= s[i]
    return out


def mix(n, *parts):
    """Sums (offset_seconds, gain, signal) parts into a buffer of n samples."""
    out = [0.0] * n
    for offset, gain, sig in parts:
        start = length(offset)
        for i, v in enumerate(sig):
            if start + i < n:
                out[start + i] += gain * v
    return out


def bandpass(signal, freqs, q=2.0):
    """State-variable band-pass with a per-sample centre frequency."""
    low = band = 0.0
    out = []
    damp = 1.0 / q
    for x, f in zip(signal, freqs):
        g = 2.0 * math.sin(math.pi * min(f, RATE / 6.0) / RATE)
        high = x - low - damp * band
        band += g * high
        low += g * band
        out.append(band)
    return out


def lowpass(signal, cutoff):
    k = 1.0 - math.exp(-TAU * cutoff / RATE)
    y = 0.0
    out = []
    for x in signal:
        y += k * (x - y)
        out.append(y)
    return out


def short_term_rms(signal, window=0.05):
    n = length(window)
    best = 0.0
    for start in range(0, max(1, len(signal) - n), 64):
        seg = signal[start:start + n]
        best = max(best, math.sqrt(sum(v * v for v in seg) / len(seg)))
    return best


def finish(signal, fade_in=0.003, fade_out=0.012, loudness=LOUDNESS_DBFS):
    """Removes DC, applies click-free fades and normalises the peak to PEAK_DBFS, or lower
    when the effect would otherwise stand out above `loudness` (dBFS, loudest 50 ms)."""
    mean = sum(signal) / len(signal)
    s = [v - mean for v in signal]
    fi, fo = length(fade_in), length(fade_out)
    for i in range(fi):
        s[i] *= math.sin(0.5 * math.pi * i / fi) ** 2
    for i in range(fo):
        s[-1 - i] *= math.sin(0.5 * math.pi * i / fo) ** 2
    s[0] = s[-1] = 0.0
    peak = max(abs(v) for v in s) or 1.0
    gain = 10 ** (PEAK_DBFS / 20.0) / peak
    loud = short_term_rms(s) * gain
    gain *= min(1.0, 10 ** (loudness / 20.0) / loud)
    return [v * gain for v in s]


def note_hz(midi):
    return 440.0 * 2 ** ((midi - 69) / 12.0)


# --- The effects -------------------------------------------------------------------

def jump():
    """The kettle pack fires: a rising puff of steam over a short upward 'fwip'."""
    n = length(0.36)
    noise = Noise(0x5EED0)
    white = [noise.next() for _ in range(n)]
    centre = sweep(n, 500.0, 3200.0, 0.7)
    puff = mul(bandpass(white, centre, q=3.0), envelope(n, 0.025, 9.0))
    hiss = mul(lowpass(bandpass(white, [3600.0] * n, q=0.8), 5000.0), envelope(n, 0.01, 18.0))
    fwip = mul(osc(sweep(length(0.16), 180.0, 620.0, 0.8), "sine"), envelope(length(0.16), 0.01, 22.0))
    sig = mix(n, (0.0, 1.0, puff), (0.0, 0.25, hiss), (0.0, 0.35, fwip))
    # Soft saturation gives the puff body; noise alone peaks high but sounds thin.
    peak = max(abs(v) for v in sig)
    return finish([math.tanh(1.3 * v / peak) for v in sig], fade_out=0.04)


def leap():
    """An enemy springs: a boing whose pitch shoots up and wobbles as the spring settles."""
    n = length(0.5)
    freqs = []
    for i in range(n):
        t = i / RATE
        rise = 140.0 + 260.0 * (1.0 - math.exp(-t * 22.0))
        wobble = 1.0 + 0.18 * math.exp(-t * 6.0) * math.sin(TAU * 14.0 * t)
        freqs.append(rise * wobble)
    body = mul(osc(freqs, "sine"), envelope(n, 0.006, 6.5))
    twang = mul(osc([2.0 * f for f in freqs], "tri"), envelope(n, 0.004, 14.0))
    return finish(mix(n, (0.0, 1.0, body), (0.0, 0.3, twang)), fade_out=0.05)


def bell(freq, seconds, decay):
    """A small bell: fundamental plus a bright inharmonic partial that dies faster."""
    n = length(seconds)
    main = mul(osc([freq] * n), envelope(n, 0.002, decay))
    over = mul(osc([freq * 2.76] * n), envelope(n, 0.001, decay * 2.5))
    octave = mul(osc([freq * 2.0] * n), envelope(n, 0.001, decay * 1.6))
    return mix(n, (0.0, 1.0, main), (0.0, 0.35, over), (0.0, 0.25, octave))


def points():
    """A prawn is caught: a bright two-note pling, up a fifth."""
    n = length(0.42)
    return finish(mix(n,
                      (0.0, 0.8, bell(note_hz(88), 0.12, 18.0)),    # E6
                      (0.06, 1.0, bell(note_hz(95), 0.36, 9.0))),   # B6
                  fade_out=0.04)


def penalty():
    """Something bad: a low buzzing 'bwomp' that sags in pitch, over a soft thud."""
    n = length(0.48)
    buzz = osc(sweep(n, 150.0, 82.0, 0.9), "saw")
    buzz = lowpass(buzz, 1100.0)
    buzz = mul(buzz, envelope(n, 0.01, 3.2, hold=0.12))
    thud = mul(osc(sweep(length(0.2), 120.0, 45.0)), envelope(length(0.2), 0.003, 18.0))
    # Gentle saturation thickens the buzz so it holds its own beside the brighter effects.
    sig = [math.tanh(1.6 * v) for v in mix(n, (0.0, 1.0, buzz), (0.0, 0.9, thud))]
    # Ears are less sensitive down here, so this one may measure a little hotter.
    return finish(sig, fade_out=0.06, loudness=-8.0)


def health():
    """Health restored: a warm rising arpeggio, C major up to the octave."""
    n = length(0.6)
    parts = []
    for k, midi in enumerate((72, 76, 79, 84)):
        last = k == 3
        size = length(0.6 - 0.075 * k)
        tone = mix(size,
                   (0.0, 1.0, osc([note_hz(midi)] * size, "tri")),
                   (0.0, 0.4, osc([note_hz(midi) * 2.0] * size, "sine")))
        parts.append((0.075 * k, 0.8 if not last else 1.0,
                      mul(tone, envelope(size, 0.008, 5.0 if last else 9.0))))
    return finish(mix(n, *parts), fade_out=0.06)


def menu_move():
    """The highlight moves: a short soft-square tick."""
    n = length(0.06)
    tone = osc(sweep(n, 1400.0, 1150.0), "soft")
    return finish(mul(tone, envelope(n, 0.002, 55.0)), fade_in=0.002, fade_out=0.01)


def menu_select():
    """Confirm: two quick rising blips, a fourth apart, the second ringing a little."""
    n = length(0.24)
    a_n, b_n = length(0.07), length(0.17)
    a = mul(osc([note_hz(79)] * a_n, "soft"), envelope(a_n, 0.002, 30.0))
    b = mul(osc([note_hz(84)] * b_n, "soft"), envelope(b_n, 0.002, 16.0))
    return finish(mix(n, (0.0, 0.8, a), (0.07, 1.0, b)), fade_in=0.002, fade_out=0.03)


EFFECTS = [jump, leap, points, penalty, health, menu_move, menu_select]


def write_wav(path, signal):
    frames = b"".join(struct.pack("<h", max(-32767, min(32767, int(round(v * 32767.0)))))
                      for v in signal)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: sfx.py OUTDIR\n")
        return 2
    os.makedirs(argv[1], exist_ok=True)
    for number, make in enumerate(EFFECTS):
        write_wav(os.path.join(argv[1], "%d.wav" % number), make())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
