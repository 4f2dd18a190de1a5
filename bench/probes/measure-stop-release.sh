#!/bin/bash
# How fast the sound ends after Stop: opens the example (fresh settings, so
# zoom 100 % on a 1280 x 1024 display), clicks "Sound ON", plays it for 4 s,
# stops with Space and waits 4 s; writes the start and Stop times to LOG.
#   with-audio.sh rec.wav bench/probes/measure-stop-release.sh BUILD/cellsonify LOG
#   bench/probes/level_after_stop.py rec.wav LOG
bin=$1; log=$2
export XDG_CONFIG_HOME=$(mktemp -d)
start=$(date +%s.%N)
"$bin" "$(dirname "$0")/../../examples/cortex-100-cells.txt" 2>/dev/null & pid=$!
wid=$(xdotool search --sync --name cortex | head -1)
sleep 4
xdotool windowfocus --sync $wid
xdotool mousemove --window $wid 71 389 click 1  # "Sound ON", below the menu bar
sleep 0.3
xdotool key space
sleep 4
stop=$(date +%s.%N)
xdotool key space
sleep 4
kill $pid
echo "$start $stop" > "$log"
