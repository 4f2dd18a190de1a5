#!/usr/bin/env python3
"""RMS level of a recording made by measure-stop-release.sh, before and after Stop."""
import sys, wave, struct, math
wav, log = sys.argv[1], sys.argv[2]
start, stop = map(float, open(log).read().split())
w = wave.open(wav); rate = w.getframerate(); n = w.getnframes()
data = struct.unpack('<%dh' % (n * 2), w.readframes(n))
def db(t0, t1):
    a, b = int(t0 * rate), int(t1 * rate)
    s = data[2 * a:2 * b]
    if not s: return float('nan')
    r = math.sqrt(sum(x * x for x in s) / len(s)) / 32768
    return 20 * math.log10(r) if r > 0 else -200
t = stop - start
print("playing (1 s before Stop): %.1f dBFS" % db(t - 1.2, t - 0.2))
for after in (0.6, 1.0, 2.6):
    print("%.1f s after Stop: %.1f dBFS" % (after, db(t + after - 0.1, t + after + 0.1)))
