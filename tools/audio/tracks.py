"""The game's five music tracks, composed with compose.py.

    BGLOOP2.mid   title menu: an inviting, easy-going loop
    Home.mid      in game: bouncy, major, chiptune-flavoured
    INDS_08.mid   in game: adventurous, minor, strings and horns
    MISC_03.mid   in game: jazzy funk with slap bass, clavinet and sax
    NEWA_11A.mid  in game: heroic brass anthem with a lift into the last chorus

Every song draws its variation from its own fixed seed, so the files are the same on
every run. Usage: tracks.py OUTDIR [--lengths]
"""

import os
import sys

from compose import (BAR, PPQ, Key, Melody, Rng, Song, bass_note, chord_at, fit, note,
                     render_arp, render_bass, render_drums, render_pad, render_rhythm_chords,
                     shift, vary_ending, voicing)

DRUMS = 10


def theme(mel, prog, rhythms_cadence, contour="arch", half="fifth"):
    """An eight-bar theme: a four-bar question ending open, then the same motif fitted to
    the next four bars of harmony with a new ending that comes home to the root."""
    rb = mel.phrase_rhythm(4, rhythms_cadence[0])
    first = mel.phrase(prog, rb, contour=contour, end=half)
    again = fit(first, prog, mel.low, mel.high, offset=4 * BAR)
    rb2 = rb[:3] + [rhythms_cadence[1]]
    again = vary_ending(mel, [n for n in again if n[0] < 3 * BAR], prog, rb2, end="root",
                        offset=4 * BAR)
    return first + [(t + 4 * BAR, l, p) for t, l, p in again]


def final_hit(drums, bar, velocity, cymbals=(49,)):
    """The last downbeat: kick under one or more crash cymbals."""
    for key in cymbals + (36,):
        drums.add(bar * BAR, PPQ, key, velocity - (6 if key == 57 else 0))


def new_last_bar(mel, tune, prog, cadence, bars=8):
    """The same tune with a freshly written last bar: a repeat that is not a copy."""
    return vary_ending(mel, tune, prog, [[]] * (bars - 1) + [cadence])


def cadence_chord(parts_centres, bar, chord, beats=4, velocity=100):
    """A final held chord across the given (part, centre, size) triples; a centre of
    None plays the chord's bass note."""
    for part, centre, size in parts_centres:
        if centre is None:
            part.add(bar * BAR, beats * PPQ - 20, bass_note(chord), velocity)
        else:
            for p in voicing(chord, centre, size):
                part.add(bar * BAR, beats * PPQ - 20, p, velocity - 10)


# --- Track 0: the title loop -------------------------------------------------------

