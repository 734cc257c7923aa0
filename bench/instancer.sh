#!/usr/bin/env bash
# The static instance of a variable font: BuildStaticInstance (orvane-info
# --instance --repeat, in one process, the font already mapped) against fontTools'
# instancer (instantiateVariableFont with every axis pinned, the font parsed from
# its bytes and the instance written to memory, in one process), on Inter's
# Black instance (fonts-inter-variable), medians of their rounds.
# Prints key=value lines, then a markdown table.
# Usage: bench/instancer.sh LINUX_BUILD [ROUNDS] [FONTTOOLS_ROUNDS]
set -euo pipefail
if [[ $# -lt 1 ]]; then
  echo "usage: bench/instancer.sh LINUX_BUILD [ROUNDS] [FONTTOOLS_ROUNDS]" >&2
  exit 2
fi
linux=$(realpath "$1")
rounds=${2:-51}
fonttools_rounds=${3:-5}
info=$linux/tools/orvane_info/orvane-info
[[ -x $info ]] || { echo "missing $info" >&2; exit 2; }
font=/usr/share/fonts/truetype/inter-vf/Inter.var.ttf
[[ -f $font ]] || { echo "missing $font (fonts-inter-variable)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

ours=$("$info" --instance "$font" "$work/ours.ttf" --family "Inter Black" --repeat "$rounds" \
  wght=900 slnt=0 | sed -n 's/^instance_us=\([0-9]*\).*/\1/p')
theirs=$(/usr/bin/python3 - "$font" "$fonttools_rounds" <<'PY'
import io, statistics, sys, time
from fontTools.ttLib import TTFont
from fontTools.varLib import instancer
data = open(sys.argv[1], "rb").read()
times = []
for _ in range(int(sys.argv[2])):
    start = time.perf_counter()
    font = TTFont(io.BytesIO(data))
    instancer.instantiateVariableFont(font, {"wght": 900, "slnt": 0}, inplace=True).save(io.BytesIO())
    times.append((time.perf_counter() - start) * 1e6)
print(round(statistics.median(times)))
PY
)
r=$(ratio "$theirs" "$ours")
echo "instance_font=Inter.var.ttf instance_orvane_us=$ours instance_fonttools_us=$theirs"
echo
echo "| measure | figure | floor | ratio | target |"
echo "|---|---:|---:|---:|---:|"
echo "| static Inter Black from Inter.var.ttf, in one process | BuildStaticInstance $ours µs | fontTools instancer $theirs µs | $r× faster | ≥ 20× faster |"
