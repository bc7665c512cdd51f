#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (address and undefined
# behaviour sanitizers on; FUZZ_SANITIZE=0 builds them without, several
# times faster, for long runs whose corpus make test then replays under the
# sanitizers) and runs each for FUZZ_SECONDS (default 60) or, with FUZZ_RUNS,
# for that many executions (the pipeline target for a thousandth of them).
# Each target works on a corpus in the build folder, seeded from
# fuzz/corpus/TARGET; afterwards the inputs that add coverage are merged into
# fuzz/corpus/TARGET. A crash stops the script with the fuzzer's report and
# leaves the crashing input in the build folder.
#   scripts/fuzz.sh [BUILD_DIR] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
shift || true
seconds=${FUZZ_SECONDS:-60}
runs=${FUZZ_RUNS:--1}
sanitize=ON
[ "${FUZZ_SANITIZE:-1}" = 0 ] && sanitize=OFF
# Targets that write files do so in memory where the machine has a tmpfs.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(input_file data_text parameter_file results_files ranked_list pipeline)
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DTAVORIX_BUILD_GUI=OFF -DTAVORIX_BUILD_TESTS=OFF -DTAVORIX_BUILD_BENCH=OFF \
  -DTAVORIX_SANITIZE=$sanitize -DTAVORIX_FUZZ=libfuzzer >/dev/null
cmake --build "$build" --target tavorix_fuzz -j "$(nproc 2>/dev/null || echo 2)"

for t in "${targets[@]}"; do
  work="$build/corpus/$t"
  mkdir -p "$work" "$build/crashes/$t"
  # The pipeline runs a whole analysis per input: short series only.
  max_len=16384 target_runs=$runs
  [ "$t" = results_files ] && max_len=8192
  [ "$t" = pipeline ] && { max_len=121; [ "$runs" -gt 0 ] && target_runs=$((runs / 1000)); }
  time_limit=$seconds limit="${seconds}s"
  if [ "$target_runs" -gt 0 ]; then time_limit=0 limit="$target_runs runs"; fi
  echo "== fuzz_$t for $limit"
  "$build/fuzz/fuzz_$t" "$work" "fuzz/corpus/$t" -dict=fuzz/tavorix.dict -max_len=$max_len \
    -runs="$target_runs" -max_total_time="$time_limit" -timeout=60 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$t/"
  "$build/fuzz/fuzz_$t" -merge=1 "fuzz/corpus/$t" "$work" -max_len=$max_len 2>&1 | tail -1
done
