#!/usr/bin/env bash
# Makes the README pictures: the Input page of the desktop program under a
# virtual X display, and a graph drawn by the command line.
#   scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
mkdir -p docs

need=()
for tool in Xvfb:xvfb xwd:x11-apps convert:imagemagick; do
  command -v "${tool%%:*}" >/dev/null || need+=("${tool##*:}")
done
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get install -y -q --no-install-recommends "${need[@]}"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tavorix-shots.XXXXXX")
cp Data/precip.inp "$work/"

# The Input page with an example series.
display=:97
Xvfb "$display" -screen 0 1024x700x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/src/app/tavorix" "$work/precip.inp" >/dev/null 2>&1 &
app=$!
sleep 4
DISPLAY=$display xwd -root -silent | convert xwd:- -crop 762x591+99+20 +repage docs/input-page.png
kill $app 2>/dev/null || true

# A graph, drawn as the Graphics page draws it.
"$build/src/app/tavorix-cli" run "$work/precip.inp" >/dev/null 2>&1
"$build/src/app/tavorix-cli" graph "$work/precip.out" --type 1 -o docs/graph-cumulative.png >/dev/null
"$build/src/app/tavorix-cli" graph "$work/precip.out" --type 2 -o docs/graph-histogram.png >/dev/null
echo "docs/input-page.png, docs/graph-cumulative.png, docs/graph-histogram.png"
