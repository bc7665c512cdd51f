#!/usr/bin/env bash
# Tries the desktop program as a user does, under a virtual X display with a
# window manager: pastes a column with thousands separators and a heading
# through the clipboard (answering the question on its commas), copies the
# values back, types past the last row and undoes it, pastes a 2500-line
# column with decimal commas, runs it with Save-Run, closes the window during
# the run (answering No) and quits through the finish window. Every step
# leaves a screenshot in SHOTS (default: a new folder under /tmp, named at
# the end); nothing is written into the tree.
#   scripts/ui-smoke.sh [BUILD_DIR]
# Uses the display named by DISPLAY, or the first free one from :90 up.
# Needs Xvfb, openbox, xdotool, xclip and ImageMagick (scripts/install-deps.sh);
# it installs nothing itself and is not part of "make test".
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
app="$build/src/app/tavorix"
[ -x "$app" ] || { echo "ui-smoke: $app is not built" >&2; exit 2; }
for tool in Xvfb openbox xdotool xclip import; do
  command -v "$tool" >/dev/null || { echo "ui-smoke: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tavorix-smoke.XXXXXX")
shots=${SHOTS:-$work/shots}
mkdir -p "$shots"

if [ -n "${DISPLAY:-}" ]; then
  display=$DISPLAY
else
  n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  display=:$n
fi
export DISPLAY=$display
export QT_QPA_PLATFORM=xcb

pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

step() { echo "ui-smoke: $*"; }
shot() { import -window root "$shots/$1.png"; }
fail() {
  echo "ui-smoke: FAILED: $*" >&2
  shot failure || true
  echo "ui-smoke: screenshots in $shots" >&2
  exit 1
}
# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
  local limit=$1 start=$SECONDS
  shift
  until "$@" >/dev/null 2>&1; do
    ((SECONDS - start < limit)) || return 1
    sleep 0.2
  done
}
window() { xdotool search --onlyvisible --name "$1" | head -1; }

step "display $display"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 10 xdotool getdisplaygeometry || fail "Xvfb did not start on $display"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# 2500 values of a skewed distribution, written with decimal commas.
awk 'BEGIN { srand(13); for (i = 1; i <= 2500; i++) { v = 50 - 20 * log(-log(rand() * 0.998 + 0.001));
             s = sprintf("%.4f", v); sub(/\./, ",", s); print s } }' >"$work/column.txt"

step "starting $app"
(cd "$work" && exec "$app") >"$work/tavorix.log" 2>&1 &
app_pid=$!
pids+=($app_pid)
wait_for 20 window "with emphasis on composite" || fail "the main window did not appear"
main=$(window "with emphasis on composite")
sleep 1
shot 1-start

# The clipboard as the program left it, one value a line.
clipboard() { xclip -o -selection clipboard 2>/dev/null | tr -d '\r'; }
# Puts a file on the clipboard (xclip serves it until the next one).
offer() {
  [ -z "${clip_pid:-}" ] || kill "$clip_pid" 2>/dev/null || true
  xclip -quiet -selection clipboard -i "$1" >/dev/null 2>&1 &
  clip_pid=$!
  pids+=($clip_pid)
}

step "Input page, paste a column with thousands separators and a heading"
printf 'Discharge\r\n1,234\r\n2,001\r\n987\r\n1,500\r\n1,100\r\n1,750\r\n1,320\r\n' >"$work/thousands.txt"
offer "$work/thousands.txt"
xdotool mousemove --window "$main" 102 31 click 1   # the Input tab
sleep 0.5
xdotool mousemove --window "$main" 114 82 click 1   # the first value cell
sleep 0.3
xdotool key ctrl+v
wait_for 10 window "Tavorix cumulative frequency analysis" || fail "the commas were not asked about"
sleep 0.5
shot 2-commas-asked
# Buttons "decimal comma", "thousands separator", Cancel (the default, focused).
xdotool key shift+Tab Return
sleep 1
shot 3-thousands
xdotool key ctrl+a ctrl+c
sleep 0.5
[ "$(clipboard | head -3 | tr '\n' ' ')" = "1234 2001 987 " ] ||
  fail "the thousands column was read or copied as: $(clipboard | head -3 | tr '\n' ' ')"

step "Enter on the last row adds a row; Ctrl+Z undoes"
xdotool key ctrl+End Return   # past the last row
sleep 0.3
xdotool type --delay 30 "16"
xdotool key Return
xdotool type --delay 30 "20,5"
xdotool key Return
sleep 0.5
shot 4-typed-past-the-end
xdotool key ctrl+a ctrl+c
sleep 0.3
[ "$(clipboard | tail -3 | tr '\n' ' ')" = "16 20.5  " ] ||
  fail "typing past the last row gave: $(clipboard | tail -3 | tr '\n' ' ')"
xdotool key ctrl+z ctrl+z   # the added row, then the typed 20,5
sleep 0.5
xdotool key ctrl+a ctrl+c
sleep 0.3
[ "$(clipboard | tail -2 | tr '\n' ' ')" = "16  " ] || fail "Ctrl+Z left: $(clipboard | tail -2 | tr '\n' ' ')"
shot 5-undone

step "Input page, paste the 2500 values"
offer "$work/column.txt"
xdotool mousemove --window "$main" 114 82 click 1   # the first value cell
sleep 0.3
xdotool key ctrl+v
sleep 1
shot 6-pasted

step "Save-Run"
xdotool key ctrl+r
wait_for 10 window "Save As" || fail "Save-Run did not ask for a file name"
xdotool type --delay 10 "$work/smoke"
xdotool key Return
sleep 1
shot 7-running

step "closing during the run asks whether to cancel it (No)"
xdotool windowactivate --sync "$main" key alt+F4   # the window manager's close
wait_for 10 window "Tavorix cumulative frequency analysis" || fail "closing during the run asked nothing"
sleep 0.5
shot 8-cancel-asked
xdotool key Return   # No is the default: the run goes on
sleep 0.5
[ -z "$(window "Tavorix finish")" ] || fail "closing during the run ended it"
wait_for 600 test -s "$work/smoke.out" || fail "no results file after 10 minutes"
sleep 1
shot 9-done
xdotool key Return   # the box that names the files
sleep 1
shot 10-output

# The series went in whole and at its own scale: 2500 data, the first one
# as written in the column.
grep -q "Number of data: 2500 " "$work/smoke.inp" || fail "the input file does not hold 2500 data"
first=$(head -1 "$work/column.txt" | tr ',' '.')
got=$(sed -n 15p "$work/smoke.inp" | awk '{ print $2 }')
awk -v a="$got" -v b="$first" 'BEGIN { d = a - b; exit !(d < 0.01 && d > -0.01) }' ||
  fail "first datum written as $got, pasted as $first"

step "quit through the finish window"
xdotool windowactivate --sync "$main" key ctrl+q
wait_for 10 window "Tavorix finish" || fail "the finish window did not appear"
sleep 0.5
shot 11-finish
xdotool windowactivate --sync "$(window "Tavorix finish")" key space
wait_for 10 bash -c "! kill -0 $app_pid" || fail "Finish did not end the program"

step "passed; screenshots in $shots"
