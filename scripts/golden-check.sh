#!/usr/bin/env bash
# Safety net for changes that must not change any file a user sees: runs the
# examples of Data/ (and the plain columns of ../shared/data when present) in
# several modes and keeps every file a user sees (.out, .Lst, .aux, progress
# lines, calculator answers, graphs), or compares them with a kept set.
#
#   scripts/golden-check.sh make  DIR [--cli PATH] [--quick]
#   scripts/golden-check.sh check DIR [--cli PATH] [--quick]
#
# --quick leaves out the 7980-value tree-ring series and the preferred codes
# on the 1000 earthquake magnitudes. Exit status 1 when `check` finds a
# difference (each one is listed).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
action=${1:-}; dir=${2:-}
[ "$action" = make ] || [ "$action" = check ] || { sed -n 2,13p "$0" | sed 's/^# \{0,1\}//'; exit 2; }
[ -n "$dir" ] || { echo "no folder given" >&2; exit 2; }
shift 2
cli="$top/build/src/app/tavorix-cli"; quick=0
while [ $# -gt 0 ]; do
  case $1 in
    --cli) cli=$2; shift 2 ;;
    --quick) quick=1; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
[ -x "$cli" ] || { echo "$cli is not built" >&2; exit 2; }

target=$dir
if [ "$action" = check ]; then target=$(mktemp -d "${TMPDIR:-/tmp}/tavorix-golden.XXXXXX"); fi
mkdir -p "$target"
work=${TMPDIR:-/tmp}/tavorix-golden-work
modes=(best composite 4 20 31 36 56 61 67 71)

one() {  # series-file mode
  local input=$1 mode=$2 name ext case
  name=$(basename "$input"); ext=${name##*.}; name=${name%.*}
  case=$name-$mode; [ "$ext" = txt ] && case=$name-column-$mode
  rm -rf "$work/$case"; mkdir -p "$work/$case" "$target/$case"
  cp "$input" "$work/$case/"
  local args=()
  case $mode in
    best) ;;
    composite) args=(--composite) ;;
    *) args=(--prefer "$mode") ;;
  esac
  set +e
  "$cli" run "$work/$case/$name.$ext" "${args[@]}" >"$target/$case/run.stdout" 2>"$target/$case/run.stderr"
  echo "exit $?" >>"$target/$case/run.stdout"
  for f in out Lst aux inp; do
    [ -f "$work/$case/$name.$f" ] && cp "$work/$case/$name.$f" "$target/$case/"
  done
  if [ -f "$work/$case/$name.out" ]; then
    { for q in "--period 2" "--period 100" "--freq 0.5" "--x 1" "--x 100"; do
        echo "calc $q"; "$cli" calc "$work/$case/$name.out" $q 2>&1; echo "exit $?"; done; } >"$target/$case/calc.txt"
    if [ "$mode" = best ] || [ "$mode" = composite ]; then
      for t in 1 2 3 4 5 6; do
        "$cli" graph "$work/$case/$name.out" --type $t -o "$target/$case/graph$t.png" >/dev/null 2>&1
      done
    fi
  fi
  set -e
}

for input in "$top"/Data/*.inp; do
  n=$(basename "$input" .inp)
  [ $quick = 1 ] && [ "$n" = treering ] && continue
  for mode in "${modes[@]}"; do
    [ $quick = 1 ] && [ "$n" = quakes_mag ] && [ "$mode" != best ] && continue
    one "$input" "$mode"
  done
done
if [ -d "$top/../shared/data" ]; then
  for input in "$top"/../shared/data/*.txt; do
    n=$(basename "$input" .txt)
    [ $quick = 1 ] && [ "$n" = treering ] && continue
    one "$input" best
  done
fi

if [ "$action" = check ]; then
  if diff -r -q "$dir" "$target"; then
    echo "no difference: every file is the same"
    rm -rf "$target"
  else
    echo "differences above; the new files are in $target"
    exit 1
  fi
fi
