#!/usr/bin/env bash
# Time from starting the window with a data file to the window on screen, and
# the window's memory once its SoundFont is loaded, while one busy loop keeps
# a core busy:
#   bench/probes/measure-startup.sh CELLSONIFY FILE [RUNS]
# Run it under /work/shared/tools/with-audio.sh (a display and a sound server).
# Prints one line per run (ms to the visible window, RSS after 4 s, peak RSS)
# and the medians; CELLSONIFY_SOUNDFONT picks the SoundFont.
set -euo pipefail
program=$1; file=$2; runs=${3:-7}
yes >/dev/null & busy=$!
trap 'kill $busy 2>/dev/null || true' EXIT
shown=(); rss=()
for run in $(seq "$runs"); do
  start=$(date +%s%N)
  log=$(mktemp)
  "$program" "$file" >/dev/null 2>"$log" & pid=$!
  # Polling Xvfb this often now and then leaves the program no connection
  # (Qt: "Could not load the Qt platform plugin xcb"); such a run is told
  # and left out rather than counted.
  until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.005
  done
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "run $run: did not start: $(grep -m1 . "$log")"
    wait "$pid" 2>/dev/null || true; rm -f "$log"
    continue
  fi
  rm -f "$log"
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  sleep 4
  now=$(awk '/VmRSS/ {print int($2 / 1024)}' /proc/$pid/status)
  peak=$(awk '/VmHWM/ {print int($2 / 1024)}' /proc/$pid/status)
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "run $run: shown after $ms ms, $now MB resident after 4 s (peak $peak MB), load $(cut -d' ' -f1 /proc/loadavg)"
  shown+=("$ms"); rss+=("$now")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
echo "median: shown after $(median "${shown[@]}") ms, $(median "${rss[@]}") MB resident"
