#!/usr/bin/env bash
# Runs Tavorix: the desktop program when it is built and a display is
# available, otherwise the whole analysis of an example of Data/ with
# tavorix-cli.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
example=Data/precip.inp
if [ -x "$build/src/app/tavorix" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$build/src/app/tavorix"
fi
if [ -x "$build/src/app/tavorix" ]; then
  echo "No display available: running the command-line example instead."
else
  echo "Running the command-line example."
fi
cli="$build/src/app/tavorix-cli"
out=$(mktemp -d "${TMPDIR:-/tmp}/tavorix-run.XXXXXX")
name=$(basename "$example" .inp)
# A working copy, so that the example in Data/ is never changed.
cp "$example" "$out/"
"$cli" run "$out/$name.inp" 2> "$out/$name.progress.txt"
echo
head -n 40 "$out/$name.out" | tr -d '\r'
echo "  ..."
echo
echo "Example:        $example"
echo "Results:        $out/$name.out"
echo "Ranked list:    $out/$name.Lst"
echo "Parameters:     $out/$name.aux (used by: $cli calc $out/$name.out --x 40)"
