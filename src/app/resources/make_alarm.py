#!/usr/bin/env python3
"""Writes alarm.wav, the bundled alarm sound: a soft two-tone chime ("ding-dong").

Run from this folder after a deliberate change:  python3 make_alarm.py
The output is the same bytes on every run (no randomness, no time stamps).
"""

import math
import struct
import wave

RATE = 22050          # samples per second, mono, 16-bit PCM
LENGTH = 1.0          # seconds
PEAK = 0.70           # of full scale, so the chime is clear but never harsh

# (start in seconds, fundamental in Hz): E5 then C5, a falling major third.
STRIKES = [(0.00, 659.26), (0.28, 523.25)]

# Bell-like partials (multiple of the fundamental, relative loudness, decay per second).
# The upper partials die away quickly, which gives the soft strike.
PARTIALS = [(1.0, 1.00, 4.0), (2.0, 0.35, 7.0), (3.0, 0.12, 11.0), (4.2, 0.05, 16.0)]

ATTACK = 0.004        # seconds of fade-in per strike: no click at the start
FADE_OUT = 0.08       # seconds of fade-out at the end of the file: no click at the end


def sample(t):
    value = 0.0
    for start, base in STRIKES:
        local = t - start
        if local < 0.0:
            continue
        attack = min(1.0, local / ATTACK)
        for multiple, loudness, decay in PARTIALS:
            value += (attack * loudness * math.exp(-decay * local)
                      * math.sin(2.0 * math.pi * base * multiple * local))
    return value


def main():
    count = int(RATE * LENGTH)
    raw = [sample(i / RATE) for i in range(count)]
    fade = int(RATE * FADE_OUT)
    for i in range(fade):
        raw[count - fade + i] *= 1.0 - (i + 1) / fade
    scale = PEAK / max(abs(v) for v in raw)
    frames = b"".join(struct.pack("<h", int(round(v * scale * 32767))) for v in raw)
    with wave.open("alarm.wav", "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


if __name__ == "__main__":
    main()
