#!/usr/bin/env bash
# Dropouts and latency of the live sound for several buffer sizes, through a
# private PulseAudio server (null sink) as the window would play:
#   bench/probes/measure-live-sound.sh BUILD_DIR [SECONDS] [RUNS] [BUFFER_MS...]
# LOAD=N adds N busy loops for the whole run (the machine's own load stays).
# Needs /work/shared/tools/with-audio.sh or WITH_AUDIO pointing at a copy.
set -euo pipefail
build=$1; seconds=${2:-10}; runs=${3:-3}; shift $(( $# < 3 ? $# : 3 ))
buffers=("$@"); [ ${#buffers[@]} -gt 0 ] || buffers=(6 12 16 20)
with_audio=${WITH_AUDIO:-/work/shared/tools/with-audio.sh}
loaders=()
stop_load() { for p in "${loaders[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap stop_load EXIT
for _ in $(seq "${LOAD:-0}"); do yes >/dev/null & loaders+=($!); done
rec=$(mktemp --suffix=.wav)
for run in $(seq "$runs"); do
  for ms in "${buffers[@]}"; do
    echo -n "run $run load $(cut -d' ' -f1 /proc/loadavg) extra ${LOAD:-0}: "
    CELLSONIFY_AUDIO_BUFFER_MS=$ms "$with_audio" "$rec" "$build/bench/live_sound_probe" "$seconds" 2>&1 | grep '^buffer'
  done
done
rm -f "$rec"