def bgloop2():
    rng = Rng(0x7171E)
    song = Song("Sky Rabbit Lounge", 108, rng, level=1.12)
    lead = song.part("Vibraphone", 1, 11, volume=104, pan=70, reverb=70)
    keys = song.part("Electric piano", 2, 4, volume=84, pan=50, reverb=50, chorus=30)
    pad = song.part("Warm pad", 3, 89, volume=70, reverb=80)
    bass = song.part("Bass", 4, 33, volume=100)
    glock = song.part("Glockenspiel", 5, 9, volume=64, pan=90, reverb=80)
    drums = song.part("Drums", DRUMS, 0, volume=84, reverb=30)

    intro = [("Fmaj7", 4), ("Bbmaj7", 4)]
    verse = [("Fmaj7", 4), ("Dm7", 4), ("Bbmaj7", 4), ("C", 4),
             ("Fmaj7", 4), ("Dm7", 4), ("Gm7", 4), ("C7", 4)]
    bridge = [("Gm7", 4), ("C7", 4), ("Am7", 4), ("Dm7", 4),
              ("Bbmaj7", 4), ("C", 4), ("Am7", 2), ("Dm7", 2), ("Gm7", 2), ("C7", 2)]
    turn = [("Bbmaj7", 4), ("C", 4), ("Gm7", 4), ("C", 4)]

    key = Key("F", "major")
    rhythms = [[(0, 1.5), (1.5, 0.5), (2, 1), (3, 1)],
               [(0, 0.5), (0.5, 0.5), (1, 1.5), (3, 0.5), (3.5, 0.5)],
               [(0, 1), (1, 0.5), (1.5, 1.5), (3, 1)],
               [(0.5, 0.5), (1, 1), (2, 0.5), (2.5, 1.5)]]
    cadences = ([(0, 1), (1, 1), (2, 2)], [(0, 1.5), (1.5, 2.5)])
    mel = Melody(key, note("A4"), note("F6"), rhythms, rng, leap=4)

    groove = {"k": "x.......x.x.....", "s": "....x.......x...", "z": "x.xxx.xxx.xxx.xx",
              "p": "..x...x...x...x."}
    soft = {"k": "x.........x.....", "z": "x.x.x.x.x.x.x.x."}
    fill = {"k": "x.......x.......", "s": "....x.....g.x.xx", "M": "..........x.....",
            "L": "..............x.", "z": "x.x.x.x.x.x....."}

    bar = 0
    # Intro: pads and sparkle, the groove creeping in.
    render_pad(pad, intro, bar, 4, note("A4"), 64, rng=rng)
    render_rhythm_chords(keys, intro, bar, 4, note("A4"), "x-----x-x-----x-", 70, rng)
    render_arp(glock, intro, bar, 4, note("F5"), "x.x.x.x.x.x.x.x.", "updown", 62, rng)
    render_bass(bass, intro, bar, 4, "whole", 84, rng)
    render_drums(drums, bar + 2, 2, soft, 80, rng, crash=False)
    bar += 4
    # A: the theme.
    tune = theme(mel, verse, cadences, "arch")
    mel.place(lead, tune, bar, 96)
    render_pad(pad, verse, bar, 8, note("A4"), 60, rng=rng)
    render_rhythm_chords(keys, verse, bar, 8, note("A4"), "x-----x-x-----x-", 72, rng)
    render_bass(bass, verse, bar, 8, "bounce", 96, rng)
    render_drums(drums, bar, 8, groove, 88, rng, fill=fill)
    bar += 8
    # B: the bridge, glockenspiel answering the vibraphone.
    mel.pitch = note("D5")
    tune_b = theme(mel, bridge, cadences, "wave", half="third")
    mel.place(lead, tune_b, bar, 92)
    render_arp(glock, bridge, bar, 8, note("C6"), "..x...x...x...x.", "up", 56, rng)
    render_pad(pad, bridge, bar, 8, note("A4"), 62, rng=rng)
    render_rhythm_chords(keys, bridge, bar, 8, note("G4"), "x--x--x---x-x---", 70, rng)
    render_bass(bass, bridge, bar, 8, "walk", 94, rng)
    render_drums(drums, bar, 8, groove, 86, rng, fill=fill)
    bar += 8
    # A': the theme again, an octave-doubled glockenspiel joining in.
    mel.place(lead, tune, bar, 100)
    mel.place(glock, shift(tune, 12), bar, 52)
    render_pad(pad, verse, bar, 8, note("A4"), 60, rng=rng)
    render_rhythm_chords(keys, verse, bar, 8, note("A4"), "x-----x-x-----x-", 74, rng)
    render_bass(bass, verse, bar, 8, "bounce", 98, rng)
    render_drums(drums, bar, 8, groove, 90, rng)
    bar += 8
    # Turnaround: settles on C so the loop falls back into the intro's F.
    render_pad(pad, turn, bar, 4, note("A4"), 62, rng=rng)
    render_rhythm_chords(keys, turn, bar, 4, note("G4"), "x-----x-x-----x-", 70, rng)
    render_arp(glock, turn, bar, 4, note("F5"), "x.x.x.x.x.x.x.x.", "down", 58, rng)
    render_bass(bass, turn, bar, 4, "whole", 88, rng)
    render_drums(drums, bar, 4, soft, 80, rng, fill=fill)
    bar += 4
    song.finish(bar)
    return song


# --- Track 1: bouncy chiptune ------------------------------------------------------

