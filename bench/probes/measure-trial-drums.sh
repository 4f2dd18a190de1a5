#!/bin/bash
# Trials heard in the window: opens the NWB fixture with trials and a running
# wheel (fresh settings, so zoom 100 % on a 1280 x 1024 display), clicks
# "Sound ON" and Play, and lets it play 6.5 s (one pass of its 40 frames at
# 100 ms and the start of the next); writes when it started and when Play
# was clicked to LOG, and a screenshot of the window playing to SHOT.
#   with-audio.sh rec.wav bench/probes/measure-trial-drums.sh BUILD/cellsonify LOG SHOT.png
#   bench/probes/drum_onsets.py rec.wav LOG 10 100 0.2 0.5 1.0 2.05 3.0
bin=$1; log=$2; shot=$3
export XDG_CONFIG_HOME=$(mktemp -d)
start=$(date +%s.%N)
"$bin" "$(dirname "$0")/../../tests/data/context/context-session.nwb" 2>/dev/null & pid=$!
wid=$(xdotool search --sync --onlyvisible --name context-session | head -1)
sleep 2
xdotool mousemove --window $wid 38 430 click 1  # "Sound ON", below the menu bar
sleep 0.5
play=$(date +%s.%N)
xdotool mousemove --window $wid 88 361 click 1  # Play
sleep 2.6
import -window root -crop "$(xdotool getwindowgeometry $wid | sed -n 's/.*Geometry: //p')+0+0" "$shot"
sleep 3.9
kill $pid
echo "$start $play" > "$log"
