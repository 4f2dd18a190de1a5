#!/bin/bash
# A recording played in the window at real time as a user plays it: opens
# FILE (fresh settings: zoom 100 % on with-audio.sh's 1280 x 1024 display),
# chooses Playback > Real Time (without a frame rate the speed stays 50), clicks
# "Sound ON" and Play, plays SECONDS and ends the program.
# Prints each thread's processor time over the playing (from
# /proc/PID/task/*/stat; FluidSynth synthesizes on "pulse-audio").
#   with-audio.sh rec.wav bench/probes/measure-live-window.sh BUILD/cellsonify FILE [SECONDS]
#   bench/probes/count_silences.py rec.wav 4
# BUSY=1 keeps one core busy while it plays; SHOT=FILE saves a screenshot 2 s
# into the playing, to check that the clicks found Sound ON and Play.
# STALLS=1 also lists the machine's stalls (machine_stalls.py) in seconds
# into the recording, to set beside count_silences.py rec.wav 4 --at.
bin=$1; file=$2; seconds=${3:-60}
recording_start=$(date +%s.%N)  # with-audio.sh starts recording just before this script
stalls=
[ -n "$STALLS" ] && { stalls=$(mktemp); "$(dirname "$0")/machine_stalls.py" $((seconds + 12)) >"$stalls" & }
export XDG_CONFIG_HOME=$(mktemp -d)
"$bin" "$file" 2>/dev/null & pid=$!
wid=$(xdotool search --sync --name "$(basename "$file")" | head -1)
# The window is shown before a large import is done (an 18,000-ROI plane
# takes a few seconds).
sleep 10
xdotool windowfocus --sync "$wid"
xdotool key alt+p r  # Playback > Real Time
xdotool key Escape   # closes the menu where Real Time is disabled (no frame rate): the speed stays
xdotool mousemove --window "$wid" 39 384 click 1  # "Sound ON"
sleep 1
ticks() { for t in /proc/$pid/task/*; do echo "$(cat "$t/comm") $(cut -d')' -f2 "$t/stat" | awk '{print $12 + $13}')"; done; }
before=$(ticks)
busy=
[ -n "$BUSY" ] && { timeout $((seconds + 10)) sh -c 'while :; do :; done' & busy=$!; }
start=$(date +%s.%N)
xdotool mousemove --window "$wid" 88 315 click 1  # Play
sleep 2; import -window root "${SHOT:-/dev/null}" 2>/dev/null; sleep $((seconds - 2))
after=$(ticks)
end=$(date +%s.%N)
# Ended while playing, so the recording holds no silence after a Stop
# (count_silences.py leaves out its last second).
kill "$pid"
[ -n "$busy" ] && kill "$busy" 2>/dev/null
hz=$(getconf CLK_TCK)
echo "played $(echo "$end - $start" | bc) s; processor time per second of playing, by thread:"
[ -n "$stalls" ] && { wait; awk -v t0="$recording_start" '/late at/ {printf "  stall of %s ms at %.2f s into the recording\n", $2, $6 - t0} !/late at/ {print "  " $0}' "$stalls"; rm -f "$stalls"; }
join <(echo "$before" | sort) <(echo "$after" | sort) 2>/dev/null | awk -v hz="$hz" -v s="$seconds" '$3 > $2 {printf "  %-18s %.3f\n", $1, ($3 - $2) / hz / s}'
