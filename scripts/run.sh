#!/usr/bin/env bash
# Runs Tavorix: the desktop program when it is built and a display is
# available, otherwise tavorix-cli on an example of Data/.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
example=Data/precip.inp
if [ -x "$build/src/app/tavorix" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$build/src/app/tavorix" "$@"
fi
if [ -x "$build/src/app/tavorix" ]; then
  echo "No display available: running the command-line example instead."
fi
cli="$build/src/app/tavorix-cli"
out=$(mktemp -d "${TMPDIR:-/tmp}/tavorix-run.XXXXXX")
name=$(basename "$example" .inp)
# A working copy, so that the example in Data/ is never changed.
cp "$example" "$out/"
"$cli" prepare "$out/$name.inp" --json > "$out/$name.prepared.json"
"$cli" prepare "$out/$name.inp" > "$out/$name.prepared.txt"
head -n 12 "$out/$name.prepared.txt"
echo "  ..."
echo
echo "Example:       $example"
echo "Prepared data: $out/$name.prepared.txt (table) and $out/$name.prepared.json (JSON)"
echo "Working copy:  $out/$name.inp"
