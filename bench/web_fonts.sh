#!/usr/bin/env bash
# Web fonts, each figure beside its floor:
#   - decoding the largest WOFF2 of fonts-dejavu-web (orvane-info --decode, whole
#     process) against Debian's woff2_decompress on the same file, medians of
#     interleaved runs;
#   - the viewer's start under Wine on that WOFF2 against the same font as a TTF
#     (the WOFF2 decoded by woff2_decompress), orvane-host --bench-start, rounds
#     of the two alternated.
# Prints key=value lines, then a markdown table.
# Usage: bench/web_fonts.sh LINUX_BUILD WIN64_BUILD [ROUNDS] [START_ROUNDS] [CYCLES]
set -euo pipefail
if [[ $# -lt 2 ]]; then
  echo "usage: bench/web_fonts.sh LINUX_BUILD WIN64_BUILD [ROUNDS] [START_ROUNDS] [CYCLES]" >&2
  exit 2
fi
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
linux=$(realpath "$1")
win=$(realpath "$2")
rounds=${3:-51}
start_rounds=${4:-5}
cycles=${5:-15}
here=$(cd "$(dirname "$0")" && pwd)
info=$linux/tools/orvane_info/orvane-info
host=$win/bin/orvane-host.exe
for program in "$info" "$host" "$win/bin/Orvane.wlx64"; do
  [[ -f $program ]] || { echo "missing $program" >&2; exit 2; }
done
command -v woff2_decompress >/dev/null || { echo "woff2_decompress missing (package woff2)" >&2; exit 2; }
export WINEPREFIX=${WINEPREFIX:-$win/wineprefix} WINEDEBUG=-all
wine() { "$here/../cmake/wine-loader" "$@"; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The largest WOFF2, copied: woff2_decompress writes its font beside its input.
largest=$(ls -S /usr/share/fonts/woff2/dejavu/*.woff2 | head -n 1)
name=$(basename "$largest" .woff2)
cp "$largest" "$work/$name.woff2"
woff2_decompress "$work/$name.woff2" >/dev/null 2>&1
[[ -s $work/$name.ttf ]] || { echo "woff2_decompress wrote nothing" >&2; exit 2; }
cat "$work/$name.woff2" >/dev/null

elapsed_us() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || true
  local end=$EPOCHREALTIME
  echo $(( ${end/./} - ${start/./} ))
}
median() { tr ' ' '\n' | grep . | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
field() { tr ' ' '\n' <<<"$1" | awk -F= -v k="$2" '$1 == k { print $2 }'; }

# Decoding: both write the whole font to a file of the same folder.
ours="" theirs=""
for ((r = 0; r < rounds; r++)); do
  ours+="$(elapsed_us "$info" --decode "$work/$name.woff2" "$work/ours.ttf") "
  theirs+="$(elapsed_us woff2_decompress "$work/$name.woff2") "
done
cmp -s "$work/ours.ttf" "$work/$name.ttf" || { echo "the decoded fonts differ" >&2; exit 1; }
decode_ours=$(median <<<"$ours")
decode_theirs=$(median <<<"$theirs")

# The viewer's start: rounds of each file alternated, each a --bench-start run.
face=$("$info" --json "$work/$name.ttf" | python3 -c 'import json,sys; print(json.load(sys.stdin)["names"][4])')
weight=$("$info" --json "$work/$name.ttf" | python3 -c 'import json,sys; print(json.load(sys.stdin)["weight"])')
start() {
  wine "$host" --bench-start "$cycles" --bench-face "$face" --bench-weight "$weight" "$1" \
    2>/dev/null | tr -d '\r' | head -n 1
}
start_web="" start_ttf=""
for ((r = 0; r < start_rounds; r++)); do
  start_web+="$(field "$(start "$work/$name.woff2")" start_viewer_ms) "
  start_ttf+="$(field "$(start "$work/$name.ttf")" start_viewer_ms) "
done
start_web=$(median <<<"$start_web")
start_ttf=$(median <<<"$start_ttf")

echo "decode_file=$name.woff2 decode_orvane_us=$decode_ours decode_woff2_decompress_us=$decode_theirs"
echo "start_woff2_ms=$start_web start_ttf_ms=$start_ttf"
echo
echo "| measure | figure | floor | ratio |"
echo "|---|---:|---:|---:|"
echo "| decoding $name.woff2 ($(stat -c %s "$largest") bytes), whole process | orvane-info --decode $decode_ours µs | woff2_decompress $decode_theirs µs | $(ratio "$decode_ours" "$decode_theirs")× |"
echo "| viewer start under Wine, $name | .woff2 $start_web ms | .ttf $start_ttf ms | $(ratio "$start_web" "$start_ttf")× |"
