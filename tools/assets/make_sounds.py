#!/usr/bin/env python3
"""Synthesises the program's two sounds and encodes them as MP3 with lame.

zeluna.mp3 - the start-up chime: a rising C major arpeggio with a soft bell tone.
ts.mp3     - the change alert: two short high "ding"s.

Usage: tools/assets/make_sounds.py <output folder>   (needs the Debian package lame)
"""
import math
import os
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 22050


def bell(freq, start, length, volume, samples):
    """Adds a bell-like tone (fundamental plus two partials, exponential decay)."""
    first = int(start * RATE)
    count = int(length * RATE)
    for i in range(count):
        if first + i >= len(samples):
            break
        t = i / RATE
        envelope = math.exp(-4.0 * t / length) * min(1.0, t / 0.005)
        value = (math.sin(2 * math.pi * freq * t)
                 + 0.35 * math.sin(2 * math.pi * freq * 2.0 * t)
                 + 0.12 * math.sin(2 * math.pi * freq * 3.01 * t))
        samples[first + i] += volume * envelope * value / 1.47


def write_mp3(samples, path):
    peak = max(1e-9, max(abs(s) for s in samples))
    scale = 0.85 * 32767 / peak
    with tempfile.TemporaryDirectory() as tmp:
        wav_path = os.path.join(tmp, "sound.wav")
        with wave.open(wav_path, "wb") as out:
            out.setnchannels(1)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(b"".join(struct.pack("<h", int(s * scale)) for s in samples))
        subprocess.run(["lame", "--quiet", "-b", "64", "--noreplaygain", wav_path, path],
                       check=True)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    chime = [0.0] * int(1.3 * RATE)
    for n, freq in enumerate([523.25, 659.25, 783.99, 1046.50]):
        bell(freq, n * 0.14, 0.9, 1.0, chime)
    write_mp3(chime, os.path.join(folder, "zeluna.mp3"))

    alert = [0.0] * int(0.7 * RATE)
    bell(1318.51, 0.0, 0.3, 1.0, alert)
    bell(1318.51, 0.25, 0.45, 1.0, alert)
    write_mp3(alert, os.path.join(folder, "ts.mp3"))


if __name__ == "__main__":
    main()
