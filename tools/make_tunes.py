#!/usr/bin/env python3
"""Composes the two tunes of the constitution gate window and writes them as MIDI files.

GateTune1 is a solemn march in B-flat major: Standard MIDI File format 1, nine tracks (a
conductor track and eight instruments), 240 ticks per quarter note. GateTune2 is a hymn in
F major for four-part choir, organ, strings, brass, timpani and harp: format 1, seventeen
tracks (a conductor track and sixteen instruments), 120 ticks per quarter note.

The music is written out below note by note; only the inner voices of the hymn and the
accompaniment figures are worked out from the chords by simple voice-leading rules. Nothing
is random, so running the script again gives the same bytes.

Usage: tools/make_tunes.py [--out-dir DIR] [--seed-dir DIR]
    --out-dir   where GateTune1.mid and GateTune2.mid go (default: resources/ of the repo)
    --seed-dir  also write short excerpts of both tunes there, as fuzzing seeds
"""
import argparse
import itertools
import pathlib
import sys

# ---------------------------------------------------------------------------------------------
# Notes, durations and chords

PITCH_CLASSES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
BEATS = {"w": 4.0, "h": 2.0, "q": 1.0, "e": 0.5, "s": 0.25}


def pitch_class(name):
    pc = PITCH_CLASSES[name[0]]
    for accidental in name[1:]:
        pc += {"b": -1, "#": 1}[accidental]
    return pc % 12


def key_number(name):
    """'Bb4' -> 70; octave 4 holds middle C (60)."""
    i = 1
    while i < len(name) and name[i] in "b#":
        i += 1
    return 12 * (int(name[i:]) + 1) + (PITCH_CLASSES[name[0]] + name[1:i].count("#") - name[1:i].count("b"))


def parse_line(text):
    """'Bb4:q. r:e C5:h' -> [(70, 1.5), (None, 0.5), (72, 2.0)]."""
    notes = []
    for token in text.split():
        name, length = token.split(":")
        beats = BEATS[length.rstrip(".")]
        if length.endswith("."):
            beats *= 1.5
        notes.append((None if name == "r" else key_number(name), beats))
    return notes


QUALITIES = {
    "": (0, 4, 7),
    "m": (0, 3, 7),
    "7": (0, 4, 7, 10),
    "m7": (0, 3, 7, 10),
    "dim": (0, 3, 6),
}


class Chord:
    """A chord symbol such as 'F', 'Gm7', 'C/E' or 'Bb/F'."""

    def __init__(self, symbol):
        self.symbol = symbol
        body, _, bass = symbol.partition("/")
        root_len = 2 if len(body) > 1 and body[1] in "b#" else 1
        self.root = pitch_class(body[:root_len])
        intervals = QUALITIES[body[root_len:]]
        self.tones = [(self.root + i) % 12 for i in intervals]
        self.third = self.tones[1]
        self.fifth = self.tones[2]
        self.seventh = self.tones[3] if len(self.tones) > 3 else None
        self.bass = pitch_class(bass) if bass else self.root

    def contains(self, key):
        return key % 12 in self.tones


def keys_in_range(pcs, low, high):
    return [k for k in range(low, high + 1) if k % 12 in pcs]


def nearest(candidates, target):
    """The candidate closest to target; on a tie the lower one, for a steady sound."""
    return min(candidates, key=lambda k: (abs(k - target), k))


# ---------------------------------------------------------------------------------------------
# Standard MIDI File writing

def var_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


