#!/usr/bin/env bash
# The reader as a whole process against its peers, against the bare cost of
# mapping the file (bare-map) and against the fair floor that also touches every
# page of the tables the report is made from (touch-tables), as medians of
# interleaved runs; then every font on the
# machine read in one process. Prints a markdown table; with gnuplot at hand,
# also writes a chart (bench/readers.png, or $CHART).
# Usage: bench/readers.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
build=${1:-build/linux}
rounds=${2:-21}
here=$(cd "$(dirname "$0")" && pwd)
chart=${CHART:-$here/readers.png}
info=$build/tools/orvane_info/orvane-info
bare=$build/bench/bare-map
touch=$build/bench/touch-tables
all=$build/bench/read-all
for program in "$info" "$bare" "$touch" "$all"; do
  [[ -x $program ]] || { echo "missing $program: build the linux preset first" >&2; exit 2; }
done
files=(/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
       /usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc
       /usr/share/wine/fonts/sserife.fon)

elapsed_us() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || true
  local end=$EPOCHREALTIME
  echo $(( ${end/./} - ${start/./} ))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

commands=("orvane-info --json" "bare-map" "fc-query" "otfinfo -i" "touch-tables")
run() {
  case $1 in
    0) elapsed_us "$info" --json "$2" ;;
    1) elapsed_us "$bare" "$2" ;;
    2) elapsed_us fc-query "$2" ;;
    3) elapsed_us otfinfo -i "$2" ;;
    4) elapsed_us "$touch" "$2" ;;
  esac
}

data=$(mktemp)
trap 'rm -f "$data"' EXIT
echo "Machine: $(nproc) cores, $(awk '/model name/ { sub(/.*: /, ""); print; exit }' /proc/cpuinfo), load $(cut -d' ' -f1 /proc/loadavg)"
echo
echo "| file | orvane-info µs | bare-map µs | fc-query µs | otfinfo -i µs | touch-tables µs | ÷ bare | ÷ touch | fc-query ÷ orvane |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|"
for file in "${files[@]}"; do
  [[ -f $file ]] || continue
  cat "$file" >/dev/null
  declare -a times=("" "" "" "" "")
  for ((r = 0; r < rounds; r++)); do
    for c in 0 1 2 3 4; do times[c]+="$(run $c "$file") "; done
  done
  m=()
  for c in 0 1 2 3 4; do m[c]=$(tr ' ' '\n' <<<"${times[c]}" | grep . | median); done
  name=$(basename "$file")
  echo "| $name | ${m[0]} | ${m[1]} | ${m[2]} | ${m[3]} | ${m[4]} | $(ratio "${m[0]}" "${m[1]}") | $(ratio "${m[0]}" "${m[4]}") | $(ratio "${m[2]}" "${m[0]}") |"
  echo "$name ${m[0]} ${m[1]} ${m[2]} ${m[3]}" >>"$data"
done
echo
echo "Every font under /usr/share/fonts and /usr/share/wine/fonts, one process:"
echo
"$all" /usr/share/fonts /usr/share/wine/fonts | tr ' ' '\n' | awk -F= '
  BEGIN { print "| measure | value |"; print "|---|---:|" } { print "| " $1 " | " $2 " |" }'

if command -v gnuplot >/dev/null; then
  gnuplot <<GP
set terminal png size 800,400
set output "$chart"
set title "Reading one font, whole process (median µs)"
set style data histograms
set style fill solid 0.8
set boxwidth 0.9
set key top left
set ylabel "µs"
plot "$data" using 2:xtic(1) title "orvane-info --json", "" using 3 title "bare-map", "" using 4 title "fc-query", "" using 5 title "otfinfo -i"
GP
  echo
  echo "Chart: $chart"
fi
