#!/usr/bin/env bash
# Dropouts of a recording played live (live_pass_probe) through a private
# PulseAudio server, counted in what the server played (count_silences.py):
#   bench/probes/measure-live-pass.sh BUILD_DIR FILE [SECONDS] [RUNS]
# BUSY=N adds N busy loops for the whole run; PROBE=PATH plays another build's
# probe; SPEED and NOTES pass the speed (ms) and notes per frame on.
set -euo pipefail
build=$1; file=$2; seconds=${3:-60}; runs=${4:-3}
here=$(cd "$(dirname "$0")" && pwd)
with_audio=${WITH_AUDIO:-/work/shared/tools/with-audio.sh}
probe=${PROBE:-$build/bench/live_pass_probe}
busy=()
stop_busy() { for p in "${busy[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap stop_busy EXIT
for _ in $(seq "${BUSY:-0}"); do sh -c 'while :; do :; done' & busy+=($!); done
rec=$(mktemp --suffix=.wav)
for run in $(seq "$runs"); do
  before=$(cut -d' ' -f1 /proc/loadavg)
  "$with_audio" "$rec" "$probe" "$file" "${SPEED:-50}" "$seconds" "${NOTES:-64}" >/dev/null 2>&1
  echo "run $run busy ${BUSY:-0} load $before..$(cut -d' ' -f1 /proc/loadavg): $(python3 "$here/count_silences.py" "$rec")"
done
rm -f "$rec"
