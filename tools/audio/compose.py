"""A small composition library for General MIDI game music.

Pieces of it:
- Rng: our own xorshift generator, so a fixed seed gives the same song on every Python.
- Theory: note names, scales, chord symbols ("F#m7", "Bbmaj7", "Gsus4") and voicings.
- Song/Part: notes in ticks on numbered channels, written as a Standard MIDI File of
  format 1 (a conductor track with tempo and metre, then one track per part with its name,
  GM program, volume, pan and reverb).
- Style renderers that turn a chord progression into bass lines, pads, stabs, arpeggios,
  drum grooves with fills, and motif-based melodies that land on chord tones.

Times passed to the renderers are in bars from the start of the song; a progression is a
list of (chord symbol, beats) pairs in 4/4.
"""

import struct

PPQ = 480
BAR = 4 * PPQ
STEP = PPQ // 4          # one sixteenth

NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}

SCALES = {
    "major": [0, 2, 4, 5, 7, 9, 11],
    "minor": [0, 2, 3, 5, 7, 8, 10],
    "dorian": [0, 2, 3, 5, 7, 9, 10],
    "mixolydian": [0, 2, 4, 5, 7, 9, 10],
    "harmonic": [0, 2, 3, 5, 7, 8, 11],
}

CHORDS = {
    "": [0, 4, 7], "m": [0, 3, 7], "7": [0, 4, 7, 10], "maj7": [0, 4, 7, 11],
    "m7": [0, 3, 7, 10], "sus4": [0, 5, 7], "sus2": [0, 2, 7], "add9": [0, 4, 7, 14],
    "9": [0, 4, 7, 10, 14], "m9": [0, 3, 7, 10, 14], "6": [0, 4, 7, 9], "m6": [0, 3, 7, 9],
    "dim": [0, 3, 6], "5": [0, 7],
}

# General MIDI percussion keys (channel 10).
KICK, SNARE, CLAP, HAT, PEDAL_HAT, OPEN_HAT = 36, 38, 39, 42, 44, 46
TOM_LOW, TOM_MID, TOM_HIGH, CRASH, RIDE, TAMB, SHAKER, COWBELL = 45, 47, 50, 49, 51, 54, 70, 56
DRUM_KEYS = {"k": KICK, "s": SNARE, "c": CLAP, "h": HAT, "p": PEDAL_HAT, "o": OPEN_HAT,
             "r": RIDE, "t": TAMB, "z": SHAKER, "w": COWBELL,
             "L": TOM_LOW, "M": TOM_MID, "H": TOM_HIGH, "C": CRASH}


class Rng:
    """xorshift32: small, fast and identical everywhere."""

    def __init__(self, seed):
        self.state = (seed & 0xFFFFFFFF) or 0x9E3779B9

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def random(self):
        return self.next() / 4294967296.0

    def randint(self, low, high):
        return low + self.next() % (high - low + 1)

    def choice(self, items):
        return items[self.next() % len(items)]

    def chance(self, p):
        return self.random() < p

    def weighted(self, pairs):
        total = sum(w for _, w in pairs)
        r = self.random() * total
        for item, w in pairs:
            r -= w
            if r < 0:
                return item
        return pairs[-1][0]


# --- Theory ----------------------------------------------------------------------------

def pitch_class(name):
    pc = NOTE_NAMES[name[0]]
    for ch in name[1:]:
        pc += 1 if ch == "#" else -1 if ch == "b" else 0
    return pc % 12


def note(name):
    """'C4' -> 60, 'F#3' -> 54, 'Bb2' -> 46."""
    i = 1
    while i < len(name) and name[i] in "#b":
        i += 1
    return pitch_class(name[:i]) + 12 * (int(name[i:]) + 1)


def parse_chord(symbol):
    """'F#m7' -> (root pitch class, intervals); an optional '/E' names the bass note."""
    bass = None
    if "/" in symbol:
        symbol, bass_name = symbol.split("/")
        bass = pitch_class(bass_name)
    i = 1
    while i < len(symbol) and symbol[i] in "#b":
        i += 1
    root = pitch_class(symbol[:i])
    return root, CHORDS[symbol[i:]], (root if bass is None else bass)


