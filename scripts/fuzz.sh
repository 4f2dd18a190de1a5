#!/usr/bin/env bash
# Fuzzes the data-file loader and the .npy and pickle readers with libFuzzer under the address and undefined-
# behaviour sanitizers.
#   scripts/fuzz.sh [SECONDS]   (default 60, shared equally by the targets)
#   CELLSONIFY_FUZZ_HDF5=1 scripts/fuzz.sh [SECONDS]   also fuzzes the NWB and CaImAn readers' walk through
#     HDF5 file images (hdf5_fuzz). Not on by default: Debian's libhdf5 itself leaks and makes allocations of
#     gigabytes on damaged files within a minute, which would fail the run for faults outside this code; its
#     leak check is off and failed allocations return null, but a memory blow-up inside the library still counts.
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
targets=(loader_fuzz npy_fuzz pickle_fuzz)
if [ "${CELLSONIFY_FUZZ_HDF5:-0}" = 1 ]; then targets+=(hdf5_fuzz); fi
cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

# Each target gets an equal share of the time (at least one second).
share=$(( seconds / ${#targets[@]} ))
[ "$share" -lt 1 ] && share=1

failed=0
for target in "${targets[@]}"; do
  # The working corpus keeps what earlier runs learned; the seeds are refreshed
  # every time so that new example and test files take part.
  seeds="$build/seeds-$target"
  corpus="$build/corpus-$target"
  artifacts="$build/artifacts-$target"
  rm -rf "$seeds"
  mkdir -p "$seeds" "$corpus" "$artifacts"
  extra=()
  asan="detect_leaks=1:allocator_may_return_null=0"
  case "$target" in
    loader_fuzz)
      cp examples/*.txt tests/data/*.txt "$seeds"/
      extra=(-dict=fuzz/loader.dict) ;;
    hdf5_fuzz)
      cp fuzz/seeds/hdf5/*.nwb fuzz/seeds/hdf5/*.hdf5 tests/data/import/*.nwb tests/data/hostile-*.hdf5 "$seeds"/
      asan="detect_leaks=0:allocator_may_return_null=1"
      extra=(-detect_leaks=0) ;;
    *)
      # Both folders hold a stat.npy and an ops.npy: the test data keep theirs under another name.
      cp fuzz/seeds/import/*.npy "$seeds"/
      for f in tests/data/import/*.npy; do cp "$f" "$seeds/test-data-$(basename "$f")"; done
      # Pipeline fixtures (protocol 2 and 3, datetime and paths in ops.npy), Python's own pickles of
      # every protocol and the payloads that must stay inert.
      for f in tests/data/import/run-*/suite2p/*/{stat,ops}.npy tests/data/hostile-pickle-payload/plane0/ops.npy \
               tests/data/import/pickles/*.pkl; do
        cp "$f" "$seeds/$(echo "${f#tests/data/}" | tr / -)"
      done ;;
  esac
  rm -f "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-* "$artifacts"/slow-unit-*

  status=0
  ASAN_OPTIONS="$asan" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  "$build/$target" "$corpus" "$seeds" \
    "${extra[@]}" \
    -max_len=1048576 \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -max_total_time="$share" \
    -print_final_stats=1 \
    -artifact_prefix="$artifacts/" || status=$?

  found=$(find "$artifacts" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
  if [ "$status" -ne 0 ] || [ -n "$found" ]; then
    echo "$target failed (exit status $status)." >&2
    [ -n "$found" ] && printf 'input kept: %s\n' $found >&2
    echo "Replay one with: $build/$target <file>" >&2
    failed=1
  else
    echo "$target: no findings in ${share} s."
  fi
done
exit "$failed"
