#!/bin/bash
# Runs COMMAND after giving the private sound server of with-audio.sh real-time
# scheduling, as a desktop runs its sound server (PulseAudio and PipeWire get it
# through rtkit): what is left of the dropouts is then the program's own.
#   with-audio.sh rec.wav bench/probes/realtime-sound-server.sh COMMAND...
for p in $(pgrep -x pulseaudio); do chrt -a -f -p 50 $p; done
exec "$@"