class Key:
    def __init__(self, tonic, mode):
        self.tonic = pitch_class(tonic)
        self.steps = SCALES[mode]

    def contains(self, pitch):
        return (pitch - self.tonic) % 12 in self.steps

    def scale_notes(self, low, high):
        return [p for p in range(low, high + 1) if self.contains(p)]


def chord_tones(symbol, low, high):
    root, ivs, _ = parse_chord(symbol)
    pcs = {(root + i) % 12 for i in ivs}
    return [p for p in range(low, high + 1) if p % 12 in pcs]


def voicing(symbol, centre, size=4):
    """Close voicing of the chord whose notes sit nearest `centre`: smooth voice leading
    comes for free when consecutive chords share a centre."""
    tones = chord_tones(symbol, centre - 9, centre + 9)
    tones.sort(key=lambda p: (abs(p - centre), p))
    return sorted(tones[:size])


def bass_note(symbol, low=note("E1"), high=note("D#2")):
    _, _, bass = parse_chord(symbol)
    p = low + (bass - low) % 12
    return p if p <= high else p - 12


def expand(progression):
    """[(chord, beats)...] -> [(chord, start_tick, length_ticks)...] from 0."""
    out, t = [], 0
    for chord, beats in progression:
        out.append((chord, t, int(beats * PPQ)))
        t += int(beats * PPQ)
    return out


def chord_at(progression, tick):
    """The chord sounding `tick` ticks into the progression (which repeats)."""
    spans = expand(progression)
    total = spans[-1][1] + spans[-1][2]
    tick %= total
    for chord, start, size in spans:
        if start <= tick < start + size:
            return chord
    return spans[-1][0]


def bars_of(progression):
    return sum(b for _, b in progression) / 4.0


# --- Song and MIDI file ----------------------------------------------------------------

class Part:
    def __init__(self, name, channel, program, volume=100, pan=64, reverb=40, chorus=0):
        self.name, self.channel, self.program = name, channel, program
        self.volume, self.pan, self.reverb, self.chorus = volume, pan, reverb, chorus
        self.notes = []          # (start, length, pitch, velocity)
        self.controls = []       # (tick, controller, value)

    def add(self, start, length, pitch, velocity):
        if length <= 0 or not 0 <= pitch <= 127:
            return
        self.notes.append((int(start), int(length), int(pitch), max(1, min(127, int(velocity)))))

    def control(self, tick, controller, value):
        self.controls.append((int(tick), controller, max(0, min(127, int(value)))))


class Song:
    def __init__(self, title, tempo, rng, level=1.0):
        self.title = title
        self.level = level       # scales every channel volume: evens out the five songs
        self.tempos = [(0, tempo)]
        self.parts = []
        self.rng = rng
        self.length = 0          # end of the song in ticks; set by finish()

    def part(self, *args, **kwargs):
        p = Part(*args, **kwargs)
        self.parts.append(p)
        return p

    def tempo_change(self, bar, bpm):
        self.tempos.append((int(bar * BAR), bpm))

    def finish(self, bars):
        self.length = int(bars * BAR)

    def seconds(self):
        """Playing time, following the tempo map."""
        total, marks = 0.0, sorted(self.tempos) + [(self.length, None)]
        for (t0, bpm), (t1, _) in zip(marks, marks[1:]):
            total += (min(t1, self.length) - t0) / PPQ * 60.0 / bpm
        return total

    def write(self, path):
        chunks = [_track(self._conductor())]
        for p in self.parts:
            chunks.append(_track(self._events(p)))
        header = b"MThd" + struct.pack(">IHHH", 6, 1, len(chunks), PPQ)
        with open(path, "wb") as f:
            f.write(header + b"".join(chunks))

    def _conductor(self):
        ev = [(0, 0, _meta(0x03, self.title.encode("ascii"))),
              (0, 0, _meta(0x58, bytes([4, 2, 24, 8])))]
        for tick, bpm in sorted(self.tempos):
            us = int(round(60000000 / bpm))
            ev.append((tick, 1, _meta(0x51, us.to_bytes(3, "big"))))
        ev.append((self.length, 9, _meta(0x2F, b"")))
        return ev

    def _events(self, p):
        ch = p.channel - 1
        ev = [(0, 0, _meta(0x03, p.name.encode("ascii"))),
              (0, 1, bytes([0xB0 | ch, 0, 0])),             # bank select 0: plain GM
              (0, 2, bytes([0xC0 | ch, p.program])),
              (0, 3, bytes([0xB0 | ch, 7, min(127, int(round(p.volume * self.level)))])),
              (0, 3, bytes([0xB0 | ch, 10, p.pan])),
              (0, 3, bytes([0xB0 | ch, 91, p.reverb])),
              (0, 3, bytes([0xB0 | ch, 93, p.chorus]))]
        for tick, cc, value in p.controls:
            ev.append((tick, 4, bytes([0xB0 | ch, cc, value])))
        for start, length, pitch, vel in p.notes:
            end = min(start + length, self.length)
            if start >= self.length:
                continue
            ev.append((start, 6, bytes([0x90 | ch, pitch, vel])))
            ev.append((end, 5, bytes([0x80 | ch, pitch, 64])))
        ev.append((self.length, 9, _meta(0x2F, b"")))
        return ev


