#!/usr/bin/env bash
# Installs what is missing, builds cellsonify with its tests and runs them all.
#   ./test.sh             the release build
#   ./test.sh --sanitize  the same tests built with address and UB sanitizers
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
dir=build
flags=(-DCMAKE_BUILD_TYPE=Release -DCELLSONIFY_TESTS=ON -DCELLSONIFY_BENCH=ON)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-sanitize
  flags=(-DCMAKE_BUILD_TYPE=Debug -DCELLSONIFY_SANITIZE=ON -DCELLSONIFY_TESTS=ON -DCELLSONIFY_BENCH=OFF)
fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