class Track:
    """One track chunk: meta events, controller settings and notes, each at an absolute tick."""

    SETUP, NOTE_OFF, NOTE_ON = 0, 1, 2  # order of events that share a tick

    def __init__(self, name, channel=None, program=None, volume=100, pan=64, reverb=48):
        self.name = name
        self.channel = channel
        self.events = []
        self.meta(0, 0x03, name.encode("ascii"))
        if channel is not None:
            if program is not None:
                self.channel_message(0, 0xC0, [program])
            self.channel_message(0, 0xB0, [7, volume])
            self.channel_message(0, 0xB0, [10, pan])
            self.channel_message(0, 0xB0, [91, reverb])

    def meta(self, tick, kind, data):
        self.events.append((tick, self.SETUP, len(self.events), bytes([0xFF, kind]) + var_length(len(data)) + data))

    def channel_message(self, tick, kind, data, order=SETUP):
        assert all(0 <= b < 0x80 for b in data), (self.name, data)
        self.events.append((tick, order, len(self.events), bytes([kind | self.channel] + data)))

    def note(self, tick, length, key, velocity):
        assert 0 <= key < 128 and 1 <= velocity <= 127 and length > 0, (self.name, tick, key, velocity)
        self.channel_message(tick, 0x90, [key, velocity], self.NOTE_ON)
        self.channel_message(tick + length, 0x80, [key, 0], self.NOTE_OFF)

    def last_tick(self):
        return max(tick for tick, *_ in self.events)

    def encode(self, end_tick):
        body = bytearray()
        now = 0
        running = None
        for tick, _, _, data in sorted(self.events):
            body += var_length(tick - now)
            now = tick
            status = data[0]
            if status < 0xF0 and status == running:
                body += data[1:]  # running status: the status byte is left out
            else:
                body += data
            # Meta events cancel running status for the reader, so the next message repeats it.
            running = status if status < 0xF0 else None
        body += var_length(end_tick - now) + b"\xFF\x2F\x00"
        return b"MTrk" + len(body).to_bytes(4, "big") + bytes(body)


def encode_song(tracks, ticks_per_quarter):
    end_tick = max(track.last_tick() for track in tracks)
    header = b"MThd" + (6).to_bytes(4, "big") + (1).to_bytes(2, "big") + len(tracks).to_bytes(2, "big")
    header += ticks_per_quarter.to_bytes(2, "big")
    return header + b"".join(track.encode(end_tick) for track in tracks)


def check_notes(tracks):
    """Every note on has its note off, and no key is struck again on a channel while it sounds.
    Events are taken in the order a player merges the tracks: by tick, then track by track, so
    two tracks sharing a channel must not hand a key over at the same tick."""
    events = []
    for track_index, track in enumerate(tracks):
        for position, (tick, _, _, data) in enumerate(sorted(track.events)):
            if data[0] < 0xF0 and data[0] & 0xE0 == 0x80:
                events.append((tick, track_index, position, data[0] & 0xF0, data[0] & 0x0F, data[1], track.name))
    sounding = {}
    for tick, _, _, kind, channel, key, name in sorted(events):
        if kind == 0x90:
            assert (channel, key) not in sounding, f"{name}: key {key} struck twice at tick {tick}"
            sounding[(channel, key)] = name
        else:
            assert sounding.pop((channel, key), None) is not None, f"{name}: key {key} off at {tick} was not on"
    assert not sounding, f"notes left on: {sounding}"


class Conductor(Track):
    def __init__(self, title, ticks_per_quarter, numerator, key_fifths):
        super().__init__(title)
        self.tpq = ticks_per_quarter
        self.meta(0, 0x58, bytes([numerator, 2, 24, 8]))
        self.meta(0, 0x59, bytes([key_fifths & 0xFF, 0]))

    def tempo(self, beat, quarter_notes_a_minute):
        micros = round(60_000_000 / quarter_notes_a_minute)
        self.meta(round(beat * self.tpq), 0x51, micros.to_bytes(3, "big"))


def song_seconds(conductor, end_tick):
    tempos = sorted((tick, int.from_bytes(data[3:], "big")) for tick, _, _, data in conductor.events
                    if data[:2] == b"\xFF\x51")
    seconds, last_tick, micros = 0.0, 0, 500000
    for tick, new_micros in tempos + [(end_tick, 0)]:
        seconds += (tick - last_tick) * micros / conductor.tpq / 1e6
        last_tick, micros = tick, new_micros
    return seconds


# ---------------------------------------------------------------------------------------------
# GateTune1: a march in B-flat major, 4/4, crotchet = 96

MARCH_TPQ = 240

