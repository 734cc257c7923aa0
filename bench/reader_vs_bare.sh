#!/usr/bin/env bash
# How much reading a font costs over merely mapping it: medians of interleaved
# runs of `orvane-info --json FILE` and `bare-map FILE` (maps the file the same
# way and exits), with the minor page faults of one run of each; then the
# in-process medians of read-timing, free of process start-up noise.
# Usage: bench/reader_vs_bare.sh [BUILD_DIR] [ROUNDS] [FILE...]
set -euo pipefail
build=${1:-build/linux}
rounds=${2:-31}
shift $(( $# < 2 ? $# : 2 ))
files=("$@")
if [[ ${#files[@]} -eq 0 ]]; then
  files=(/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc
         /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
         /usr/share/wine/fonts/sserife.fon)
fi
info=$build/tools/orvane_info/orvane-info
bare=$build/bench/bare-map
timing=$build/bench/read-timing
for program in "$info" "$bare" "$timing"; do
  [[ -x $program ]] || { echo "missing $program (build the linux preset: orvane_info, bare_map, read_timing)" >&2; exit 2; }
done

# Microseconds that one run of the command takes.
elapsed_us() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null
  local end=$EPOCHREALTIME
  echo $(( (${end/./} - ${start/./}) ))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

faults() { /usr/bin/time -f '%R' "$@" 2>&1 >/dev/null | tail -n 1; }

printf '%-28s %10s %12s %12s %10s %14s %14s\n' file bytes reader_us bare_us diff_us reader_faults bare_faults
for file in "${files[@]}"; do
  # Warm the page cache, then alternate the two programs so drift hits both alike.
  cat "$file" >/dev/null
  reader_times=() bare_times=()
  for ((i = 0; i < rounds; i++)); do
    reader_times+=("$(elapsed_us "$info" --json "$file")")
    bare_times+=("$(elapsed_us "$bare" "$file")")
  done
  reader=$(printf '%s\n' "${reader_times[@]}" | median)
  bare_us=$(printf '%s\n' "${bare_times[@]}" | median)
  printf '%-28s %10s %12s %12s %10s %14s %14s\n' "$(basename "$file")" "$(stat -c %s "$file")" \
    "$reader" "$bare_us" "$((reader - bare_us))" "$(faults "$info" --json "$file")" "$(faults "$bare" "$file")"
done

echo
for file in "${files[@]}"; do "$timing" "$file" 1001; done