def _meta(kind, data):
    return bytes([0xFF, kind]) + _varlen(len(data)) + data


def _varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def _track(events):
    # Sorted by time, then by rank: note-offs (5) before note-ons (6) at the same tick, so
    # a repeated pitch is released before it is struck again; end-of-track (9) last.
    events.sort(key=lambda e: (e[0], e[1], e[2]))
    data, now = bytearray(), 0
    for tick, _, payload in events:
        data += _varlen(tick - now) + payload
        now = tick
    return b"MTrk" + struct.pack(">I", len(data)) + bytes(data)


# --- Renderers -------------------------------------------------------------------------

def human(rng, velocity, spread=6):
    return velocity + rng.randint(-spread, spread)


def render_pad(part, progression, bar, bars, centre, velocity=70, size=4, rng=None):
    """Sustained chords, one voicing per chord change."""
    t0, end = int(bar * BAR), int((bar + bars) * BAR)
    spans = expand(progression)
    span_len = spans[-1][1] + spans[-1][2]
    t = t0
    while t < end:
        for chord, start, size_t in spans:
            s = t + start
            if s >= end:
                break
            for p in voicing(chord, centre, size):
                part.add(s, min(size_t, end - s) - 10, p,
                         human(rng, velocity, 4) if rng else velocity)
        t += span_len


def render_rhythm_chords(part, progression, bar, bars, centre, pattern, velocity=80,
                         rng=None, size=3, gate=0.8):
    """Chord stabs on a one-bar 16-step pattern ('x' hit, 'X' accent, '-' tie/hold)."""
    _steps(progression, bar, bars, pattern, lambda s, n, chord, acc: [
        part.add(s, int(n * STEP * gate), p, human(rng, velocity + acc, 5) if rng else velocity + acc)
        for p in voicing(chord, centre, size)])


def render_arp(part, progression, bar, bars, centre, pattern="x" * 16, order="updown",
               velocity=70, rng=None, span=2, gate=0.7):
    """Arpeggio through the chord tones over `span` octaves on a 16-step pattern."""
    counter = [0]

    def hit(s, n, chord, acc):
        tones = chord_tones(chord, centre - 6, centre - 6 + 12 * span)
        if order == "updown":
            seq = tones + tones[-2:0:-1]
        elif order == "down":
            seq = tones[::-1]
        else:
            seq = tones
        p = seq[counter[0] % len(seq)]
        counter[0] += 1
        part.add(s, int(n * STEP * gate), p, human(rng, velocity + acc, 6) if rng else velocity + acc)

    _steps(progression, bar, bars, pattern, hit)


def _steps(progression, bar, bars, pattern, hit):
    """Walks a one-bar pattern over the bars, calling hit(start, steps_long, chord, accent)."""
    t0 = int(bar * BAR)
    for b in range(int(bars)):
        for i, ch in enumerate(pattern):
            if ch not in "xX":
                continue
            n = 1
            while i + n < len(pattern) and pattern[i + n] == "-":
                n += 1
            s = t0 + b * BAR + i * STEP
            chord = chord_at(progression, s - t0)
            hit(s, n, chord, 12 if ch == "X" else 0)


