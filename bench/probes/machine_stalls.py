#!/usr/bin/env python3
# Stalls of the whole machine: sleeps 2 ms at a time for SECONDS and prints
# each wake-up later than LATE ms (10 unless given) with its wall-clock time,
# to set beside the silences of a live recording (count_silences.py --at):
# a silence at the moment an unrelated process overslept is the machine's.
#   machine_stalls.py SECONDS [LATE]
import sys, time
seconds = float(sys.argv[1])
late_ms = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
end = time.monotonic() + seconds
worst, count = 0.0, 0
while time.monotonic() < end:
    before = time.monotonic()
    time.sleep(0.002)
    late = (time.monotonic() - before - 0.002) * 1000
    worst = max(worst, late)
    if late > late_ms:
        count += 1
        print(f"woke {late:.1f} ms late at {time.time() - late / 1000:.3f}", flush=True)
print(f"{count} wake-ups over {late_ms:g} ms late in {seconds:g} s, worst {worst:.1f} ms")
