#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (address and undefined
# behaviour sanitizers on) and runs each for FUZZ_SECONDS (default 60).
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
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(input_file data_text parameter_file results_files ranked_list pipeline)
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DTAVORIX_BUILD_GUI=OFF -DTAVORIX_BUILD_TESTS=OFF -DTAVORIX_BUILD_BENCH=OFF \
  -DTAVORIX_SANITIZE=ON -DTAVORIX_FUZZ=libfuzzer >/dev/null
cmake --build "$build" --target tavorix_fuzz -j "$(nproc 2>/dev/null || echo 2)"

for t in "${targets[@]}"; do
  work="$build/corpus/$t"
  mkdir -p "$work" "$build/crashes/$t"
  # The pipeline runs a whole analysis per input: short series only.
  max_len=16384
  [ "$t" = pipeline ] && max_len=121
  echo "== fuzz_$t for ${seconds}s"
  "$build/fuzz/fuzz_$t" "$work" "fuzz/corpus/$t" -dict=fuzz/tavorix.dict -max_len=$max_len \
    -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$t/"
  "$build/fuzz/fuzz_$t" -merge=1 "fuzz/corpus/$t" "$work" -max_len=$max_len 2>&1 | tail -1
done
