#!/usr/bin/python3
"""Left and right levels of the notes bench/probes/live_placement_probe plays:
from the first sound of the recording, COUNT notes (default 14) each heard
for 0.8 s, one every 1.4 s; prints one line per note, "L dB, R dB, L - R".
    channel_levels.py RECORDING.wav [COUNT]"""
import sys
import wave

import numpy as np

with wave.open(sys.argv[1]) as w:
    pcm = np.frombuffer(w.readframes(w.getnframes()), dtype=np.int16).reshape(-1, 2) / 32768.0
count = int(sys.argv[2]) if len(sys.argv) > 2 else 14
rate = 44100
first = int(np.argmax(np.abs(pcm).max(axis=1) > 10 ** (-50 / 20)))
db = lambda p: 10 * np.log10(max(p, 1e-15))
for note in range(count):
    begin = first + int(note * 1.4 * rate)
    part = pcm[begin : begin + int(0.8 * rate)]
    left, right = (part**2).mean(axis=0)
    print(f"note {note + 1:2d} at {begin / rate:6.2f} s  L {db(left):6.1f} dB  R {db(right):6.1f} dB  L - R {db(left) - db(right):7.1f} dB")
