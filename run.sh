#!/usr/bin/env bash
# Installs what is missing, builds cellsonify and opens it with the bundled
# example recording (or with the file given as the first argument).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DCELLSONIFY_TESTS=OFF -DCELLSONIFY_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)"
exec build/cellsonify "${1:-examples/cortex-100-cells.txt}"