# (melody, chords per half bar) for each bar; the intro's first bar is for drums and timpani.
MARCH_INTRO = [
    ("r:w", "F7 F7"),
    ("r:h F4:q. F4:e", "F7 F7"),
]
MARCH_A = [
    ("Bb4:q. D5:e F5:h", "Bb Bb"),
    ("Eb5:q. D5:e C5:q Bb4:q", "Eb F/A"),
    ("C5:q. D5:e Eb5:q C5:q", "Cm F7"),
    ("D5:h C5:h", "Bb F"),
    ("Bb4:q. D5:e F5:q Bb5:q", "Bb Gm7"),
    ("A5:q. G5:e F5:q Eb5:q", "F Bb/D"),
    ("D5:q C5:q Eb5:q. C5:e", "Gm F7"),
    ("Bb4:h. r:q", "Bb Bb"),
]
MARCH_B = [
    ("G4:q. A4:e Bb4:q D5:q", "Gm Gm"),
    ("Eb5:h D5:q C5:q", "Cm D7"),
    ("Bb4:q. C5:e A4:q F#4:q", "Gm D7"),
    ("G4:h. r:q", "Gm Gm"),
    ("Eb5:q. Eb5:e D5:q C5:q", "Cm Bb"),
    ("D5:q. D5:e C5:q Bb4:q", "Gm F"),
    ("C5:q Bb4:q A4:q C5:q", "Cm7 F"),
    ("F5:q. Eb5:e D5:q C5:q", "F7 F7"),
]
MARCH_CODA = [
    ("Eb5:q. D5:e C5:q F5:q", "Eb F7"),
    ("Bb5:w", "Bb Bb"),
]
MARCH_BARS = MARCH_INTRO + MARCH_A + MARCH_B + MARCH_A + MARCH_CODA
MARCH_B_START = len(MARCH_INTRO) + len(MARCH_A)
MARCH_A2_START = MARCH_B_START + len(MARCH_B)
MARCH_CODA_START = MARCH_A2_START + len(MARCH_A)

KICK, SIDE_STICK, SNARE, CRASH, CRASH2, RIDE = 35, 37, 38, 49, 57, 51


def march_section(bar):
    if bar < MARCH_B_START:
        return "intro" if bar < len(MARCH_INTRO) else "A"
    if bar < MARCH_A2_START:
        return "B"
    return "A2" if bar < MARCH_CODA_START else "coda"