def home():
    rng = Rng(0x40E)
    song = Song("Hopping Home", 150, rng, level=1.09)
    lead = song.part("Square lead", 1, 80, volume=92, pan=64, reverb=30)
    arp = song.part("Saw arpeggio", 2, 81, volume=56, pan=40, reverb=30)
    stab = song.part("Chord stabs", 3, 5, volume=76, pan=88, reverb=40)
    bass = song.part("Synth bass", 4, 38, volume=100)
    echo = song.part("Echo lead", 5, 80, volume=50, pan=100, reverb=60)
    drums = song.part("Drums", DRUMS, 0, volume=92, reverb=20)

    verse = [("C", 4), ("G", 4), ("Am", 4), ("F", 4), ("C", 4), ("G", 4), ("F", 4), ("G", 4)]
    minor = [("Am", 4), ("F", 4), ("C", 4), ("G", 4), ("Dm", 4), ("G", 4), ("Em", 4), ("Am", 4)]
    lift = [("F", 4), ("G", 4), ("Em", 4), ("Am", 4), ("Dm", 4), ("G", 4), ("C", 4), ("G", 4)]

    key = Key("C", "major")
    rhythms = [[(0, 0.5), (0.5, 0.5), (1, 1), (2.5, 0.5), (3, 1)],
               [(0, 1.5), (1.5, 0.5), (2, 1), (3, 0.5), (3.5, 0.5)],
               [(0, 0.5), (1, 0.5), (1.5, 0.5), (2, 2)],
               [(0, 0.75), (0.75, 0.75), (1.5, 0.5), (2, 1), (3, 1)]]
    cadences = ([(0, 0.5), (0.5, 0.5), (1, 1), (2, 2)], [(0, 1), (1, 1), (2, 1.5)])
    mel = Melody(key, note("C5"), note("C6"), rhythms, rng, leap=5)

    beat = {"k": "x.......x.......", "s": "....x.......x...", "h": "x.x.x.x.x.x.x.x."}
    busy = {"k": "x.....x.x.......", "s": "....x.......x..g", "h": "xxx.xxx.xxx.xxx.",
            "o": "..............x."}
    fill = {"k": "x.......x.......", "s": "....x...x.x.xxxx", "h": "x.x.x.x........."}
    tom_fill = {"k": "x.......", "H": "....x.x.xx......", "M": "..........xx....",
                "L": "............xxxx"}

    bar = 0
    render_arp(arp, [("C", 4), ("F", 4)], bar, 4, note("C5"), "x" * 16, "up", 70, rng)
    render_drums(drums, bar + 2, 2, {"h": "x.x.x.x.x.x.x.x.", "k": "x...x...x...x..."}, 90, rng,
                 fill=fill, crash=False)
    render_bass(bass, [("C", 4), ("F", 4)], bar + 2, 2, "drive", 90, rng)
    bar += 4

    tune = theme(mel, verse, cadences, "arch")
    for repeat in range(2):
        mel.place(lead, tune if repeat == 0 else new_last_bar(mel, tune, verse, cadences[1]),
                  bar, 100)
        if repeat == 1:
            mel.place(echo, [(t + PPQ // 2, l, p) for t, l, p in tune], bar, 80)
        render_arp(arp, verse, bar, 8, note("G4"), "x" * 16, "updown", 62, rng)
        render_rhythm_chords(stab, verse, bar, 8, note("E5"), "..x...x...x...x.", 78, rng, gate=0.5)
        render_bass(bass, verse, bar, 8, "bounce", 100, rng)
        render_drums(drums, bar, 8, beat if repeat == 0 else busy, 100, rng, fill=fill)
        bar += 8

    mel.pitch = note("E5")
    tune_b = theme(mel, minor, cadences, "wave", half="third")
    mel.place(lead, tune_b, bar, 96)
    render_arp(arp, minor, bar, 8, note("A4"), "x.xxx.xxx.xxx.xx", "down", 60, rng)
    render_pad(stab, minor, bar, 8, note("E5"), 58, size=3, rng=rng)
    render_bass(bass, minor, bar, 8, "drive", 96, rng)
    render_drums(drums, bar, 8, busy, 98, rng, fill=tom_fill)
    bar += 8

    # Breakdown: bass and drums alone, then the arpeggio winding back up.
    render_bass(bass, [("F", 4), ("G", 4)], bar, 4, "funk", 100, rng)
    render_drums(drums, bar, 4, {"k": "x..x..x...x.....", "c": "....x.......x...",
                                 "h": "x.x.x.x.x.x.x.x."}, 96, rng, fill=fill)
    render_arp(arp, [("F", 4), ("G", 4)], bar + 2, 2, note("C5"), "x" * 16, "up", 66, rng)
    bar += 4

    mel.pitch = note("A5")
    tune_c = theme(mel, lift, cadences, "rise", half="fifth")
    mel.place(lead, tune_c, bar, 100)
    mel.place(echo, shift(tune_c, -12), bar, 70)
    render_arp(arp, lift, bar, 8, note("G4"), "x" * 16, "updown", 62, rng)
    render_rhythm_chords(stab, lift, bar, 8, note("E5"), "x..x..x...x..x..", 76, rng, gate=0.5)
    render_bass(bass, lift, bar, 8, "bounce", 100, rng)
    render_drums(drums, bar, 8, busy, 100, rng, fill=tom_fill)
    bar += 8

    # The theme one last time, doubled an octave down, then the big finish.
    mel.place(lead, tune, bar, 104)
    mel.place(echo, shift(tune, -12), bar, 80)
    render_arp(arp, verse, bar, 8, note("G4"), "x" * 16, "updown", 64, rng)
    render_rhythm_chords(stab, verse, bar, 8, note("E5"), "..x...x...x...x.", 80, rng, gate=0.5)
    render_bass(bass, verse, bar, 8, "bounce", 102, rng)
    render_drums(drums, bar, 8, busy, 102, rng, fill=fill)
    bar += 8

    ending = [("F", 4), ("G", 4), ("C", 8)]
    lead.add(bar * BAR, 2 * PPQ - 30, note("A5"), 100)
    lead.add(bar * BAR + 2 * PPQ, 2 * PPQ - 30, note("C6"), 100)
    lead.add((bar + 1) * BAR, 2 * PPQ - 30, note("B5"), 100)
    lead.add((bar + 1) * BAR + 2 * PPQ, 2 * PPQ - 30, note("D6"), 104)
    lead.add((bar + 2) * BAR, 6 * PPQ, note("C6"), 108)
    render_rhythm_chords(stab, ending, bar, 2, note("E5"), "x..x..x...x.x...", 84, rng, gate=0.5)
    render_bass(bass, ending, bar, 2, "drive", 100, rng)
    render_drums(drums, bar, 2, busy, 100, rng, fill=fill)
    cadence_chord([(stab, note("E5"), 4), (bass, None, 1)], bar + 2, "C", beats=6)
    final_hit(drums, bar + 2, 110)
    bar += 4
    song.finish(bar)
    return song


# --- Track 2: adventurous ----------------------------------------------------------

def inds_08():
    rng = Rng(0x1D508)
    song = Song("Updraft Expedition", 132, rng, level=0.71)
    horn = song.part("French horn", 1, 60, volume=120, pan=60, reverb=60)
    strings = song.part("Strings", 2, 48, volume=80, pan=44, reverb=70)
    brass = song.part("Brass", 3, 61, volume=84, pan=84, reverb=50)
    bass = song.part("Bass", 4, 33, volume=100)
    pizz = song.part("Pizzicato", 5, 45, volume=80, pan=96, reverb=60)
    timp = song.part("Timpani", 6, 47, volume=96, reverb=60)
    trumpet = song.part("Trumpet", 7, 56, volume=86, pan=70, reverb=60)
    drums = song.part("Drums", DRUMS, 0, volume=92, reverb=40)

    main = [("Dm", 4), ("Bb", 4), ("C", 4), ("Dm", 4), ("Dm", 4), ("Bb", 4), ("Gm", 4), ("A", 4)]
    rise = [("F", 4), ("C", 4), ("Gm", 4), ("A", 4), ("Bb", 4), ("F", 4), ("Gm", 4), ("A", 4)]
    calm = [("Bb", 4), ("F", 4), ("C", 4), ("Dm", 4), ("Gm", 4), ("Dm", 4), ("Esus4", 2),
            ("E", 2), ("A", 4)]

    key = Key("D", "minor")
    rhythms = [[(0, 1.5), (1.5, 0.5), (2, 2)],
               [(0, 0.75), (0.75, 0.25), (1, 1), (2, 1), (3, 1)],
               [(0, 1), (1, 0.5), (1.5, 0.5), (2, 1.5), (3.5, 0.5)],
               [(0, 2), (2, 0.75), (2.75, 0.25), (3, 1)]]
    cadences = ([(0, 1), (1, 1), (2, 2)], [(0, 1.5), (1.5, 0.5), (2, 2)])
    mel = Melody(key, note("A3"), note("D5"), rhythms, rng, leap=5)

    gallop = {"k": "x.......x.x.....", "s": "....x.......x...", "h": "x.xxx.xxx.xxx.xx",
              "L": "..............x."}
    march = {"k": "x..x..x.x..x..x.", "s": "....x.......x.x.", "r": "x.x.x.x.x.x.x.x."}
    fill = {"k": "x.......x.......", "H": "....xx..........", "M": "......xx..xx....",
            "L": "............xxxx", "s": "........x.x....."}
    half = {"k": "x.........x.....", "s": "........x.......", "r": "x...x...x...x..."}
    ostinato = "x.xxx.xxx.xxx.xx"

    def timpani(bar, bars, prog):
        for b in range(bars):
            root = bass_note(chord_at(prog, b * BAR), note("F2"), note("E3"))
            timp.add((bar + b) * BAR, PPQ, root, 100)
            timp.add((bar + b) * BAR + 3 * PPQ + PPQ // 2, PPQ // 2, root, 80)

    bar = 0
    intro = [("Dm", 4), ("Dm", 4), ("Bb", 4), ("A", 4)]
    render_arp(strings, intro, bar, 4, note("D4"), ostinato, "updown", 78, rng, span=1, gate=0.6)
    timpani(bar, 4, intro)
    render_drums(drums, bar + 2, 2, half, 88, rng, fill=fill, crash=False)
    bar += 4

    tune = theme(mel, main, cadences, "arch")
    for repeat in range(2):
        mel.place(horn, tune, bar, 104 if repeat == 0 else 108)
        if repeat == 1:
            render_rhythm_chords(brass, main, bar, 8, note("F4"), "X.....x.....x...", 86, rng, gate=0.6)
        render_arp(strings, main, bar, 8, note("D4"), ostinato, "updown", 74, rng, span=1, gate=0.6)
        render_bass(bass, main, bar, 8, "drive", 96, rng)
        timpani(bar, 8, main)
        render_drums(drums, bar, 8, gallop if repeat == 0 else march, 98, rng, fill=fill)
        bar += 8

    mel.pitch = note("F4")
    tune_b = theme(mel, rise, cadences, "rise", half="third")
    mel.place(horn, tune_b, bar, 106)
    mel.place(trumpet, shift(tune_b, 12), bar + 4, 76)
    render_pad(strings, rise, bar, 8, note("F4"), 74, rng=rng)
    render_arp(pizz, rise, bar, 8, note("F4"), "x.x.x.x.x.x.x.x.", "up", 84, rng)
    render_rhythm_chords(brass, rise, bar, 8, note("F4"), "x..x..x.........", 80, rng, gate=0.5)
    render_bass(bass, rise, bar, 8, "drive", 96, rng)
    render_drums(drums, bar, 8, march, 98, rng, fill=fill)
    bar += 8

    # A calm stretch above the clouds: half-time, pizzicato and strings.
    mel.pitch = note("D4")
    tune_c = theme(mel, calm, cadences, "wave", half="fifth")
    mel.place(horn, tune_c, bar, 90)
    render_pad(strings, calm, bar, 8, note("F4"), 70, rng=rng)
    render_arp(pizz, calm, bar, 8, note("A4"), "x..x..x.x..x..x.", "updown", 80, rng)
    render_bass(bass, calm, bar, 8, "whole", 90, rng)
    render_drums(drums, bar, 8, half, 86, rng, fill=fill)
    bar += 8

    # The theme at full strength: trumpet an octave over the horn.
    mel.place(horn, tune, bar, 110)
    mel.place(trumpet, shift(tune, 12), bar, 92)
    render_rhythm_chords(brass, main, bar, 8, note("F4"), "X.....x.....x...", 90, rng, gate=0.6)
    render_arp(strings, main, bar, 8, note("D4"), ostinato, "updown", 78, rng, span=1, gate=0.6)
    render_bass(bass, main, bar, 8, "drive", 100, rng)
    timpani(bar, 8, main)
    render_drums(drums, bar, 8, march, 102, rng, fill=fill)
    bar += 8

    ending = [("Bb", 4), ("A", 4), ("Dm", 8)]
    render_rhythm_chords(brass, ending, bar, 2, note("F4"), "X..X..X.X..X..X.", 92, rng, gate=0.5)
    render_arp(strings, ending, bar, 2, note("D4"), ostinato, "updown", 80, rng, span=1, gate=0.6)
    render_bass(bass, ending, bar, 2, "drive", 100, rng)
    render_drums(drums, bar, 2, march, 100, rng, fill=fill)
    horn.add((bar + 2) * BAR, 7 * PPQ, note("D4"), 110)
    trumpet.add((bar + 2) * BAR, 7 * PPQ, note("A4"), 96)
    cadence_chord([(strings, note("D4"), 4), (brass, note("F4"), 3), (bass, None, 1)],
                  bar + 2, "Dm", beats=7)
    timp.add((bar + 2) * BAR, PPQ, note("D3"), 116)
    final_hit(drums, bar + 2, 112)
    bar += 4
    song.finish(bar)
    return song


# --- Track 3: jazzy funk -----------------------------------------------------------

def misc_03():
    rng = Rng(0x3C0C)
    song = Song("Prawn Cocktail Funk", 104, rng, level=1.14)
    sax = song.part("Alto sax", 1, 65, volume=100, pan=70, reverb=50)
    clav = song.part("Clavinet", 2, 7, volume=82, pan=36, reverb=30)
    horns = song.part("Brass hits", 3, 61, volume=84, pan=92, reverb=50)
    bass = song.part("Slap bass", 4, 36, volume=104)
    organ = song.part("Organ", 5, 16, volume=70, pan=56, reverb=50)
    guitar = song.part("Jazz guitar", 6, 26, volume=86, pan=80, reverb=50)
    drums = song.part("Drums", DRUMS, 0, volume=92, reverb=30)

    vamp = [("Em7", 4), ("A9", 4)] * 4
    bridge = [("Cmaj7", 4), ("Bm7", 4), ("Am7", 4), ("D9", 4),
              ("Cmaj7", 4), ("Bm7", 4), ("Am7", 2), ("D9", 2), ("B7", 4)]
    solo = [("Gmaj7", 4), ("F#m7", 4), ("Em7", 4), ("A9", 4)] * 2

    key = Key("E", "dorian")
    rhythms = [[(0, 0.75), (0.75, 0.75), (1.5, 0.5), (2.5, 0.5), (3, 0.5)],
               [(0.5, 0.25), (0.75, 0.75), (2, 0.5), (2.5, 1.5)],
               [(0, 0.5), (0.75, 0.25), (1, 0.5), (1.75, 0.75), (3, 1)],
               [(0.25, 0.25), (0.5, 0.5), (1, 1), (2.75, 1.25)]]
    cadences = ([(0, 0.75), (0.75, 0.75), (1.5, 2)], [(0, 0.5), (0.5, 0.5), (1, 2)])
    mel = Melody(key, note("B3"), note("E5"), rhythms, rng, leap=4)

    groove = {"k": "x..x..x...x..x..", "s": "....X..g.g..X..g", "h": "xxxxxxxxxxxxxx.x",
              "o": "..............x."}
    groove2 = {"k": "x..x..x.x.x..x..", "s": "....X..g.g..X.gg", "h": "x.xxx.xxx.xxx.x.", "o": "...............x",
               "t": "....x.......x..."}
    fill = {"k": "x..x..x.........", "s": "....X..g.gggxxxx", "h": "xxxxxxxx........",
            "M": "..............x."}
    clav_pat = "x.xx..x.x.xx..x."
    hits = "X.........X..x.."

    bar = 0
    render_bass(bass, vamp, bar, 4, "funk", 98, rng)
    render_drums(drums, bar, 4, groove, 92, rng, fill=fill, crash=False)
    render_rhythm_chords(clav, vamp, bar + 2, 2, note("G4"), clav_pat, 76, rng, gate=0.4)
    bar += 4

    tune = theme(mel, vamp, cadences, "wave", half="fifth")
    for repeat in range(2):
        mel.place(sax, tune, bar, 98, gate=0.85)
        render_rhythm_chords(clav, vamp, bar, 8, note("G4"), clav_pat, 78, rng, gate=0.4)
        if repeat == 1:
            render_rhythm_chords(horns, vamp, bar, 8, note("A4"), hits, 90, rng, gate=0.35)
            render_pad(organ, vamp, bar, 8, note("G4"), 56, rng=rng)
        render_bass(bass, vamp, bar, 8, "funk", 100, rng)
        render_drums(drums, bar, 8, groove if repeat == 0 else groove2, 96, rng, fill=fill)
        bar += 8

    mel.pitch = note("G4")
    tune_b = theme(mel, bridge, cadences, "arch", half="third")
    mel.place(sax, tune_b, bar, 100, gate=0.88)
    render_pad(organ, bridge, bar, 8, note("G4"), 66, rng=rng)
    render_rhythm_chords(clav, bridge, bar, 8, note("G4"), "x..x..x...x..x..", 74, rng, gate=0.4)
    render_bass(bass, bridge, bar, 8, "walk", 98, rng, low=note("E1"))
    render_drums(drums, bar, 8, {"k": "x.....x...x.....", "s": "....x.......x...",
                                 "r": "x.xxx.xxx.xxx.xx"}, 94, rng, fill=fill)
    bar += 8

    # A guitar solo over a brighter turnaround, horns punctuating.
    solo_mel = Melody(Key("G", "major"), note("G3"), note("G5"), rhythms, rng, leap=5)
    solo_line = theme(solo_mel, solo, cadences, "wave", half="fifth")
    solo_mel.place(guitar, solo_line, bar, 100, gate=0.8)
    render_rhythm_chords(horns, solo, bar, 8, note("A4"), "X.......x.x.....", 84, rng, gate=0.35)
    render_rhythm_chords(clav, solo, bar, 8, note("G4"), clav_pat, 72, rng, gate=0.4)
    render_bass(bass, solo, bar, 8, "funk", 100, rng)
    render_drums(drums, bar, 8, groove2, 96, rng, fill=fill)
    bar += 8

    # Everybody on the tune, sax and guitar in octaves.
    mel.place(sax, tune, bar, 102, gate=0.85)
    mel.place(guitar, shift(tune, -12), bar, 84, gate=0.8)
    render_rhythm_chords(horns, vamp, bar, 8, note("A4"), hits, 92, rng, gate=0.35)
    render_rhythm_chords(clav, vamp, bar, 8, note("G4"), clav_pat, 78, rng, gate=0.4)
    render_pad(organ, vamp, bar, 8, note("G4"), 58, rng=rng)
    render_bass(bass, vamp, bar, 8, "funk", 102, rng)
    render_drums(drums, bar, 8, groove2, 98, rng, fill=fill)
    bar += 8

    # Tag ending: three hits and a held E minor 9.
    ending = [("Cmaj7", 4), ("B7", 4), ("Em9", 8)]
    render_rhythm_chords(horns, ending, bar, 2, note("A4"), "X..X..X.........", 96, rng, gate=0.4)
    render_rhythm_chords(clav, ending, bar, 2, note("G4"), clav_pat, 78, rng, gate=0.4)
    render_bass(bass, ending, bar, 2, "funk", 100, rng)
    render_drums(drums, bar, 2, groove2, 98, rng, fill=fill)
    cadence_chord([(organ, note("G4"), 5), (horns, note("A4"), 4), (bass, None, 1)],
                  bar + 2, "Em9", beats=6)
    sax.add((bar + 2) * BAR, 6 * PPQ, note("B4"), 100)
    final_hit(drums, bar + 2, 108)
    bar += 4
    song.finish(bar)
    return song


# --- Track 4: heroic ---------------------------------------------------------------

def newa_11a():
    rng = Rng(0x11A)
    song = Song("Champion of the Sky Rabbit", 144, rng, level=0.84)
    trumpet = song.part("Trumpet", 1, 56, volume=112, pan=64, reverb=60)
    brass = song.part("Brass section", 2, 61, volume=76, pan=84, reverb=60)
    strings = song.part("Strings", 3, 48, volume=72, pan=40, reverb=70)
    bass = song.part("Bass", 4, 33, volume=100)
    choir = song.part("Choir", 5, 52, volume=74, reverb=90)
    timp = song.part("Timpani", 6, 47, volume=96, reverb=60)
    horn = song.part("Horns", 7, 60, volume=92, pan=50, reverb=70)
    drums = song.part("Drums", DRUMS, 0, volume=96, reverb=40)

    verse = [("Bb", 4), ("F", 4), ("Gm", 4), ("Eb", 4), ("Bb", 4), ("F", 4), ("Eb", 4), ("F", 4)]
    climb = [("Eb", 4), ("F", 4), ("Dm", 4), ("Gm", 4), ("Eb", 4), ("F", 4), ("Gsus4", 2),
             ("G", 2), ("F", 4)]
    bridge = [("Gm", 4), ("Eb", 4), ("Bb", 4), ("F", 4), ("Gm", 4), ("Eb", 4), ("Cm", 4),
              ("F", 2), ("G", 2)]
    # The last chorus rises a whole tone into C.
    chorus_c = [("C", 4), ("G", 4), ("Am", 4), ("F", 4), ("C", 4), ("G", 4), ("F", 4), ("G", 4)]

    key = Key("Bb", "major")
    rhythms = [[(0, 1.5), (1.5, 0.5), (2, 1), (3, 1)],
               [(0, 0.75), (0.75, 0.25), (1, 1), (2, 2)],
               [(0, 1), (1, 1), (2, 0.75), (2.75, 0.25), (3, 1)],
               [(0, 2), (2, 1), (3, 0.5), (3.5, 0.5)]]
    cadences = ([(0, 1), (1, 1), (2, 2)], [(0, 0.75), (0.75, 0.25), (1, 3)])
    mel = Melody(key, note("Bb4"), note("Bb5"), rhythms, rng, leap=5)

    rock = {"k": "x.......x.x.....", "s": "....X.......X...", "h": "x.x.x.x.x.x.x.x."}
    drive = {"k": "x.x...x.x.x...x.", "s": "....X.......X...", "r": "x.x.x.x.x.x.x.x."}
    fill = {"k": "x.......x.......", "s": "....X...xxxx....", "H": "............xx..",
            "L": "..............xx"}
    half = {"k": "x.........x.....", "s": "........X.......", "h": "x.x.x.x.x.x.x.x."}
    fanfare = "X..X..X.X-------"

    def timpani(bar, bars, prog, low=note("F2")):
        for b in range(bars):
            root = bass_note(chord_at(prog, b * BAR), low, low + 11)
            timp.add((bar + b) * BAR, PPQ, root, 104)

    bar = 0
    intro = [("Bb", 4), ("Eb", 2), ("F", 2), ("Bb", 4), ("F", 4)]
    render_rhythm_chords(brass, intro, bar, 4, note("F4"), fanfare, 96, rng, size=4, gate=0.9)
    render_pad(strings, intro, bar, 4, note("D4"), 76, rng=rng)
    render_bass(bass, intro, bar, 4, "whole", 96, rng)
    timpani(bar, 4, intro)
    render_drums(drums, bar, 4, half, 96, rng, fill=fill)
    bar += 4

    tune = theme(mel, verse, cadences, "arch")
    mel.place(trumpet, tune, bar, 104)
    render_pad(strings, verse, bar, 8, note("D4"), 72, rng=rng)
    render_rhythm_chords(brass, verse, bar, 8, note("F4"), "x..x..x.........", 82, rng, gate=0.6)
    render_bass(bass, verse, bar, 8, "drive", 98, rng)
    render_drums(drums, bar, 8, rock, 100, rng, fill=fill)
    bar += 8

    mel.pitch = note("C5")
    tune_b = theme(mel, climb, cadences, "rise", half="third")
    mel.place(trumpet, tune_b, bar, 104)
    mel.place(horn, shift(tune_b, -12), bar, 84)
    render_arp(strings, climb, bar, 8, note("F4"), "x.xxx.xxx.xxx.xx", "updown", 74, rng, span=1, gate=0.6)
    render_rhythm_chords(brass, climb, bar, 8, note("F4"), "X.....x.....x...", 86, rng, gate=0.6)
    render_bass(bass, climb, bar, 8, "drive", 100, rng)
    timpani(bar, 8, climb)
    render_drums(drums, bar, 8, drive, 102, rng, fill=fill)
    bar += 8

    mel.place(trumpet, tune, bar, 108)
    mel.place(horn, shift(tune, -12), bar, 88)
    render_arp(strings, verse, bar, 8, note("D5"), "x.xxx.xxx.xxx.xx", "updown", 72, rng, span=1, gate=0.6)
    render_rhythm_chords(brass, verse, bar, 8, note("F4"), "x..x..x...x.....", 86, rng, gate=0.6)
    render_bass(bass, verse, bar, 8, "drive", 100, rng)
    render_drums(drums, bar, 8, drive, 102, rng, fill=fill)
    bar += 8

    # Bridge: half-time, the horns take the tune and the choir enters.
    mel.pitch = note("G4")
    tune_c = theme(mel, bridge, cadences, "wave", half="fifth")
    mel.place(horn, tune_c, bar, 100)
    render_pad(choir, bridge, bar, 8, note("D4"), 70, rng=rng)
    render_pad(strings, bridge, bar, 8, note("G4"), 70, rng=rng)
    render_bass(bass, bridge, bar, 8, "whole", 94, rng)
    timpani(bar, 8, bridge)
    render_drums(drums, bar, 8, half, 96, rng, fill=fill)
    bar += 8

    # Last chorus in C: everyone, the theme transposed up a whole tone.
    up = shift(tune, 2)
    mel.place(trumpet, up, bar, 112)
    mel.place(horn, shift(up, -12), bar, 92)
    render_pad(choir, chorus_c, bar, 8, note("E4"), 72, rng=rng)
    render_arp(strings, chorus_c, bar, 8, note("E5"), "x.xxx.xxx.xxx.xx", "updown", 74, rng, span=1, gate=0.6)
    render_rhythm_chords(brass, chorus_c, bar, 8, note("G4"), "X..x..x...x.....", 90, rng, gate=0.6)
    render_bass(bass, chorus_c, bar, 8, "drive", 102, rng)
    timpani(bar, 8, chorus_c, note("G2"))
    render_drums(drums, bar, 8, drive, 106, rng, fill=fill)
    bar += 8

    ending = [("F", 2), ("G", 2), ("Am", 2), ("G", 2), ("C", 8)]
    render_rhythm_chords(brass, ending, bar, 2, note("G4"), "X...X...X...X...", 96, rng, size=4, gate=0.8)
    render_bass(bass, ending, bar, 2, "drive", 102, rng)
    render_drums(drums, bar, 2, drive, 104, rng, fill=fill)
    trumpet.add((bar + 2) * BAR, 7 * PPQ, note("C5"), 112)
    horn.add((bar + 2) * BAR, 7 * PPQ, note("G4"), 100)
    cadence_chord([(strings, note("E4"), 4), (brass, note("G4"), 4), (choir, note("E4"), 3),
                   (bass, None, 1)], bar + 2, "C", beats=7)
    timp.add((bar + 2) * BAR, PPQ, note("C3"), 120)
    final_hit(drums, bar + 2, 116, (49, 57))
    bar += 4
    song.finish(bar)
    return song


TRACKS = [("BGLOOP2.mid", bgloop2), ("Home.mid", home), ("INDS_08.mid", inds_08),
          ("MISC_03.mid", misc_03), ("NEWA_11A.mid", newa_11a)]


def main(argv):
    if len(argv) < 2:
        sys.stderr.write("usage: tracks.py OUTDIR [--lengths]\n")
        return 2
    os.makedirs(argv[1], exist_ok=True)
    for name, make in TRACKS:
        song = make()
        song.write(os.path.join(argv[1], name))
        if "--lengths" in argv:
            bpm = song.tempos[0][1]
            print("%-13s %5.1f s  %d bpm  %s" % (name, song.seconds(), bpm, song.title))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
