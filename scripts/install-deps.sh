#!/usr/bin/env bash
# Installs the Debian 12 packages that cellsonify needs to build, run and test.
# Does nothing when they are all present; otherwise needs root (or sudo).
#   scripts/install-deps.sh [EXTRA-PACKAGE ...]   also installs the packages named
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  libfluidsynth-dev timgm6mb-soundfont fluid-soundfont-gm
  librtmidi-dev libasound2-dev libsndfile1-dev libcli11-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev
  libgtest-dev libbenchmark-dev
  libhdf5-dev
  libpulse-dev  # bench/probes/live_sound_probe records the sound server
  libqt6svg6 fonts-liberation
  "$@"
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
