#!/usr/bin/env python3
# Dropouts in a recording of live sound: runs of at least MS ms (1 unless given) where both
# channels sit at digital silence (|sample| <= 1), from the first sound on
# (a piano note rings for seconds, so any later silence is a dropout) to the
# last second (the end of the command).
# --at also prints where each silence starts, in seconds into the recording.
#   count_silences.py REC.wav [MS] [--at]
import sys, wave, array
at = '--at' in sys.argv
sys.argv = [a for a in sys.argv if a != '--at']
w = wave.open(sys.argv[1])
rate, ch = w.getframerate(), w.getnchannels()
s = array.array('h', w.readframes(w.getnframes()))
n = len(s) // ch
least = int(sys.argv[2]) if len(sys.argv) > 2 else 1
first = next((i for i in range(n) if any(abs(s[i * ch + c]) > 1 for c in range(ch))), n)
runs, run, longest, total = 0, 0, 0, 0
for i in range(first, n - rate):
    if all(abs(s[i * ch + c]) <= 1 for c in range(ch)):
        run += 1
        continue
    if run >= rate * least // 1000:
        if at: print(f"silence at {(i - run) / rate:.3f} s for {1000 * run / rate:.1f} ms")
        runs += 1; longest = max(longest, run); total += run
    run = 0
print(f"first sound at {first / rate:.2f} s  silences {runs}  longest {1000 * longest / rate:.1f} ms  total {1000 * total / rate:.1f} ms  in {n / rate:.1f} s")
