#!/usr/bin/env bash
# Renders an HTML page of `tavorix-cli export --html` to a PNG with headless
# Chromium (Debian's chromium package, installed when missing), as a browser
# window of the given size shows it from the top: for the README and for
# looking at the page.
#
#   scripts/render-report.sh PAGE.html [OUT.png] [--size WIDTHxHEIGHT]
#
# OUT.png defaults to PAGE.png; the size to 1100x1600.
set -euo pipefail
page=${1:-}
[ -n "$page" ] && [ -f "$page" ] || { sed -n 2,8p "$0" | sed 's/^# \{0,1\}//'; exit 2; }
shift
out=${page%.*}.png
size=1100x1600
while [ $# -gt 0 ]; do
  case $1 in
    --size) size=$2; shift 2 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) out=$1; shift ;;
  esac
done
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  "$(dirname "$0")/install-deps.sh" --render >&2
  browser=$(command -v chromium)
fi

page=$(cd "$(dirname "$page")" && pwd)/$(basename "$page")
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
profile=$(mktemp -d "${TMPDIR:-/tmp}/tavorix-render.XXXXXX")
trap 'rm -rf "$profile"' EXIT
# As root Chromium runs only without its sandbox; the page is our own file.
sandbox=()
[ "$(id -u)" -eq 0 ] && sandbox=(--no-sandbox)
"$browser" --headless "${sandbox[@]}" --disable-gpu --hide-scrollbars --user-data-dir="$profile" \
  --window-size="${size/x/,}" --screenshot="$out" "file://$page" >/dev/null 2>"$profile/log" ||
  { cat "$profile/log" >&2; exit 1; }
[ -s "$out" ] || { cat "$profile/log" >&2; echo "no picture was written" >&2; exit 1; }
echo "$out"