def compose_march():
    tpq = MARCH_TPQ

    def beat(beats):
        return round(beats * tpq)

    conductor = Conductor("GateTune1 march", tpq, 4, -2)
    conductor.tempo(0, 96)
    conductor.tempo(4 * (len(MARCH_BARS) - 2) + 2, 90)
    conductor.tempo(4 * (len(MARCH_BARS) - 1), 80)
    conductor.tempo(4 * (len(MARCH_BARS) - 1) + 2, 66)

    trumpet = Track("Trumpets", 0, 56, volume=110, pan=70)
    horns = Track("Horns", 1, 60, volume=96, pan=44)
    trombone = Track("Trombones", 2, 57, volume=96, pan=84)
    tuba = Track("Tuba", 3, 58, volume=104, pan=64)
    strings = Track("Strings", 4, 48, volume=80, pan=56)
    timpani = Track("Timpani", 5, 47, volume=100, pan=64)
    snare = Track("Snare drum", 9, None, volume=90, pan=60)
    bass_drum = Track("Bass drum and cymbals", 9, None, volume=100, pan=68)

    horn_voices = [62, 58]  # D4 and Bb3 before the first chord
    trombone_key = 53
    string_voices = [70, 65, 62]
    melody_velocity = {"intro": 92, "A": 90, "B": 78, "A2": 104, "coda": 110}

    for bar, (melody_text, chord_text) in enumerate(MARCH_BARS):
        start = 4 * bar
        section = march_section(bar)
        chords = [Chord(symbol) for symbol in chord_text.split()]
        last_bar = bar == len(MARCH_BARS) - 1

        # Melody: trumpets, detached a little as brass is in a march; the horns take it over
        # an octave lower for the first half of the trio-like middle section.
        at = start
        melody_track, shift = trumpet, 0
        if section == "B" and bar < MARCH_B_START + 4:
            melody_track, shift = horns, -12
        for index, (key, beats) in enumerate(parse_line(melody_text)):
            if key is not None:
                length = beats if last_bar else beats * (0.92 if beats >= 1 else 0.8)
                accent = 8 if (at - start) in (0, 2) else 0
                if at == start and index == 0 and section == "coda":
                    accent += 4
                melody_track.note(beat(at), beat(length), key + shift, melody_velocity[section] + accent)
            at += beats

        for half, chord in enumerate(chords):
            half_start = start + 2 * half
            # Tuba: on beats one and three, the bass note, or the fifth when the chord stays.
            if (section != "intro" or bar == 1) and not (last_bar and half == 1):
                bass = nearest(keys_in_range([chord.bass], 34, 49), 41)
                if half == 1 and chord.symbol == chords[0].symbol:
                    bass = nearest(keys_in_range([chord.fifth], 34, 50), bass)
                velocity = 84 if section == "B" else 96
                length = 4 if last_bar else 1.8 if section == "B" else 0.9
                tuba.note(beat(half_start), beat(length), bass, velocity + (10 if last_bar else 0))

            # Horns: after-beats on 2 and 4, two chord tones moved as little as possible.
            if section in ("A", "A2") or (section == "B" and bar >= MARCH_B_START + 4) or section == "coda":
                horn_voices = move_voices(horn_voices, chord, 53, 69)
                if section == "coda":
                    length = 2 if not last_bar else 4
                    if half == 0 or not last_bar:
                        for key in horn_voices:
                            horns.note(beat(half_start), beat(length * 0.95), key, 96)
                else:
                    for key in horn_voices:
                        horns.note(beat(half_start + 1), beat(0.45), key, 82 if section != "A2" else 92)

            # Trombones: a held chord tone per half bar, a slow counter-line below the melody.
            if section != "intro" and not (last_bar and half == 1):
                tones = [pc for pc in chord.tones if pc != chord.bass] or chord.tones
                trombone_key = nearest(keys_in_range(tones, 46, 62), trombone_key)
                length = 2 * 0.94 if not last_bar else 4
                trombone.note(beat(half_start), beat(length), trombone_key, 86 if section != "B" else 76)

            # Strings: soft held harmony, fuller in the middle section where the brass thins out.
            if section != "intro" and not (last_bar and half == 1):
                string_voices = move_voices(string_voices, chord, 58, 79)
                velocity = {"A": 60, "B": 76, "A2": 72, "coda": 84}[section]
                for key in string_voices:
                    strings.note(beat(half_start), beat(2 if not last_bar else 4), key, velocity)

        # Timpani: a roll into the march, strokes on tonic and dominant, a roll at the end.
        if bar == 0:
            roll(timpani, beat(start), beat(4), tpq // 4, key_number("F2"), 40, 96)
        elif bar == 1:
            timpani.note(beat(start), beat(1), key_number("F2"), 110)
        elif last_bar:
            roll(timpani, beat(start), beat(3), tpq // 4, key_number("Bb2"), 70, 112)
            timpani.note(beat(start + 3), beat(1), key_number("Bb2"), 120)
        else:
            for half, chord in enumerate(chords):
                if chord.root in (pitch_class("Bb"), pitch_class("F")) and chord.bass == chord.root:
                    key = key_number("Bb2") if chord.root == pitch_class("Bb") else key_number("F2")
                    if half == 0 or section in ("A2", "coda"):
                        timpani.note(beat(start + 2 * half), beat(0.5), key, 96 if section != "B" else 80)

        march_drums(snare, bass_drum, bar, start, section, last_bar, beat)

    tracks = [conductor, trumpet, horns, trombone, tuba, strings, timpani, snare, bass_drum]
    return tracks, tpq


def roll(track, start_tick, length_ticks, stroke_ticks, key, from_velocity, to_velocity):
    strokes = length_ticks // stroke_ticks
    for i in range(strokes):
        velocity = round(from_velocity + (to_velocity - from_velocity) * i / max(strokes - 1, 1))
        track.note(start_tick + i * stroke_ticks, stroke_ticks // 2, key, velocity)


def move_voices(voices, chord, low, high):
    """The chord tones nearest the voices, kept distinct and in order, highest first."""
    best = None
    candidates = keys_in_range(chord.tones, low, high)
    for combination in itertools.combinations(sorted(candidates, reverse=True), len(voices)):
        pcs = {k % 12 for k in combination}
        cost = sum(abs(a - b) for a, b in zip(combination, voices))
        cost += 0 if chord.third in pcs else 12
        if best is None or cost < best[0]:
            best = (cost, list(combination))
    return best[1]


def march_drums(snare, bass_drum, bar, start, section, last_bar, beat):
    sixteenth = beat(0.25)
    if bar == 0:
        roll(snare, beat(start), beat(4), beat(0.125), SNARE, 30, 100)
        return
    if bar == 1:
        for at, velocity in ((0, 112), (1, 80), (2, 90), (3, 84), (3.5, 88), (3.75, 96)):
            snare.note(beat(start + at), sixteenth, SNARE, velocity)
        bass_drum.note(beat(start), sixteenth, KICK, 110)
        bass_drum.note(beat(start), sixteenth, CRASH, 100)
        return
    if last_bar:
        roll(snare, beat(start), beat(3), beat(0.125), SNARE, 60, 110)
        snare.note(beat(start + 3), sixteenth, SNARE, 120)
        for key in (KICK, CRASH, CRASH2):
            bass_drum.note(beat(start + 3), beat(1), key, 124)
        return
    if section == "B":
        # Quieter in the middle: side stick on the after-beats, the bass drum only on one.
        for at in (1, 3):
            snare.note(beat(start + at), sixteenth, SIDE_STICK, 70)
        bass_drum.note(beat(start), sixteenth, KICK, 84)
        if bar == MARCH_B_START:
            bass_drum.note(beat(start), beat(1), RIDE, 70)
        return
    # The march pattern: quarter, eighth-eighth, quarter, eighth and two sixteenths.
    pattern = ((0, 100), (1, 72), (1.5, 78), (2, 92), (3, 72), (3.5, 80), (3.75, 86))
    loud = 10 if section in ("A2", "coda") else 0
    for at, velocity in pattern:
        snare.note(beat(start + at), sixteenth, SNARE, min(velocity + loud, 127))
    for at in (0, 2):
        bass_drum.note(beat(start + at), sixteenth, KICK, 100 + loud if at == 0 else 86 + loud)
    if bar in (len(MARCH_INTRO), MARCH_A2_START, MARCH_CODA_START) or (section == "A2" and bar % 4 == 2):
        bass_drum.note(beat(start), beat(1), CRASH, 96 + loud)


# ---------------------------------------------------------------------------------------------
# GateTune2: a hymn in F major, 4/4, crotchet = 84

HYMN_TPQ = 120

# The tune with its harmony, a chord for every melody note: four phrases of four bars, the
# first ending on the dominant, the second on the tonic, the third turning to D minor and back
# to the dominant, the fourth climbing to the top F and closing on the tonic.
HYMN_TUNE = [
    "F4:q:F A4:q:Dm C5:h:F/A",
    "D5:q:Bb C5:q:F Bb4:q:Gm A4:q:Dm",
    "G4:q:C/E A4:q:F Bb4:q:Gm G4:q:Gm/Bb",
    "A4:h:F/C G4:h:C",
    "F4:q:F A4:q:Dm C5:q:Am F5:q:Dm",
    "E5:q:C D5:q:Bb C5:h:F/A",
    "D5:q:Bb Bb4:q:Gm A4:q:F/C G4:q:C7",
    "F4:w:F",
    "A4:q:Dm D5:q:Dm E5:q:A/C# F5:q:Dm",
    "E5:q:C D5:q:Bb C5:h:Am",
    "Bb4:q:Gm C5:q:F/A D5:q:Bb Bb4:q:Gm",
    "C5:h:C C5:h:C7",
    "F5:h:F E5:q:C/E D5:q:Dm",
    "C5:q:Am F5:q:Dm D5:q:Bb C5:q:F/A",
    "A4:h:F/C G4:h:C7",
    "F4:w:F",
]
HYMN_AMEN = ["D5:w:Bb/F", "C5:w:F"]


def parse_hymn(lines):
    """[(soprano key, beats, Chord)] for the given bars."""
    events = []
    for line in lines:
        for token in line.split():
            name, length, symbol = token.split(":")
            [(key, beats)] = parse_line(f"{name}:{length}")
            events.append((key, beats, Chord(symbol)))
    return events


RANGES = {"alto": (55, 72), "tenor": (48, 67), "bass": (40, 60)}


def harmonize(events):
    """Alto, tenor and bass for a soprano line, by a few rules of four-part writing: voices in
    range and in order, no more than an octave between the upper voices, a full chord with the
    third present, no doubled leading tone or third where it can be helped, no parallel fifths
    or octaves, and each voice moving as little as it can."""
    voices = []
    previous = None
    for soprano, _, chord in events:
        bass_candidates = keys_in_range([chord.bass], *RANGES["bass"])
        bass_target = previous[3] if previous else 48
        best = None
        for bass in bass_candidates:
            for alto in keys_in_range(chord.tones, *RANGES["alto"]):
                for tenor in keys_in_range(chord.tones, *RANGES["tenor"]):
                    if not soprano > alto > tenor > bass:
                        continue
                    if soprano - alto > 12 or alto - tenor > 12 or tenor - bass > 19:
                        continue
                    chord_keys = (soprano, alto, tenor, bass)
                    cost = voicing_cost(chord_keys, chord, previous, bass_target)
                    if best is None or cost < best[0]:
                        best = (cost, chord_keys)
        assert best, f"no voicing for {chord.symbol} under {soprano}"
        previous = best[1]
        voices.append(previous)
    return voices


def voicing_cost(keys, chord, previous, bass_target):
    pcs = [k % 12 for k in keys]
    cost = 0.0
    if chord.third not in pcs:
        cost += 40
    if chord.root not in pcs:
        cost += 20
    if chord.seventh is not None and chord.seventh not in pcs:
        cost += 15
    if chord.seventh is not None and pcs.count(chord.seventh) > 1:
        cost += 30
    if pcs.count(chord.third) > 1:
        cost += 6 if (chord.third - chord.root) % 12 == 4 else 2  # a doubled major third sounds heavy
    if pcs.count(pitch_class("E")) > 1:  # the leading tone of F major
        cost += 25
    if chord.fifth not in pcs:
        cost += 4
    if max(pcs.count(pc) for pc in pcs) > 2:
        cost += 10
    cost += abs(keys[3] - bass_target) * 0.5
    if previous:
        cost += sum(abs(a - b) for a, b in zip(keys[1:3], previous[1:3]))
        for i, j in itertools.combinations(range(4), 2):
            before = (previous[i] - previous[j]) % 12
            after = (keys[i] - keys[j]) % 12
            moved = previous[i] != keys[i] and previous[j] != keys[j]
            if moved and before == after and after in (0, 7):
                cost += 100
    return cost


def compose_hymn():
    tpq = HYMN_TPQ

    def beat(beats):
        return round(beats * tpq)

    conductor = Conductor("GateTune2 hymn", tpq, 4, -1)

    intro = parse_hymn(HYMN_TUNE[12:16])
    verse = parse_hymn(HYMN_TUNE)
    amen = parse_hymn(HYMN_AMEN)
    intro_voices = harmonize(intro)
    verse_voices = harmonize(verse)
    amen_voices = harmonize(amen)

    intro_beats = 4 * 4
    verse_beats = 4 * len(HYMN_TUNE)
    verse1_start = intro_beats
    verse2_start = verse1_start + verse_beats
    amen_start = verse2_start + verse_beats
    end_beat = amen_start + 4 * len(HYMN_AMEN)

    conductor.tempo(0, 84)
    conductor.tempo(verse1_start - 2, 76)  # the intro draws breath before the singing starts
    conductor.tempo(verse1_start, 84)
    conductor.tempo(verse2_start - 2, 78)
    conductor.tempo(verse2_start, 84)
    conductor.tempo(amen_start - 4, 78)
    conductor.tempo(amen_start - 2, 70)
    conductor.tempo(amen_start, 66)
    conductor.tempo(end_beat - 2, 56)

    choir = [Track("Sopranos", 0, 52, 100, 58), Track("Altos", 1, 52, 92, 70),
             Track("Tenors", 2, 53, 92, 52), Track("Basses", 3, 53, 96, 76)]
    organ = Track("Organ manuals", 4, 19, 84, 64)
    organ_pedal = Track("Organ pedal", 5, 19, 88, 64)
    violins1 = Track("Violins I", 6, 48, 88, 40)
    violins2 = Track("Violins II", 7, 48, 84, 50)
    violas = Track("Violas", 8, 41, 82, 74)
    cellos = Track("Cellos", 10, 42, 88, 84)
    basses = Track("Double basses", 11, 43, 86, 92)
    trumpet = Track("Trumpet", 12, 56, 92, 66)
    horns = Track("Horns", 13, 60, 86, 46)
    timpani = Track("Timpani", 14, 47, 92, 64)
    harp = Track("Harp", 15, 46, 80, 30)

    def play_part(track, start, events, keys, velocity, shift=0, legato=1.0):
        at = start
        for (_, beats, _), key in zip(events, keys):
            track.note(beat(at), beat(beats * legato), key + shift, velocity)
            at += beats

    def play_chords(start, events, voices, velocity, verse_no):
        # Organ in every section: the manuals take the upper three voices, the pedal the bass
        # in two octaves, as 8' and 16' stops would sound it.
        soprano, alto, tenor, bass = (list(v) for v in zip(*voices))
        for part in (soprano, alto, tenor):
            play_part(organ, start, events, part, velocity - 10)
        play_part(organ_pedal, start, events, bass, velocity - 10)
        play_part(organ_pedal, start, events, bass, velocity - 6, shift=-12)
        if verse_no is None:
            return
        for track, part in zip(choir, (soprano, alto, tenor, bass)):
            play_part(track, start, events, part, velocity + (6 if track is choir[0] else 0), legato=0.96)
        strings_velocity = velocity - (14 if verse_no == 1 else 2)
        play_part(violas, start, events, tenor, strings_velocity)
        play_part(cellos, start, events, bass, strings_velocity)
        if verse_no == 2:
            play_part(violins2, start, events, soprano, strings_velocity)
            play_part(basses, start, events, bass, strings_velocity, shift=-12)
            play_part(trumpet, start, events, soprano, velocity - 4, legato=0.92)
            play_part(horns, start, events, tenor, velocity - 14, legato=0.96)
            play_part(violins1, start, events, descant(events, soprano), strings_velocity + 4)
        else:
            play_part(violins2, start, events, alto, strings_velocity - 6)

    play_chords(0, intro, intro_voices, 74, None)
    play_chords(verse1_start, verse, verse_voices, 72, 1)
    play_chords(verse2_start, verse, verse_voices, 92, 2)

    # Amen: choir and organ alone, then the strings join for the final chord.
    soprano, alto, tenor, bass = (list(v) for v in zip(*amen_voices))
    for track, part in zip(choir, (soprano, alto, tenor, bass)):
        play_part(track, amen_start, amen, part, 84)
    for part in (soprano, alto, tenor):
        play_part(organ, amen_start, amen, part, 70)
    play_part(organ_pedal, amen_start, amen, bass, 70)
    play_part(organ_pedal, amen_start, amen, bass, 76, shift=-12)
    final = amen_voices[-1]
    violins1.note(beat(amen_start + 4), beat(4), final[0] + 12, 70)
    violins2.note(beat(amen_start + 4), beat(4), final[0], 66)
    violas.note(beat(amen_start + 4), beat(4), final[2], 66)
    cellos.note(beat(amen_start + 4), beat(4), final[3], 70)
    basses.note(beat(amen_start + 4), beat(4), final[3] - 12, 70)
    horns.note(beat(amen_start + 4), beat(4), final[1], 62)

    # Harp: broken chords in eighths through the first verse, rising then falling.
    at = verse1_start
    for _, beats, chord in verse:
        keys = keys_in_range(chord.tones, 53, 77)
        figure = keys[:4] if len(keys) >= 4 else keys
        steps = int(beats * 2)
        if at + beats >= verse2_start:
            steps = int((verse2_start - 2 - at) * 2)  # leaves the last two beats to the sweep below
        for i in range(steps):
            cycle = figure + figure[-2:0:-1]
            key = cycle[i % len(cycle)]
            harp.note(beat(at + 0.5 * i), beat(0.5), key, 58 if i else 66)
        at += beats
    # and a rising sweep into the second verse
    sweep = keys_in_range(Chord("C7").tones, 48, 84)
    for i, key in enumerate(sweep):
        harp.note(beat(verse2_start - 2) + i * beat(2) // len(sweep), beat(0.25), key, 50 + i * 3)

    # Timpani: a quiet roll into the first verse, strokes at the phrase ends of the second,
    # and a swelling roll under the Amen.
    roll(timpani, beat(verse1_start - 2), beat(2), beat(0.25), key_number("C3"), 30, 60)
    for phrase in range(4):
        bar = verse2_start + 16 * phrase
        key = key_number("C3") if phrase in (0, 2) else key_number("F2")
        timpani.note(beat(bar + 12), beat(1), key, 90)
        timpani.note(beat(bar), beat(1), key_number("F2"), 84)
    roll(timpani, beat(amen_start), beat(7), beat(0.25), key_number("F2"), 44, 96)
    timpani.note(beat(end_beat - 1), beat(1), key_number("F2"), 104)

    # Cymbals and bass drum: only at the great moments of the second verse and the Amen.
    percussion = Track("Cymbals and bass drum", 9, None, 84, 64)
    percussion.note(beat(verse2_start), beat(1), CRASH, 72)
    percussion.note(beat(verse2_start), beat(1), KICK, 70)
    for phrase in range(4):
        percussion.note(beat(verse2_start + 16 * phrase + 12), beat(1), KICK, 64 + 4 * phrase)
    climax = verse2_start + 48  # the top F that opens the last phrase
    roll(percussion, beat(climax - 2), beat(2), beat(0.25), RIDE, 30, 84)
    percussion.note(beat(climax), beat(1), CRASH, 96)
    percussion.note(beat(climax), beat(1), KICK, 90)
    roll(percussion, beat(amen_start + 2), beat(2), beat(0.25), RIDE, 24, 70)
    percussion.note(beat(amen_start + 4), beat(2), CRASH2, 74)
    percussion.note(beat(amen_start + 4), beat(2), KICK, 72)

    tracks = [conductor, *choir, organ, organ_pedal, violins1, violins2, violas, cellos, basses, trumpet, horns,
              timpani, harp, percussion]
    return tracks, tpq


def descant(events, soprano):
    """A counter-melody above the tune: the nearest chord tone a third to a sixth higher."""
    line = []
    previous = soprano[0] + 7
    for (_, _, chord), key in zip(events, soprano):
        candidates = [k for k in keys_in_range(chord.tones, key + 3, key + 9) if 72 <= k <= 91] or [key + 12]
        previous = nearest(candidates, previous)
        line.append(previous)
    return line


# ---------------------------------------------------------------------------------------------

def excerpt(tracks, tpq, beats, keep):
    """The first `beats` beats of a few of the tracks, as a smaller file for fuzzing seeds."""
    cut = round(beats * tpq)
    kept = []
    for track in (tracks[i] for i in keep):
        copy = Track.__new__(Track)
        copy.name, copy.channel = track.name, track.channel
        ons = {}
        copy.events = []
        for event in sorted(track.events):
            tick, order, _, data = event
            is_note = data[0] < 0xF0 and data[0] & 0xE0 == 0x80
            if tick >= cut and not (is_note and data[0] & 0xF0 == 0x80 and ons.get((data[0] & 0x0F, data[1]))):
                continue
            if is_note:
                ons[(data[0] & 0x0F, data[1])] = data[0] & 0xF0 == 0x90
            copy.events.append(event)
        kept.append(copy)
    return encode_song(kept, tpq)


def main():
    top = pathlib.Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out-dir", type=pathlib.Path, default=top / "resources")
    parser.add_argument("--seed-dir", type=pathlib.Path)
    args = parser.parse_args()

    songs = {"GateTune1": compose_march(), "GateTune2": compose_hymn()}
    args.out_dir.mkdir(parents=True, exist_ok=True)
    for name, (tracks, tpq) in songs.items():
        check_notes(tracks)
        data = encode_song(tracks, tpq)
        (args.out_dir / f"{name}.mid").write_bytes(data)
        end_tick = max(track.last_tick() for track in tracks)
        print(f"{name}.mid: {len(tracks)} tracks, {tpq} ticks per quarter, "
              f"{song_seconds(tracks[0], end_tick):.1f} s, {len(data)} bytes")
    if args.seed_dir:
        args.seed_dir.mkdir(parents=True, exist_ok=True)
        march, march_tpq = songs["GateTune1"]
        hymn, hymn_tpq = songs["GateTune2"]
        seeds = {
            "march_opening.mid": excerpt(march, march_tpq, 16, [0, 1, 4, 7]),
            "march_trio.mid": excerpt(march, march_tpq, 48, [0, 2, 3, 6, 8]),
            "hymn_opening.mid": excerpt(hymn, hymn_tpq, 24, [0, 1, 5, 6, 7, 16]),
        }
        for name, data in seeds.items():
            (args.seed_dir / name).write_bytes(data)
            print(f"seed {name}: {len(data)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
