#!/usr/bin/env bash
# Installs what is missing, builds cellsonify and opens it with the bundled
# example recording (or with the file given as the first argument).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DCELLSONIFY_TESTS=ON -DCELLSONIFY_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)" --target cellsonify
exec build/cellsonify "${1:-examples/cortex-100-cells.txt}"
