#!/usr/bin/env bash
# Fuzzes the data-file loader with libFuzzer under the address and undefined-
# behaviour sanitizers.
#   scripts/fuzz.sh [SECONDS]   (default 60)
# Installs clang and its fuzzer runtime when missing (as root or via sudo),
# builds fuzz/ in build-fuzz/, seeds the corpus from examples/*.txt and
# tests/data/*.txt, and exits non-zero on any crash, leak, timeout, memory
# blow-up or sanitizer report. Findings go to build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
case "$seconds" in
  ''|*[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;;
esac

scripts/install-deps.sh clang libclang-rt-14-dev

build=build-fuzz
cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target loader_fuzz

# The working corpus keeps what earlier runs learned; the seeds are refreshed
# every time so that new example and test files take part.
seeds="$build/seeds"
corpus="$build/corpus"
artifacts="$build/artifacts"
rm -rf "$seeds"
mkdir -p "$seeds" "$corpus" "$artifacts"
cp examples/*.txt tests/data/*.txt "$seeds"/
rm -f "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-* "$artifacts"/slow-unit-*

status=0
ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
"$build/loader_fuzz" "$corpus" "$seeds" \
  -dict=fuzz/loader.dict \
  -max_len=1048576 \
  -timeout=10 \
  -rss_limit_mb=2048 \
  -max_total_time="$seconds" \
  -print_final_stats=1 \
  -artifact_prefix="$artifacts/" || status=$?

found=$(find "$artifacts" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
if [ "$status" -ne 0 ] || [ -n "$found" ]; then
  echo "loader fuzzing failed (exit status $status)." >&2
  [ -n "$found" ] && printf 'input kept: %s\n' $found >&2
  echo "Replay one with: $build/loader_fuzz <file>" >&2
  exit 1
fi
echo "loader fuzzing: no findings in ${seconds} s."
