#!/usr/bin/env python3
"""Drum onsets in a recording made by measure-trial-drums.sh, against the
intervals' start times.
  drum_onsets.py rec.wav LOG FRAME_RATE MS_PER_FRAME START_SECONDS...
An onset is a 5 ms window of the signal's first difference (which weakens the
held tone and the piano against the drums' noise) at least 10 dB above the
mean of the 50 ms before it. Each start time t falls in frame
floor(t * rate) + 1, which plays frame * MS_PER_FRAME after Play; the onset
nearest that is reported, and whether it lies within one frame of it. The
first pass is measured from Play (so audio latency is included) and from the
first start's onset (so it is not)."""
import sys, wave, struct, math
wav, log, rate, ms = sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4])
starts = [float(a) for a in sys.argv[5:]]
start, play = map(float, open(log).read().split())
w = wave.open(wav); sr = w.getframerate(); n = w.getnframes()
s = struct.unpack('<%dh' % (n * 2), w.readframes(n))
mono = [(s[i] + s[i + 1]) / 2 for i in range(0, len(s), 2)]
hop = int(sr * 0.005)
env = []
for i in range(1, len(mono) - hop, hop):
    env.append(sum((mono[j] - mono[j - 1]) ** 2 for j in range(i, i + hop)) / hop + 1e-3)
onsets, last = [], -100
for k in range(10, len(env)):
    if 10 * math.log10(env[k] / (sum(env[k - 10:k]) / 10)) > 10 and 10 * math.log10(env[k] / 32768 ** 2) > -70 \
            and k - last > 12:
        onsets.append(k * 0.005); last = k
print("onsets (s into the recording):", " ".join("%.3f" % t for t in onsets))
t_play = play - start
frames = [math.floor(t * rate) + 1 for t in starts]
first = min(onsets, key=lambda o: abs(o - (t_play + frames[0] * ms / 1000)))
print("start(s)  frame  expected-from-Play  measured  diff(ms)  from-first-onset  diff(ms)  within-a-frame")
for t, f in zip(starts, frames):
    expected = t_play + f * ms / 1000
    got = min(onsets, key=lambda o: abs(o - expected))
    rel_expected = (f - frames[0]) * ms / 1000
    rel = got - first
    ok = abs(rel - (t - starts[0])) < ms / 1000
    print("%7.3f  %5d  %18.3f  %8.3f  %8.0f  %16.3f  %8.0f  %s" % (
        t, f, expected, got, (got - expected) * 1000, rel, (rel - (t - starts[0])) * 1000, "yes" if ok else "NO"))