def render_bass(part, progression, bar, bars, style, velocity=95, rng=None, low=note("E1")):
    """Bass lines: 'drive' (eighths on the root with octave pops), 'bounce' (root and
    fifth with pickups), 'walk' (quarter-note walking line), 'funk' (syncopated sixteenths
    with octaves and ghost notes), 'whole' (held roots)."""
    t0 = int(bar * BAR)
    high = low + 15
    for b in range(int(bars)):
        bar_start = t0 + b * BAR
        for beat in range(4):
            s = bar_start + beat * PPQ
            chord = chord_at(progression, s - t0)
            nxt = chord_at(progression, s - t0 + PPQ)
            root = bass_note(chord, low, high)
            fifth = root + 7 if root + 7 <= high + 4 else root - 5
            v = human(rng, velocity, 5) if rng else velocity
            if style == "drive":
                part.add(s, PPQ // 2 - 30, root, v + (8 if beat % 2 == 0 else 0))
                pop = root + 12 if beat == 3 and rng and rng.chance(0.5) else root
                part.add(s + PPQ // 2, PPQ // 2 - 30, pop, v - 10)
            elif style == "bounce":
                if beat in (0, 2):
                    part.add(s, PPQ - 60, root if beat == 0 else fifth, v + 6)
                else:
                    part.add(s + PPQ // 2, PPQ // 2 - 40, root + 12 if beat == 1 else fifth, v - 12)
                    if beat == 3:
                        nroot = bass_note(nxt, low, high)
                        part.add(s + 3 * PPQ // 4, PPQ // 4 - 20, nroot - 1 if rng and rng.chance(0.5) else nroot + 2, v - 15)
            elif style == "walk":
                if beat == 0:
                    p = root
                elif beat == 3:
                    target = bass_note(nxt, low, high)
                    p = target + (1 if rng and rng.chance(0.5) else -1)
                else:
                    tones = chord_tones(chord, low, high + 5)
                    p = rng.choice(tones) if rng else fifth
                part.add(s, PPQ - 40, p, v - (0 if beat in (0, 2) else 8))
            elif style == "funk":
                pattern = ["x..x", "..x.", "x.gx", ".x.x"][beat]
                for i, c in enumerate(pattern):
                    if c == ".":
                        continue
                    p = root + (12 if (beat, i) in ((1, 2), (3, 3)) else 0)
                    if beat == 2 and i == 3:
                        p = fifth
                    part.add(s + i * STEP, STEP - 15 if c != "g" else STEP // 2,
                             p, v - (35 if c == "g" else 0) + (10 if i == 0 and beat == 0 else 0))
            elif style == "whole":
                if beat == 0 or chord != chord_at(progression, s - t0 - PPQ):
                    left = PPQ
                    while beat * PPQ + left < BAR and chord_at(progression, s - t0 + left) == chord:
                        left += PPQ
                    part.add(s, left - 30, root, v)


def render_drums(part, bar, bars, groove, velocity=100, rng=None, fill=None, crash=True):
    """A groove is {drum letter: 16-step string} with 'x' hit, 'X' accent, 'g' ghost;
    `fill` replaces the last bar's groove; a crash marks the first downbeat."""
    t0 = int(bar * BAR)
    for b in range(int(bars)):
        pattern = fill if (fill and b == int(bars) - 1) else groove
        for letter, steps in pattern.items():
            key = DRUM_KEYS[letter]
            for i, ch in enumerate(steps):
                if ch == ".":
                    continue
                v = {"x": velocity - 12, "X": velocity + 8, "g": velocity - 55}[ch]
                part.add(t0 + b * BAR + i * STEP, STEP, key, human(rng, v, 5) if rng else v)
    if crash:
        part.add(t0, PPQ, CRASH, velocity + 5)


class Melody:
    """Motif-based melody writer.

    A phrase is a few bars of rhythm (taken from a vocabulary of one-bar rhythms, with the
    first bar's rhythm coming back in the third) whose notes are chosen to land on chord
    tones on strong beats and to step through the scale in between, following a contour
    (arch, rise or fall). Phrases can be restated with a new ending, which is what makes
    sections sound composed rather than random.
    """

    def __init__(self, key, low, high, rhythms, rng, leap=4):
        self.key, self.low, self.high = key, low, high
        self.rhythms, self.rng, self.leap = rhythms, rng, leap
        self.pitch = (low + high) // 2

    def phrase_rhythm(self, bars, cadence_rhythm):
        r = self.rng
        picks = [r.choice(self.rhythms) for _ in range(bars - 1)]
        if bars >= 3:
            picks[2 % (bars - 1)] = picks[0]
        return picks + [cadence_rhythm]

    def phrase(self, progression, rhythm_bars, contour="arch", end="root", prog_offset=0):
        """Returns [(tick from phrase start, length, pitch)]; rhythm_bars is a list of
        one-bar rhythms, each a list of (start beat, length in beats)."""
        r = self.rng
        out = []
        count = sum(len(bar) for bar in rhythm_bars)
        k = 0
        scale = self.key.scale_notes(self.low, self.high)
        for b, bar_rhythm in enumerate(rhythm_bars):
            for start, beats in bar_rhythm:
                tick = int((b * 4 + start) * PPQ)
                chord = chord_at(progression, tick + prog_offset)
                pos = k / max(1, count - 1)
                drift = {"arch": 1 if pos < 0.55 else -1, "rise": 1, "fall": -1,
                         "wave": 1 if (k // 3) % 2 == 0 else -1}[contour]
                last = k == count - 1
                strong = start == int(start) and int(start) % 2 == 0 or beats >= 1.5 or last
                if last:
                    root, ivs, _ = parse_chord(chord)
                    want = {(root + (0 if end == "root" else ivs[1] if end == "third" else ivs[2])) % 12}
                    cands = [p for p in range(self.low, self.high + 1) if p % 12 in want]
                elif strong:
                    cands = chord_tones(chord, self.low, self.high)
                else:
                    cands = scale
                target = self.pitch + drift * r.randint(1, self.leap if strong else 2)
                if r.chance(0.15) and not last:
                    target = self.pitch - drift * 2      # an occasional turn keeps it singable
                best = min(cands, key=lambda p: (abs(p - target), p))
                if best == self.pitch and not last and r.chance(0.6):
                    nearby = [p for p in cands if p != best and abs(p - best) <= 4]
                    if nearby:
                        best = r.choice(nearby)
                self.pitch = best
                out.append((tick, int(beats * PPQ), best))
                k += 1
        return out

    def place(self, part, notes, bar, velocity=100, gate=0.92, accent_downbeats=True):
        t0 = int(bar * BAR)
        for tick, length, pitch in notes:
            v = velocity + (8 if accent_downbeats and tick % BAR == 0 else 0)
            v += self.rng.randint(-5, 5)
            part.add(t0 + tick, max(STEP // 2, int(length * gate)), pitch, v)


def vary_ending(melody, notes, progression, rhythm_bars, end="root", contour="fall", offset=0):
    """Keeps all but the last bar of a phrase and writes a fresh last bar; `offset` is
    where the phrase starts in the progression, in ticks."""
    last_bar_start = (len(rhythm_bars) - 1) * BAR
    keep = [n for n in notes if n[0] < last_bar_start]
    if keep:
        melody.pitch = keep[-1][2]
    tail = melody.phrase(progression, [rhythm_bars[-1]], contour=contour, end=end,
                         prog_offset=offset + last_bar_start)
    return keep + [(t + last_bar_start, l, p) for t, l, p in tail]


def shift(notes, semitones):
    return [(t, l, p + semitones) for t, l, p in notes]


def fit(notes, progression, low, high, offset=0):
    """Moves notes that clash on strong beats to the nearest chord tone of the new
    harmony: how a motif is restated over different chords."""
    out = []
    for t, l, p in notes:
        if t % (2 * PPQ) == 0 or l >= 3 * PPQ // 2:
            tones = chord_tones(chord_at(progression, t + offset), low - 4, high + 4)
            p = min(tones, key=lambda q: (abs(q - p), q))
        out.append((t, l, p))
    return out
