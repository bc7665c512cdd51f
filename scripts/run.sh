#!/usr/bin/env bash
# Runs Tavorix: the desktop program when a display is available, else the command-line example.
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
out=$(mktemp -d)
cp "$example" "$out/"
"$build/src/app/tavorix-cli" prepare "$out/$(basename "$example")" --json | head -n 20
echo "..."
echo "Prepared data of $example printed above (working copy in $out)."
