#!/usr/bin/env bash
# Runs every benchmark program of the build.
set -euo pipefail
build=${1:-build}
found=0
for b in "$build"/bench/*; do
  if [ -f "$b" ] && [ -x "$b" ]; then
    found=1
    echo "== $(basename "$b")"
    "$b" --benchmark_min_time=0.05
  fi
done
[ $found -eq 1 ] || echo "No benchmarks built."
